// SPDX-License-Identifier: MIT
#include "link/can_protocol.h"

#include "components/error_numbers.h"
#include "link/kwp_exchange.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "CanProtocol";

std::string carrierLabel(const CanSettings& settings) {
    switch (settings.carrier) {
    case CanCarrier::Slcan:
        return "slcan " + settings.device + ", " + std::to_string(settings.bitrate / 1000) +
               " kbit/s";
    case CanCarrier::Socketcand:
        return "socketcand " + settings.device + ":" + std::to_string(settings.port) + " " +
               settings.bus;
    case CanCarrier::SocketCan:
        break;
    }
    return "SocketCAN " + settings.device;
}

} // namespace

CanProtocol::CanProtocol(CanSettings settings, Opener open)
    : settings_(std::move(settings)), link_(std::move(open)) {}

std::string CanProtocol::title() const {
    return "CAN";
}

std::string CanProtocol::subtitle() const {
    const int digits = settings_.isotp.extended ? 8 : 3;
    return carrierLabel(settings_) + ", " + hexPadded(settings_.isotp.tx, digits) + "/" +
           hexPadded(settings_.isotp.rx, digits);
}

void CanProtocol::InitCommunication() {
    guarded([this] { link_.open(); });
}

void CanProtocol::SendReceive(const ByteString& request, ByteString& reply) {
    guarded([&] {
        if (!link_) {
            throw Error(link_error::kDeviceUnavailable,
                        "CAN: the communication is not open (" + carrierLabel(settings_) + ")",
                        kSource);
        }
        reply = kwpExchange(*link_, request, replyStep_);
    });
}

std::size_t CanProtocol::maxReplyLength() const {
    return isotp::kMaxMessage;
}

} // namespace vistrel
