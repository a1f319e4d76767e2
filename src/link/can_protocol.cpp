// SPDX-License-Identifier: MIT
#include "link/can_protocol.h"

#include "components/error_numbers.h"
#include "link/family_mismatch.h"

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
    : settings_(std::move(settings)), link_(std::move(open)),
      uds_(udsSessionFor(settings_.diagnostic)) {}

std::string CanProtocol::title() const {
    return "CAN";
}

std::string CanProtocol::subtitle() const {
    const IsoTpSettings& isotp = settings_.isotp;
    const int digits = isotp.extended ? 8 : 3;
    std::string text = carrierLabel(settings_) + ", " + hexPadded(isotp.tx, digits) + "/" +
                       hexPadded(isotp.rx, digits);
    if (isotp.address && isotp.rxAddress) {
        text += " ext " + hexPadded(*isotp.address, 2) + "/" + hexPadded(*isotp.rxAddress, 2);
    }
    return uds_ ? text + ", UDS" : text;
}

void CanProtocol::InitCommunication() {
    guarded([this] {
        if (link_.open() && uds_) {
            uds_->linkOpened();
        }
    });
}

void CanProtocol::requireOpen() const {
    if (!link_) {
        throw Error(link_error::kDeviceUnavailable,
                    "CAN: the communication is not open (" + carrierLabel(settings_) + ")",
                    kSource);
    }
}

void CanProtocol::SendReceive(const ByteString& request, ByteString& reply) {
    guarded([&] {
        requireOpen();
        reply = uds_ ? uds_->exchange(*link_, request)
                     : kwpCheckedExchange(*link_, request, replyStep_);
    });
}

void CanProtocol::keepAlive() {
    if (!uds_ || !link_) {
        return;
    }
    try {
        guarded([this] { uds_->keepAlive(*link_); });
    } catch (const Error&) {
        // The next exchange meets the same fault and reports it.
    }
}

std::size_t CanProtocol::periodicDataBytes() const {
    // A whole classic frame but the identifier byte, and the address byte
    // with extended addressing.
    return settings_.isotp.address ? 6 : 7;
}

std::optional<ByteString> CanProtocol::receivePeriodic(std::chrono::milliseconds timeout) {
    std::optional<ByteString> frame;
    guarded([&] {
        requireOpen();
        frame = link_->receiveUnsolicited(timeout);
    });
    return frame;
}

bool CanProtocol::periodicIdOfItsOwn() const {
    return settings_.isotp.periodicId.value_or(settings_.isotp.rx) != settings_.isotp.rx;
}

std::size_t CanProtocol::maxReplyLength() const {
    return isotp::kMaxMessage;
}

} // namespace vistrel
