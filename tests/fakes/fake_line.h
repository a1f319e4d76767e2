// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace vistrel::testing {

// A serial line on a fake clock: waits and reads move the clock instead of
// sleeping, the device behind the line answers writes by scheduling bytes to
// arrive at given times, and every write and break is logged with its time.
// It shows what a pseudo-terminal cannot: the wake-up pattern and the exact
// timing of each byte.
class FakeLine : public ByteLine {
public:
    struct Event {
        enum class Kind { Write, BreakOn, BreakOff };
        Kind kind;
        Clock::time_point at;
        std::vector<std::uint8_t> bytes;
    };

    // The device behind the line; it sees each write as it happens.
    std::function<void(FakeLine&, std::span<const std::uint8_t>)> device;
    // A one-wire line hands back every byte written.
    bool echoes = false;
    std::vector<Event> events;

    // Bytes that reach the reader at the given time.
    void arrive(std::span<const std::uint8_t> bytes, Clock::time_point at) {
        const bool inOrder = incoming_.empty() || incoming_.back().at <= at;
        for (const auto byte : bytes) {
            incoming_.push_back({at, byte});
        }
        if (!inOrder) {
            std::stable_sort(incoming_.begin(), incoming_.end(),
                             [](const auto& a, const auto& b) { return a.at < b.at; });
        }
    }
    std::vector<Event> only(Event::Kind kind) const {
        std::vector<Event> found;
        std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                     [kind](const Event& e) { return e.kind == kind; });
        return found;
    }

    Clock::time_point now() const override { return now_; }
    void waitUntil(Clock::time_point deadline) override { now_ = std::max(now_, deadline); }
    void write(std::span<const std::uint8_t> bytes) override {
        events.push_back({Event::Kind::Write, now_, {bytes.begin(), bytes.end()}});
        if (echoes) {
            arrive(bytes, now_);
        }
        if (device) {
            device(*this, bytes);
        }
    }
    std::size_t read(std::span<std::uint8_t> out, Clock::time_point deadline) override {
        if (incoming_.empty() || incoming_.front().at > deadline) {
            waitUntil(deadline);
            return 0;
        }
        waitUntil(incoming_.front().at);
        std::size_t n = 0;
        while (n < out.size() && !incoming_.empty() && incoming_.front().at <= now_) {
            out[n++] = incoming_.front().byte;
            incoming_.pop_front();
        }
        return n;
    }
    void discardInput() override {
        while (!incoming_.empty() && incoming_.front().at <= now_) {
            incoming_.pop_front();
        }
    }
    // The K-line link never changes the rate after the opening.
    void setBaudRate(unsigned) override {}
    void setBreak(bool on) override {
        events.push_back({on ? Event::Kind::BreakOn : Event::Kind::BreakOff, now_, {}});
    }

private:
    struct Pending {
        Clock::time_point at;
        std::uint8_t byte;
    };
    Clock::time_point now_ = Clock::time_point() + std::chrono::hours(1);
    std::deque<Pending> incoming_;
};

} // namespace vistrel::testing
