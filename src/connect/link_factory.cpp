// SPDX-License-Identifier: MIT
#include "connect/link_factory.h"

#include "link/can_protocol.h"
#include "link/doip_protocol.h"
#include "link/elm_protocol.h"
#include "link/isotp_transport.h"
#include "link/kline_protocol.h"
#include "link/link_string.h"
#include "link/serial_line.h"
#include "link/slcan_bus.h"
#include "link/socketcan_link.h"
#include "link/socketcand_bus.h"
#include "link/tcp_socket.h"
#include "sim/simulated_ecu.h"

#include <algorithm>

namespace vistrel {
namespace {

// USB slcan adapters ignore the serial speed; the FTDI-based ones run at this.
constexpr unsigned kSlcanSerialBaud = 115200;

std::shared_ptr<Protocol> makeSimulator(const LinkString& linkString) {
    LinkKeys(linkString, {});
    return linkString.device.empty() ? SimulatedEcu::demo()
                                     : SimulatedEcu::fromFile(linkString.device);
}

std::shared_ptr<Protocol> makeKLine(const LinkString& linkString) {
    KLineSettings settings = KLineSettings::fromLinkString(linkString);
    auto open = [device = settings.device, baud = settings.baud] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud));
    };
    return std::make_shared<KLineProtocol>(std::move(settings), std::move(open));
}

std::shared_ptr<Protocol> makeElm(const LinkString& linkString) {
    ElmSettings settings = ElmSettings::fromLinkString(linkString);
    const unsigned baud = settings.baud != 0 ? settings.baud : kElmAutoBauds[0];
    auto open = [device = settings.device, baud] {
        return std::unique_ptr<ByteLine>(openSerialDevice(device, baud));
    };
    return std::make_shared<ElmProtocol>(std::move(settings), std::move(open));
}

CanProtocol::Opener canOpener(const CanSettings& settings) {
    switch (settings.carrier) {
    case CanCarrier::Slcan:
        return [settings]() -> std::unique_ptr<MessageLink> {
            auto bus =
                std::make_unique<SlcanBus>(openSerialDevice(settings.device, kSlcanSerialBaud),
                                           settings.device, settings.bitrate);
            return std::make_unique<IsoTpTransport>(std::move(bus), settings.isotp);
        };
    case CanCarrier::Socketcand:
        return [settings]() -> std::unique_ptr<MessageLink> {
            const std::string server = settings.device + ":" + std::to_string(settings.port);
            auto bus = std::make_unique<SocketcandBus>(connectTcp(settings.device, settings.port),
                                                       server, settings.bus);
            return std::make_unique<IsoTpTransport>(std::move(bus), settings.isotp);
        };
    case CanCarrier::SocketCan:
        break;
    }
    return [settings] { return openSocketCan(settings); };
}

std::shared_ptr<Protocol> makeCan(const LinkString& linkString) {
    CanSettings settings = CanSettings::fromLinkString(linkString);
    auto open = canOpener(settings);
    return std::make_shared<CanProtocol>(std::move(settings), std::move(open));
}

std::shared_ptr<Protocol> makeDoip(const LinkString& linkString) {
    DoipSettings settings = DoipSettings::fromLinkString(linkString);
    auto connect = [host = settings.host, port = settings.port]() -> std::unique_ptr<ByteLine> {
        return connectTcp(host, port);
    };
    return std::make_shared<DoipProtocol>(std::move(settings), std::move(connect));
}

} // namespace

std::shared_ptr<Protocol> makeLink(std::string_view text) {
    const LinkString linkString = parseLinkString(text);
    if (linkString.kind == "sim") {
        return makeSimulator(linkString);
    }
    if (linkString.kind == "kline") {
        return makeKLine(linkString);
    }
    if (linkString.kind == "elm") {
        return makeElm(linkString);
    }
    if (std::find(std::begin(kCanLinkKinds), std::end(kCanLinkKinds), linkString.kind) !=
        std::end(kCanLinkKinds)) {
        return makeCan(linkString);
    }
    if (linkString.kind == "doip") {
        return makeDoip(linkString);
    }
    std::string kinds;
    for (const auto kind : kLinkKinds) {
        kinds += kinds.empty() ? "" : ", ";
        kinds += kind;
    }
    throw LinkStringError("unknown link kind '" + linkString.kind + "' in '" + std::string(text) +
                          "' (kinds: " + kinds + ")");
}

std::string linkStringForms() {
    std::string forms;
    for (const auto kind : kLinkKinds) {
        forms += forms.empty() ? "" : ", ";
        // The simulator takes an ECU description, or nothing for the demo
        // car; every other kind names its device, server or interface.
        const std::string_view device = kind == "socketcand" || kind == "doip" ? "HOST[:PORT]"
                                        : kind == "socketcan"                  ? "IFACE"
                                                                               : "DEVICE";
        forms += kind == "sim" ? std::string("sim, sim:uds, sim:FILE")
                               : std::string(kind) + ":" + std::string(device) + "[,key=value]...";
    }
    return forms;
}

std::string diagnosticKeysHelp() {
    return "slcan:, socketcand:, socketcan: and elm: on a CAN protocol speak KWP2000 or UDS "
           "(diag=kwp|uds); with diag=uds, security=LL (odd level, hex) and key=PROGRAM unlock "
           "the ECU, and on the CAN kinds rate=slow|medium|fast and prx=ID shape periodic "
           "identifiers; ext=XX,rxext=YY give the CAN kinds extended addressing; doip: always "
           "speaks UDS and takes security and key, and ta, sa, activation, version, p2max and "
           "timeout (docs/links.md)";
}

} // namespace vistrel
