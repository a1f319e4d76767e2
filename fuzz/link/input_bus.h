// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

namespace vistrel::fuzzing {

// The fuzzer's input as frames from the ECU, one every millisecond on a fake
// clock: a byte whose low nibble is the length (0 to 15, so that impossible
// lengths come too) and whose top bit, when a periodic id is given, puts the
// frame on that id instead of the ECU's, then the data.
class InputBus : public CanBus {
public:
    InputBus(const std::uint8_t* data, std::size_t size,
             std::optional<std::uint32_t> periodicId = std::nullopt)
        : data_(data), size_(size), periodicId_(periodicId) {}

    bool exhausted() const noexcept { return at_ >= size_; }
    Clock::time_point now() const override { return now_; }
    void waitUntil(Clock::time_point deadline) override { now_ = std::max(now_, deadline); }
    void send(const CanFrame&) override {}
    std::optional<CanFrame> receive(Clock::time_point deadline) override {
        if (exhausted()) {
            waitUntil(deadline);
            return std::nullopt;
        }
        CanFrame frame;
        const std::uint8_t head = data_[at_++];
        frame.id = periodicId_ && (head & 0x80) != 0 ? *periodicId_ : 0x7E8;
        frame.length = static_cast<std::uint8_t>(head & 0x0F);
        for (std::size_t i = 0; i < frame.data.size() && at_ < size_; ++i) {
            frame.data[i] = data_[at_++];
        }
        now_ += std::chrono::milliseconds(1);
        return frame;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::optional<std::uint32_t> periodicId_;
    std::size_t at_ = 0;
    Clock::time_point now_{};
};

} // namespace vistrel::fuzzing
