// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"
#include "link/isotp_frame.h"
#include "link/message_link.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

namespace vistrel {

// The tester's side of one ISO-TP conversation.
struct IsoTpSettings {
    std::uint32_t tx = 0x7E0;
    std::uint32_t rx = 0x7E8;
    // 29-bit identifiers.
    bool extended = false;
    // Extended addressing: the first byte of every frame we send, and of
    // every frame the ECU sends us (a frame with another first byte is not
    // for us); none for normal addressing.
    std::optional<std::uint8_t> address;
    std::optional<std::uint8_t> rxAddress;
    // The id on which the ECU sends periodic frames (UDS), which go to their
    // own queue; none where no periodic frame can come.
    std::optional<std::uint32_t> periodicId;
    // Every frame we send is 8 bytes, filled with this; none: as long as
    // its content.
    std::optional<std::uint8_t> padding = 0xCC;
    // What our flow control asks of the ECU.
    std::uint8_t blockSize = 0;
    std::uint8_t separation = 0;
    // N_Bs (waiting for the ECU's flow control) and N_Cr (waiting for its
    // next consecutive frame).
    std::chrono::milliseconds frameTimeout{1000};
    // How long the ECU may take to begin its answer (P2max).
    std::chrono::milliseconds replyTimeout{150};
};

// ISO 15765-2 on a CAN bus, normal or extended addressing: whole messages of
// up to 4095 bytes in single, first and consecutive frames, with flow
// control both ways. It keeps to the ECU's block size and separation time when sending,
// and when receiving ignores whatever is not the reply it waits for
// (other identifiers, stray frames, frames whose lengths do not add up)
// instead of trusting it. One failed transfer fails only that exchange.
// Frames on the periodic id that are no ISO-TP frames (UDS periodic
// identifiers) go to a queue of their own, whenever they come, and are
// taken by receiveUnsolicited.
class IsoTpTransport : public MessageLink {
public:
    IsoTpTransport(std::unique_ptr<CanBus> bus, IsoTpSettings settings);

    void sendMessage(const ByteString& request) override;
    std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) override;
    std::chrono::milliseconds replyTimeout() const override { return settings_.replyTimeout; }
    std::optional<ByteString> receiveUnsolicited(std::chrono::milliseconds timeout) override;

private:
    using Clock = CanBus::Clock;

    // The ECU's flow control for the next block; throws when it refuses,
    // stays silent or keeps asking to wait.
    isotp::Frame awaitFlowControl();
    // Takes the consecutive frames of a message whose first frame came;
    // nothing when a new message begins instead (its frame is then in
    // restart_).
    std::optional<ByteString> receiveRest(const isotp::Frame& first);
    std::optional<isotp::Frame> receiveFrom(Clock::time_point deadline);
    void sendFlowControl();
    // Queues a periodic frame; true when the frame was one (or is on an id
    // of their own and not for us).
    bool divertPeriodic(const CanFrame& frame);

    std::unique_ptr<CanBus> bus_;
    IsoTpSettings settings_;
    isotp::Addressing out_;
    isotp::Room room_;
    // Periodic frames not taken yet, identifier byte first.
    std::deque<ByteString> periodic_;
    // The frame last taken from the bus; a read frame's data points into it.
    CanFrame lastFrame_;
    // A single or first frame that interrupted a reception: the next
    // reception starts with it.
    std::optional<CanFrame> restart_;
};

} // namespace vistrel
