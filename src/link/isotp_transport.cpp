// SPDX-License-Identifier: MIT
#include "link/isotp_transport.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <string>

namespace vistrel {
namespace {

constexpr const char* kSource = "IsoTpTransport";
// More WAIT flow controls in a row than this and the sender gives up (the
// standard's N_WFTmax, which it leaves to the system).
constexpr int kMostWaits = 10;
// The lowest first byte of a periodic frame that shares the response id.
constexpr std::uint8_t kLowestSharedPeriodic = 0x40;
// Periodic frames kept for a reader: a few seconds of a busy fast rate.
constexpr std::size_t kMostQueuedPeriodic = 4096;
// Frames that receiveUnsolicited takes past its deadline looking for a
// periodic one among those that wait already.
constexpr int kMostFramesPastDeadline = 64;

} // namespace

IsoTpTransport::IsoTpTransport(std::unique_ptr<CanBus> bus, IsoTpSettings settings)
    : bus_(std::move(bus)),
      settings_(settings), out_{settings.tx, settings.extended, settings.padding, settings.address},
      room_(isotp::roomOf(settings.address.has_value())) {}

void IsoTpTransport::sendMessage(const ByteString& request) {
    const std::span<const std::uint8_t> message = request.bytes();
    if (message.empty() || message.size() > isotp::kMaxMessage) {
        throw Error(can_error::kMessageTooLong,
                    "CAN: a request of " + std::to_string(message.size()) +
                        " bytes does not fit one transfer (1 to 4095)",
                    kSource);
    }
    restart_.reset();
    if (message.size() <= room_.single) {
        bus_->send(isotp::singleFrame(out_, message));
        return;
    }
    bus_->send(isotp::firstFrame(out_, message));
    std::size_t sent = room_.first;
    std::uint8_t number = 1;
    // STmin is the least gap between two consecutive frames, a flow control
    // in between or not: a slow ECU may answer a block at once and still need
    // the time before the next frame.
    std::optional<Clock::time_point> lastConsecutive;
    while (sent < message.size()) {
        const isotp::Frame flow = awaitFlowControl();
        const auto gap = isotp::separationTime(flow.separation);
        for (unsigned inBlock = 0;
             sent < message.size() && (flow.blockSize == 0 || inBlock < flow.blockSize);
             ++inBlock) {
            if (lastConsecutive) {
                bus_->waitUntil(*lastConsecutive + gap);
            }
            bus_->send(isotp::consecutiveFrame(out_, number++, message.subspan(sent)));
            sent += std::min(room_.consecutive, message.size() - sent);
            lastConsecutive = bus_->now();
        }
    }
}

isotp::Frame IsoTpTransport::awaitFlowControl() {
    for (int waits = 0;;) {
        const auto deadline = bus_->now() + settings_.frameTimeout;
        std::optional<isotp::Frame> flow;
        while (!flow) {
            flow = receiveFrom(deadline);
            if (!flow && bus_->now() >= deadline) {
                throw Error(can_error::kFlowControlTimeout,
                            "CAN: no flow control from the ECU within " +
                                std::to_string(settings_.frameTimeout.count()) + " ms (N_Bs)",
                            kSource);
            }
            if (flow && flow->kind != isotp::FrameKind::FlowControl) {
                flow.reset();
            }
        }
        switch (flow->number) {
        case static_cast<std::uint8_t>(isotp::FlowStatus::ContinueToSend):
            return *flow;
        case static_cast<std::uint8_t>(isotp::FlowStatus::Wait):
            if (++waits > kMostWaits) {
                throw Error(can_error::kFlowControlRefused,
                            "CAN: the ECU asked to wait more than " + std::to_string(kMostWaits) +
                                " times in a row (flow control WAIT)",
                            kSource);
            }
            continue;
        case static_cast<std::uint8_t>(isotp::FlowStatus::Overflow):
            throw Error(can_error::kFlowControlRefused,
                        "CAN: the ECU refused the request (flow control overflow)", kSource);
        default:
            throw Error(can_error::kFlowControlRefused,
                        "CAN: the ECU sent a flow control of unknown status " +
                            std::to_string(flow->number),
                        kSource);
        }
    }
}

std::optional<ByteString> IsoTpTransport::receiveMessage(std::chrono::milliseconds timeout) {
    const auto deadline = bus_->now() + timeout;
    for (;;) {
        std::optional<isotp::Frame> frame;
        if (restart_) {
            lastFrame_ = *restart_;
            restart_.reset();
            frame = isotp::readFrame(lastFrame_);
        } else {
            frame = receiveFrom(deadline);
        }
        if (!frame) {
            if (bus_->now() >= deadline) {
                return std::nullopt;
            }
            continue;
        }
        if (frame->kind == isotp::FrameKind::Single) {
            return ByteString(std::vector<std::uint8_t>(frame->data.begin(), frame->data.end()));
        }
        if (frame->kind == isotp::FrameKind::First) {
            if (auto message = receiveRest(*frame)) {
                return message;
            }
        }
        // Stray consecutive frames and flow controls are no reply.
    }
}

std::optional<ByteString> IsoTpTransport::receiveRest(const isotp::Frame& first) {
    std::vector<std::uint8_t> message(first.data.begin(), first.data.end());
    message.reserve(first.length);
    sendFlowControl();
    std::uint8_t expected = 1;
    unsigned inBlock = 0;
    auto deadline = bus_->now() + settings_.frameTimeout;
    while (message.size() < first.length) {
        const std::optional<isotp::Frame> frame = receiveFrom(deadline);
        if (!frame) {
            if (bus_->now() >= deadline) {
                throw Error(can_error::kConsecutiveTimeout,
                            "CAN: the reply stopped after " + std::to_string(message.size()) +
                                " of " + std::to_string(first.length) + " bytes (no frame within " +
                                std::to_string(settings_.frameTimeout.count()) + " ms, N_Cr)",
                            kSource);
            }
            continue;
        }
        if (frame->kind == isotp::FrameKind::Single || frame->kind == isotp::FrameKind::First) {
            // The ECU started over: that message is the reply now.
            restart_ = lastFrame_;
            return std::nullopt;
        }
        const std::size_t wanted = std::min(room_.consecutive, first.length - message.size());
        if (frame->kind != isotp::FrameKind::Consecutive || frame->data.size() < wanted) {
            continue;
        }
        if (frame->number != (expected & 0x0F)) {
            throw Error(can_error::kSequence,
                        "CAN: consecutive frame " + std::to_string(frame->number) +
                            " where frame " + std::to_string(expected & 0x0F) +
                            " was due (a frame was lost)",
                        kSource);
        }
        message.insert(message.end(), frame->data.begin(), frame->data.begin() + wanted);
        ++expected;
        if (settings_.blockSize != 0 && ++inBlock == settings_.blockSize &&
            message.size() < first.length) {
            sendFlowControl();
            inBlock = 0;
        }
        // N_Cr runs from the last frame, and from our flow control after a block.
        deadline = bus_->now() + settings_.frameTimeout;
    }
    return ByteString(std::move(message));
}

std::optional<isotp::Frame> IsoTpTransport::receiveFrom(Clock::time_point deadline) {
    const std::optional<CanFrame> frame = bus_->receive(deadline);
    if (!frame || frame->extended != settings_.extended || divertPeriodic(*frame) ||
        frame->id != settings_.rx) {
        return std::nullopt;
    }
    lastFrame_ = *frame;
    return isotp::readFrame(lastFrame_, settings_.rxAddress);
}

bool IsoTpTransport::divertPeriodic(const CanFrame& frame) {
    if (!settings_.periodicId || frame.id != *settings_.periodicId) {
        return false;
    }
    const std::size_t skip = settings_.rxAddress ? 1 : 0;
    if (frame.length <= skip || frame.length > frame.data.size() ||
        (settings_.rxAddress && frame.data[0] != *settings_.rxAddress)) {
        // Not for us, or no frame at all; on an id of their own nothing else
        // can come.
        return *settings_.periodicId != settings_.rx;
    }
    // On the response id, an ISO-TP frame's first byte is below 0x40; a
    // periodic identifier's low byte never is.
    if (*settings_.periodicId == settings_.rx && frame.data[skip] < kLowestSharedPeriodic) {
        return false;
    }
    if (periodic_.size() == kMostQueuedPeriodic) {
        // Nobody reads them: the oldest go, so that memory stays bounded and
        // the newest values are there when a reader comes.
        periodic_.pop_front();
    }
    const auto bytes = frame.bytes().subspan(skip);
    periodic_.emplace_back(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return true;
}

std::optional<ByteString> IsoTpTransport::receiveUnsolicited(std::chrono::milliseconds timeout) {
    const auto deadline = bus_->now() + timeout;
    // What waits already is taken even past the deadline, within bounds, so
    // that other traffic ahead of a periodic frame does not hide it.
    for (int late = 0; periodic_.empty();) {
        const std::optional<CanFrame> frame = bus_->receive(deadline);
        if (!frame) {
            break;
        }
        // Between exchanges whatever else comes is stale.
        if (frame->extended == settings_.extended) {
            divertPeriodic(*frame);
        }
        if (bus_->now() >= deadline && ++late >= kMostFramesPastDeadline) {
            break;
        }
    }
    if (periodic_.empty()) {
        return std::nullopt;
    }
    ByteString frame = std::move(periodic_.front());
    periodic_.pop_front();
    return frame;
}

void IsoTpTransport::sendFlowControl() {
    bus_->send(isotp::flowControl(out_, isotp::FlowStatus::ContinueToSend, settings_.blockSize,
                                  settings_.separation));
}

} // namespace vistrel
