// SPDX-License-Identifier: MIT
#pragma once

#include "sim/ecu_memory.h"
#include "sim/ecu_responder.h"
#include "sim/periodic_scheduler.h"
#include "sim/uds_security.h"
#include "sim/uds_settings.h"

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace vistrel {

struct EcuDescription;

// The ECU's UDS services: sessions with their time-out (10, 3E), security
// access (27), ReadMemoryByAddress (23), dynamically defined identifiers
// (2C 02 and 2C 03, read with 22) and their periodic transmission (2A),
// answered from the memory, the signals, the locks and the faults of a
// description. Any carrier can put it behind its messages: ISO-TP on CAN
// (which also sends the periodic frames), DoIP, the sim: protocol object.
// Not thread-safe; the owner serialises calls.
class UdsResponder : public EcuResponder {
public:
    explicit UdsResponder(const EcuDescription& description, std::size_t periodicDataBytes = 7);

    Answer answer(std::span<const std::uint8_t> request, ByteString& reply) override;
    std::vector<ByteString> periodicFrames() override;
    std::optional<TimePoint> nextPeriodic() const override;
    EcuFaults& faults() noexcept override { return faults_; }
    void setClock(EcuClock clock) override;

private:
    Answer sessionControl(std::span<const std::uint8_t> request, ByteString& reply);
    Answer testerPresent(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readMemory(std::span<const std::uint8_t> request, ByteString& reply);
    Answer defineIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    Answer defineByAddress(std::span<const std::uint8_t> request, ByteString& reply);
    Answer clearIdentifier(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readIdentifiers(std::span<const std::uint8_t> request, ByteString& reply);
    Answer readPeriodic(std::span<const std::uint8_t> request, TimePoint now, ByteString& reply);
    // Appends the data of an identifier the ECU supports, or answers what its
    // memory meets (a lock, a fault).
    Answer identifierData(std::uint8_t service, std::uint16_t identifier, ByteString& reply);
    bool supports(std::uint16_t identifier) const;
    std::uint32_t dataLength(std::uint16_t identifier) const;
    // Back to the default session: definitions and the schedule go, every
    // level locks.
    void enterDefaultSession();
    // The session falls back to default once S3 passed without a request.
    void expireSession(TimePoint now);

    UdsSettings settings_;
    std::size_t periodicDataBytes_;
    EcuMemory memory_;
    EcuFaults faults_;
    EcuClock clock_;
    UdsSecurity security_;
    PeriodicScheduler scheduler_;
    std::uint8_t session_;
    TimePoint lastRequest_{};
    // The dynamically defined identifiers and the memory each gathers, in
    // the order of definition.
    std::map<std::uint16_t, std::vector<AddressRange>> definitions_;
};

} // namespace vistrel
