// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vistrel {

// The UDS ECU's scheduler of periodic identifiers: which ones it sends, each
// at its period, in the order they were scheduled.
class PeriodicScheduler {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // One identifier due now: its low byte, its place in the schedule and how
    // many times it came due so far, this time included.
    struct Due {
        std::uint8_t identifier;
        std::size_t place;
        std::uint64_t count;
    };

    explicit PeriodicScheduler(std::size_t capacity) : capacity_(capacity) {}

    // True when the identifiers, added to those scheduled already, fit.
    bool fits(const std::vector<std::uint8_t>& identifiers) const;
    // Schedules the identifier, first due at now; one scheduled already
    // keeps its place and takes the new period.
    void schedule(std::uint8_t identifier, std::chrono::milliseconds period, TimePoint now);
    void stop(std::uint8_t identifier);
    void stopAll() noexcept { entries_.clear(); }

    // The identifiers due by now, each moved on by its period. One that fell
    // behind (nobody asked for a while) comes due once and then keeps time
    // from now, instead of sending the frames it missed in a burst.
    std::vector<Due> due(TimePoint now);
    std::optional<TimePoint> next() const;

private:
    struct Entry {
        std::uint8_t identifier;
        std::chrono::milliseconds period;
        TimePoint next;
        std::uint64_t count;
    };
    std::vector<Entry>::iterator find(std::uint8_t identifier);

    std::size_t capacity_;
    std::vector<Entry> entries_;
};

} // namespace vistrel
