// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/negative_response.h"
#include "sim/ecu_clock.h"
#include "sim/ecu_description.h"
#include "sim/ecu_faults.h"
#include "sim/memory_map.h"
#include "sim/signal_wave.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vistrel {

// How the ECU answered one request.
struct Answer {
    enum class Kind { Positive, Negative, None };
    Kind kind = Kind::Positive;
    // For a negative answer: the refused service and the reason code.
    std::uint8_t sid = 0;
    std::uint8_t nrc = 0;
};

// The ECU's KWP2000 service handlers: StartDiagnosticSession,
// ReadMemoryByAddress, DynamicallyDefineLocalIdentifier and
// ReadDataByLocalIdentifier, answered from the memory, the signals and the
// faults of a description. Not thread-safe; the owner serialises calls.
class KwpResponder {
public:
    explicit KwpResponder(const EcuDescription& description);

    // Writes the reply bytes (the negative reply 7F sid nrc included; nothing
    // when there is no answer) and tells how the ECU answered.
    Answer answer(std::span<const std::uint8_t> request, ByteString& reply);

    EcuFaults& faults() noexcept { return faults_; }
    // An empty clock restores the steady clock.
    void setClock(EcuClock clock);

private:
    Answer startSession(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readMemoryByAddress(std::span<const std::uint8_t> request, ByteString& reply);
    Answer defineIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    // Appends the bytes of a read to the reply after its header, or answers
    // the fault or the refusal that the range meets.
    Answer readRange(std::uint8_t service, const AddressRange& range, ByteString& reply);
    // The records of a dynamically defined identifier; nullptr for an
    // identifier outside E0 to EF.
    std::vector<AddressRange>* definition(std::uint8_t identifier) noexcept;
    void overlaySignals(const AddressRange& range, ByteString& reply, std::size_t dataStart) const;
    std::uint32_t addressAt(std::span<const std::uint8_t> bytes) const noexcept;

    std::uint32_t addressSize_;
    bool ddliExtraByte_;
    std::uint32_t ddliMaxBytes_;
    MemoryMap memory_;
    std::vector<Signal> signals_;
    EcuFaults faults_;
    EcuClock clock_;
    // What each dynamically defined identifier (E0 to EF) reads: its ranges
    // in position order; empty while it is not defined.
    std::array<std::vector<AddressRange>, kwp::kLastDynamicIdentifier - kwp::kDynamicIdentifier + 1>
        definitions_;
};

// A refusal: writes 7F sid code.
Answer negativeAnswer(std::uint8_t sid, std::uint8_t code, ByteString& reply);

} // namespace vistrel
