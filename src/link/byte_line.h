// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vistrel {

// A serial line as every link sees it: bytes out, bytes in by a deadline,
// and the few line controls a wake-up pattern needs. The time comes from the
// line too, so that a fake line can run a whole exchange on a fake clock.
// A line that fails (device gone, hang-up) throws Error.
class ByteLine {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~ByteLine() = default;

    virtual Clock::time_point now() const = 0;
    // Returns at deadline.
    virtual void waitUntil(Clock::time_point deadline) = 0;
    // Hands every byte to the line.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    // Waits until deadline for the first byte, then takes what has arrived,
    // at most out.size() bytes. 0 when nothing came in time.
    virtual std::size_t read(std::span<std::uint8_t> out, Clock::time_point deadline) = 0;
    // Drops what has arrived and not been read.
    virtual void discardInput() = 0;
    virtual void setBaudRate(unsigned baud) = 0;
    // Holds the line low (a break) or lets it go high again.
    virtual void setBreak(bool on) = 0;
};

} // namespace vistrel
