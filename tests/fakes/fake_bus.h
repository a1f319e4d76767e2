// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/can_frame.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vistrel::testing {

// A CAN bus on a fake clock: waits and receives move the clock instead of
// sleeping, the ECU behind it answers each frame sent by scheduling frames
// to arrive at given times, and every frame sent is logged with its time.
class FakeBus : public CanBus {
public:
    struct Sent {
        Clock::time_point at;
        CanFrame frame;
    };

    // The ECU; it sees each frame as it is sent.
    std::function<void(FakeBus&, const CanFrame&)> ecu;
    std::vector<Sent> sent;

    void arrive(const CanFrame& frame, Clock::time_point at) {
        const auto later = std::upper_bound(incoming_.begin(), incoming_.end(), at,
                                            [](auto t, const auto& e) { return t < e.first; });
        incoming_.insert(later, {at, frame});
    }

    Clock::time_point now() const override { return now_; }
    void waitUntil(Clock::time_point deadline) override { now_ = std::max(now_, deadline); }
    void send(const CanFrame& frame) override {
        sent.push_back({now_, frame});
        if (ecu) {
            ecu(*this, frame);
        }
    }
    std::optional<CanFrame> receive(Clock::time_point deadline) override {
        if (incoming_.empty() || incoming_.front().first > deadline) {
            waitUntil(deadline);
            return std::nullopt;
        }
        waitUntil(incoming_.front().first);
        const CanFrame frame = incoming_.front().second;
        incoming_.pop_front();
        return frame;
    }

private:
    Clock::time_point now_{};
    std::deque<std::pair<Clock::time_point, CanFrame>> incoming_;
};

// A frame from hexadecimal text, as long as the text.
inline CanFrame canFrame(std::uint32_t id, std::string_view hex) {
    const ByteString bytes = ByteString::fromText(hex);
    CanFrame frame;
    frame.id = id;
    frame.extended = id > 0x7FF;
    frame.length = static_cast<std::uint8_t>(bytes.length());
    std::copy(bytes.bytes().begin(), bytes.bytes().end(), frame.data.begin());
    return frame;
}

// The frame's bytes as hexadecimal text.
inline std::string canText(const CanFrame& frame) {
    return ByteString(std::vector<std::uint8_t>(frame.bytes().begin(), frame.bytes().end())).text();
}

} // namespace vistrel::testing
