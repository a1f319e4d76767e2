// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"
#include "link/isotp_frame.h"
#include "sim/ecu_description.h"
#include "sim/ecu_responder.h"
#include "sim/wire_faults.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// How the simulated ECU behaves on CAN.
struct IsoTpEcuSettings {
    // The tester's request id and the ECU's answer id.
    std::uint32_t requestId = 0x7E0;
    std::uint32_t replyId = 0x7E8;
    bool extended = false;
    // Where a UDS ECU sends its periodic frames; the answer id when not set.
    std::optional<std::uint32_t> periodicId;
    // Extended addressing, both or neither: the first byte of the tester's
    // frames that the ECU takes, and of the ECU's own. The description's
    // ext and rxext when not set.
    std::optional<std::uint8_t> requestAddress;
    std::optional<std::uint8_t> replyAddress;
    // What the ECU's flow control asks of the tester.
    std::uint8_t blockSize = 0;
    std::uint8_t separation = 0;
    // Besides no-answer, negative, pending and nrc:21: fc-overflow, lost-cf
    // and bad-sn on every N-th request; fc-wait:N (N WAITs before each CTS),
    // no-padding and noise (frames of other ids) on every one; late and
    // silent-after as on the K-line; and the UDS responder's own: nrc:37,
    // new-seed, periodic-stop.
    std::vector<WireFaultRule> faults;
    // Told of each request as it comes in ("request 2301000004"), when set.
    std::function<void(const std::string&)> log;
};

// The ECU's side of ISO 15765-2 on a virtual bus, driven by the frames that
// reach it and by the clock: it takes requests in single or first and
// consecutive frames (sending its flow control), answers from the same
// KWP2000 or UDS responder as the simulator, and sends the answer in frames,
// keeping to the tester's flow control. A UDS ECU also sends the periodic
// identifiers it was asked for, one unsegmented frame each (the identifier's
// low byte, then its data). The carrier (an slcan adapter, a socketcand
// server) passes every frame of the bus in and sends what comes due.
class IsoTpEcu {
public:
    using Clock = std::chrono::steady_clock;

    IsoTpEcu(const EcuDescription& description, IsoTpEcuSettings settings);
    IsoTpEcu(const IsoTpEcu&) = delete;
    IsoTpEcu& operator=(const IsoTpEcu&) = delete;

    void receive(const CanFrame& frame, Clock::time_point now);
    // The frames due by now, in the order they go on the bus.
    std::vector<CanFrame> due(Clock::time_point now);
    // When the next frame comes due, if one is waiting or scheduled.
    std::optional<Clock::time_point> nextDue() const;

private:
    void takeRequest(const isotp::Frame& frame, Clock::time_point now);
    void answer(const std::vector<std::uint8_t>& request, Clock::time_point now);
    void startReply(std::vector<std::uint8_t> reply, Clock::time_point at);
    void takeFlowControl(const isotp::Frame& frame, Clock::time_point now);
    void queue(const CanFrame& frame, Clock::time_point at);
    bool due(WireFault fault, unsigned count) const;
    const WireFaultRule* rule(WireFault fault) const;
    void queuePeriodic(Clock::time_point now);

    // The description's extended addressing unless the settings give one.
    static IsoTpEcuSettings withAddressing(IsoTpEcuSettings settings,
                                           const EcuDescription& description);

    IsoTpEcuSettings settings_;
    isotp::Room room_;
    // The ECU lives on the carrier's time: the latest now handed in, which
    // also moves its signals, its session time-out and its periodic frames.
    Clock::time_point now_{};
    std::unique_ptr<EcuResponder> responder_;
    std::chrono::microseconds latency_;
    isotp::Addressing out_;
    std::deque<std::pair<Clock::time_point, CanFrame>> outgoing_;
    unsigned requests_ = 0;
    // The request being received in consecutive frames.
    std::vector<std::uint8_t> request_;
    std::size_t requestLength_ = 0;
    std::uint8_t requestNumber_ = 0;
    unsigned requestBlock_ = 0;
    // The reply being sent in consecutive frames, waiting for flow control.
    std::vector<std::uint8_t> reply_;
    std::size_t replySent_ = 0;
    std::uint8_t replyNumber_ = 0;
    bool awaitingFlowControl_ = false;
    bool loseFrame_ = false;
    bool bendNumber_ = false;
};

} // namespace vistrel
