// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "sim/ecu_clock.h"
#include "sim/ecu_faults.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace vistrel {

struct EcuDescription;

// How the ECU answered one request.
struct Answer {
    // Suppressed: the request was taken and, as it asked, gets no positive
    // reply (UDS requests with the suppress bit set). None: the ECU did not
    // answer at all (a silent range).
    enum class Kind { Positive, Negative, Suppressed, None };
    Kind kind = Kind::Positive;
    // For a negative answer: the refused service and the reason code.
    std::uint8_t sid = 0;
    std::uint8_t nrc = 0;
};

// A refusal: writes 7F sid code.
Answer negativeAnswer(std::uint8_t sid, std::uint8_t code, ByteString& reply);

// The service layer of a simulated ECU, KWP2000 or UDS, answering one request
// at a time. Time comes from its clock (steady_clock until a test or the
// owner sets another), so that signals, session time-outs and periodic
// transmissions all run on the same time. Not thread-safe; the owner
// serialises calls.
class EcuResponder {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~EcuResponder() = default;

    // Writes the reply bytes (the negative reply 7F sid nrc included; nothing
    // when there is no answer) and tells how the ECU answered.
    virtual Answer answer(std::span<const std::uint8_t> request, ByteString& reply) = 0;
    // The frames the ECU sends without a request and that are due by now:
    // each the periodic identifier's low byte, then its data.
    virtual std::vector<ByteString> periodicFrames() { return {}; }
    // When the next periodic frame comes due, if any is scheduled.
    virtual std::optional<TimePoint> nextPeriodic() const { return std::nullopt; }

    virtual EcuFaults& faults() noexcept = 0;
    // An empty clock restores the steady clock.
    virtual void setClock(EcuClock clock) = 0;
};

// The responder of the description's diagnostic family. periodicDataBytes is
// how many data bytes one periodic frame carries on the ECU's bus (7, or 6
// with extended addressing).
std::unique_ptr<EcuResponder> makeResponder(const EcuDescription& description,
                                            std::size_t periodicDataBytes = 7);

} // namespace vistrel
