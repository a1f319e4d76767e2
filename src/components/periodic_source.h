// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vistrel {

// Where a link delivers what an ECU sends without being asked: the frames of
// UDS periodic identifiers (ReadDataByPeriodicIdentifier, 2A).
class PeriodicSource {
public:
    virtual ~PeriodicSource() = default;
    // The data bytes one periodic frame carries after its identifier byte:
    // 7, or 6 with extended addressing.
    virtual std::size_t periodicDataBytes() const = 0;
    // The next periodic frame, the identifier's low byte first, then its
    // data; nothing when none came within timeout. Never blocks longer than
    // timeout; 0 only takes what already waits.
    virtual std::optional<ByteString> receivePeriodic(std::chrono::milliseconds timeout) = 0;
    // The transmission mode byte of 2A for the link's rate: 01 slow,
    // 02 medium, 03 fast.
    virtual std::uint8_t periodicRate() const = 0;
    // True when periodic frames come on an identifier of their own, so that
    // any identifier low byte will do; otherwise they share the response id
    // and must be 0x40 or more, never an ISO-TP frame's first byte.
    virtual bool periodicIdOfItsOwn() const = 0;
};

} // namespace vistrel
