// SPDX-License-Identifier: MIT
#include "link/can_protocol.h"

#include "components/error_numbers.h"
#include "components/negative_response.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "CanProtocol";
// After "response pending" the ECU has P2* to answer, re-armed by each
// further pending reply; a few in a row are normal, endless ones are not.
constexpr std::chrono::milliseconds kPendingWait{5000};
constexpr int kMostPending = 20;

bool isPending(const ByteString& reply) {
    return reply.length() == 3 && reply.byte(0) == kwp::kNegativeReply &&
           reply.byte(2) == kwp::kResponsePending;
}

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

CanProtocol::CanProtocol(CanSettings settings, Opener open, IdleHook idle)
    : settings_(std::move(settings)), link_(std::move(open), std::move(idle)) {}

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
        link_->sendMessage(request);
        auto answer = link_->receiveMessage(settings_.p2max);
        for (int pending = 0; answer && isPending(*answer); ++pending) {
            if (pending == kMostPending) {
                throw Error(kNoAnswerError,
                            "CAN: the ECU kept answering \"response pending\" (" +
                                std::to_string(kMostPending) + " times)",
                            kSource);
            }
            answer = link_->receiveMessage(kPendingWait);
        }
        if (!answer) {
            throw Error(kNoAnswerError, kNoAnswerText, kSource);
        }
        if (answer->byte(0) == kwp::kNegativeReply) {
            if (answer->length() < 3) {
                throw Error(link_error::kGarbledFrame,
                            "CAN: negative reply too short (" + answer->text() + ")", kSource);
            }
            throw negativeResponseError(answer->byte(1), answer->byte(2));
        }
        reply = std::move(*answer);
    });
}

std::size_t CanProtocol::maxReplyLength() const {
    return isotp::kMaxMessage;
}

} // namespace vistrel
