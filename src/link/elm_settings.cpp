// SPDX-License-Identifier: MIT
#include "link/elm_settings.h"

#include "link/link_string.h"

namespace vistrel {
namespace {

// The adapter's timeout is one byte of 4.096 ms steps.
constexpr unsigned kLongestTimeoutMs = 1044;

} // namespace

ElmSettings ElmSettings::fromLinkString(const LinkString& linkString) {
    if (linkString.device.empty()) {
        throw LinkStringError(linkString.kind + ": no device (elm:DEVICE, e.g. elm:/dev/rfcomm0)");
    }
    const LinkKeys keys(linkString,
                        {"baud", "protocol", "target", "source", "tx", "rx", "timeout"});
    ElmSettings settings;
    settings.device = linkString.device;
    settings.baud = keys.isWord("baud", "auto") ? 0 : keys.number("baud", 38400, 300, 4000000);
    settings.bus = static_cast<ElmBus>(keys.choice(
        "protocol", 0,
        {"kline-fast", "kline-5baud", "can11-500", "can11-250", "can29-500", "can29-250"}));
    settings.target = keys.hexByte("target", settings.target);
    settings.source = keys.hexByte("source", settings.source);
    const bool wide = settings.is29Bit();
    const std::uint32_t largest = wide ? 0x1FFFFFFF : 0x7FF;
    settings.tx = keys.hexNumber("tx", wide ? 0x18DA10F1 : 0x7E0, largest);
    settings.rx = keys.hexNumber("rx", wide ? 0x18DAF110 : 0x7E8, largest);
    if (const unsigned timeout = keys.number("timeout", 0, 1, kLongestTimeoutMs)) {
        settings.timeout = std::chrono::milliseconds(timeout);
    }
    return settings;
}

} // namespace vistrel
