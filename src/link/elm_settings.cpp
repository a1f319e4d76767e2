// SPDX-License-Identifier: MIT
#include "link/elm_settings.h"

#include "components/byte_string.h"
#include "link/link_string.h"

namespace vistrel {
namespace {

// The adapter's timeout is one byte of 4.096 ms steps.
constexpr unsigned kLongestTimeoutMs = 1044;
// The adapter passes on replies only: no periodic frames, so no rate.
constexpr DiagnosticKeyChoice kElmDiagnosticKeys{true, false};

std::uint32_t defaultTx(bool wide) {
    return wide ? 0x18DA10F1 : 0x7E0;
}

std::uint32_t defaultRx(bool wide) {
    return wide ? 0x18DAF110 : 0x7E8;
}

} // namespace

ElmSettings ElmSettings::fromLinkString(const LinkString& linkString) {
    if (linkString.device.empty()) {
        throw LinkStringError(linkString.kind + ": no device (elm:DEVICE, e.g. elm:/dev/rfcomm0)");
    }
    const LinkKeys keys(linkString, {"baud", "protocol", "target", "source", "tx", "rx", "timeout",
                                     kDiagKey, kSecurityKey, kKeyProgramKey});
    ElmSettings settings;
    settings.device = linkString.device;
    settings.baud = keys.isWord("baud", "auto") ? 0 : keys.number("baud", 38400, 300, 4000000);
    settings.bus =
        static_cast<ElmBus>(keys.choice("protocol", 0,
                                        {kElmProtocols[0], kElmProtocols[1], kElmProtocols[2],
                                         kElmProtocols[3], kElmProtocols[4], kElmProtocols[5]}));
    settings.target = keys.hexByte("target", settings.target);
    settings.source = keys.hexByte("source", settings.source);
    const bool wide = settings.is29Bit();
    const std::uint32_t largest = wide ? 0x1FFFFFFF : 0x7FF;
    settings.tx = keys.hexNumber("tx", defaultTx(wide), largest);
    settings.rx = keys.hexNumber("rx", defaultRx(wide), largest);
    if (const unsigned timeout = keys.number("timeout", 0, 1, kLongestTimeoutMs)) {
        settings.timeout = std::chrono::milliseconds(timeout);
    }
    settings.diagnostic = readDiagnosticKeys(linkString, keys, kElmDiagnosticKeys);
    if (settings.diagnostic.isUds() && !settings.isCan()) {
        throw LinkStringError(linkString.kind + ": diag=uds needs a CAN protocol, and protocol=" +
                              std::string(kElmProtocols[static_cast<std::size_t>(settings.bus)]) +
                              " is a K-line one (UDS runs here on can11-500, can11-250, "
                              "can29-500 or can29-250)");
    }
    return settings;
}

std::string toLinkString(const ElmSettings& settings) {
    const ElmSettings defaults;
    LinkString linkString{"elm", settings.device, {}};
    const auto key = [&](const char* name, std::string value, const std::string& fallback) {
        addKeyUnlessDefault(linkString, name, std::move(value), fallback);
    };
    key("baud", settings.baud == 0 ? "auto" : std::to_string(settings.baud),
        std::to_string(defaults.baud));
    key("protocol", std::string(kElmProtocols[static_cast<std::size_t>(settings.bus)]),
        std::string(kElmProtocols[0]));
    key("target", hexPadded(settings.target, 2), hexPadded(defaults.target, 2));
    key("source", hexPadded(settings.source, 2), hexPadded(defaults.source, 2));
    const bool wide = settings.is29Bit();
    key("tx", hexPadded(settings.tx, 3), hexPadded(defaultTx(wide), 3));
    key("rx", hexPadded(settings.rx, 3), hexPadded(defaultRx(wide), 3));
    if (settings.timeout) {
        linkString.keys.emplace_back("timeout", std::to_string(settings.timeout->count()));
    }
    writeDiagnosticKeys(linkString, settings.diagnostic, kElmDiagnosticKeys);
    return formatLinkString(linkString);
}

} // namespace vistrel
