// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "sim/address_range.h"
#include "sim/ecu_clock.h"
#include "sim/ecu_faults.h"
#include "sim/ecu_responder.h"
#include "sim/memory_map.h"
#include "sim/signal_wave.h"

#include <cstdint>
#include <vector>

namespace vistrel {

struct EcuDescription;

// What a read of the ECU's memory sees: the mapped blocks with the signals'
// values of the moment laid over them. Shared by the KWP2000 and UDS
// services, so that both answer a range the same way.
class EcuMemory {
public:
    explicit EcuMemory(const EcuDescription& description);

    // True when every byte of the range is mapped.
    bool mapped(const AddressRange& range) const noexcept;
    // Appends the bytes of the range to reply, as they are at the clock's
    // time; or answers the silence, the refusal of service or the unmapped
    // byte (7F service 31) that the range meets, in that order.
    Answer read(std::uint8_t service, const AddressRange& range, const EcuFaults& faults,
                const EcuClock& clock, ByteString& reply) const;

private:
    void overlaySignals(const AddressRange& range, const EcuClock& clock, ByteString& reply,
                        std::size_t dataStart) const;

    MemoryMap memory_;
    std::vector<Signal> signals_;
};

} // namespace vistrel
