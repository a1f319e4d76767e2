// SPDX-License-Identifier: MIT
#include "link/link_factory.h"

#include "link/elm_protocol.h"
#include "link/kline_protocol.h"
#include "link/link_spec.h"
#include "link/serial_line.h"
#include "sim/simulated_ecu.h"

namespace vistrel {
namespace {

std::shared_ptr<Protocol> makeSimulator(const LinkSpec& spec) {
    LinkKeys(spec, {});
    return spec.device.empty() ? SimulatedEcu::demo() : SimulatedEcu::fromFile(spec.device);
}

std::shared_ptr<Protocol> makeKLine(const LinkSpec& spec, const LinkOptions& options) {
    KLineSettings settings = KLineSettings::fromLinkSpec(spec);
    auto open = [device = settings.device, baud = settings.baud, idle = options.idle] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud, idle));
    };
    return std::make_shared<KLineProtocol>(std::move(settings), std::move(open), options.idle);
}

std::shared_ptr<Protocol> makeElm(const LinkSpec& spec, const LinkOptions& options) {
    ElmSettings settings = ElmSettings::fromLinkSpec(spec);
    const unsigned baud = settings.baud != 0 ? settings.baud : kElmAutoBauds[0];
    auto open = [device = settings.device, baud, idle = options.idle] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud, idle));
    };
    return std::make_shared<ElmProtocol>(std::move(settings), std::move(open), options.idle);
}

} // namespace

std::shared_ptr<Protocol> makeLink(std::string_view text, const LinkOptions& options) {
    const LinkSpec spec = parseLinkSpec(text);
    if (spec.kind == "sim") {
        return makeSimulator(spec);
    }
    if (spec.kind == "kline") {
        return makeKLine(spec, options);
    }
    if (spec.kind == "elm") {
        return makeElm(spec, options);
    }
    std::string kinds;
    for (const auto kind : kLinkKinds) {
        kinds += kinds.empty() ? "" : ", ";
        kinds += kind;
    }
    throw LinkSpecError("unknown link kind '" + spec.kind + "' in '" + std::string(text) +
                        "' (kinds: " + kinds + ")");
}

} // namespace vistrel
