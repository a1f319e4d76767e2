// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace vistrel {

// One classic CAN frame: an 11-bit or 29-bit identifier and 0 to 8 bytes.
struct CanFrame {
    std::uint32_t id = 0;
    bool extended = false;
    std::uint8_t length = 0;
    std::array<std::uint8_t, 8> data{};

    std::span<const std::uint8_t> bytes() const noexcept { return {data.data(), length}; }
    bool operator==(const CanFrame&) const = default;
};

// Where CAN frames go out and come in: an slcan adapter, a socketcand
// server, a SocketCAN raw socket or a fake bus in tests. The time comes from
// the bus too, so that a fake bus runs the ISO-TP timers on a fake clock. A
// bus that fails (adapter pulled, server gone) throws Error.
class CanBus {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~CanBus() = default;

    virtual Clock::time_point now() const = 0;
    // Returns at deadline.
    virtual void waitUntil(Clock::time_point deadline) = 0;
    virtual void send(const CanFrame& frame) = 0;
    // The next frame from the bus, or nothing when none came by deadline.
    virtual std::optional<CanFrame> receive(Clock::time_point deadline) = 0;
};

} // namespace vistrel
