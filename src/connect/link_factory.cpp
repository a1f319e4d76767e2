// SPDX-License-Identifier: MIT
#include "connect/link_factory.h"

#include "link/elm_protocol.h"
#include "link/kline_protocol.h"
#include "link/link_string.h"
#include "link/serial_line.h"
#include "sim/simulated_ecu.h"

namespace vistrel {
namespace {

std::shared_ptr<Protocol> makeSimulator(const LinkString& linkString) {
    LinkKeys(linkString, {});
    return linkString.device.empty() ? SimulatedEcu::demo()
                                     : SimulatedEcu::fromFile(linkString.device);
}

std::shared_ptr<Protocol> makeKLine(const LinkString& linkString, const LinkOptions& options) {
    KLineSettings settings = KLineSettings::fromLinkString(linkString);
    auto open = [device = settings.device, baud = settings.baud, idle = options.idle] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud, idle));
    };
    return std::make_shared<KLineProtocol>(std::move(settings), std::move(open), options.idle);
}

std::shared_ptr<Protocol> makeElm(const LinkString& linkString, const LinkOptions& options) {
    ElmSettings settings = ElmSettings::fromLinkString(linkString);
    const unsigned baud = settings.baud != 0 ? settings.baud : kElmAutoBauds[0];
    auto open = [device = settings.device, baud, idle = options.idle] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud, idle));
    };
    return std::make_shared<ElmProtocol>(std::move(settings), std::move(open), options.idle);
}

} // namespace

std::shared_ptr<Protocol> makeLink(std::string_view text, const LinkOptions& options) {
    const LinkString linkString = parseLinkString(text);
    if (linkString.kind == "sim") {
        return makeSimulator(linkString);
    }
    if (linkString.kind == "kline") {
        return makeKLine(linkString, options);
    }
    if (linkString.kind == "elm") {
        return makeElm(linkString, options);
    }
    std::string kinds;
    for (const auto kind : kLinkKinds) {
        kinds += kinds.empty() ? "" : ", ";
        kinds += kind;
    }
    throw LinkStringError("unknown link kind '" + linkString.kind + "' in '" + std::string(text) +
                          "' (kinds: " + kinds + ")");
}

} // namespace vistrel
