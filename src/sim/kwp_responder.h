// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/negative_response.h"
#include "sim/ecu_clock.h"
#include "sim/ecu_description.h"
#include "sim/ecu_faults.h"
#include "sim/ecu_memory.h"
#include "sim/ecu_responder.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vistrel {

// The ECU's KWP2000 service handlers: StartDiagnosticSession,
// ReadMemoryByAddress, DynamicallyDefineLocalIdentifier and
// ReadDataByLocalIdentifier, answered from the memory, the signals and the
// faults of a description. Not thread-safe; the owner serialises calls.
class KwpResponder : public EcuResponder {
public:
    explicit KwpResponder(const EcuDescription& description);

    Answer answer(std::span<const std::uint8_t> request, ByteString& reply) override;
    EcuFaults& faults() noexcept override { return faults_; }
    void setClock(EcuClock clock) override;

private:
    Answer startSession(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readMemoryByAddress(std::span<const std::uint8_t> request, ByteString& reply);
    Answer defineIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    // The records of a dynamically defined identifier; nullptr for an
    // identifier outside E0 to EF.
    std::vector<AddressRange>* definition(std::uint8_t identifier) noexcept;
    std::uint32_t addressAt(std::span<const std::uint8_t> bytes) const noexcept;

    std::uint32_t addressSize_;
    bool ddliExtraByte_;
    std::uint32_t ddliMaxBytes_;
    EcuMemory memory_;
    EcuFaults faults_;
    EcuClock clock_;
    // What each dynamically defined identifier (E0 to EF) reads: its ranges
    // in position order; empty while it is not defined.
    std::array<std::vector<AddressRange>, kwp::kLastDynamicIdentifier - kwp::kDynamicIdentifier + 1>
        definitions_;
};

} // namespace vistrel
