// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The four frame kinds of ISO 15765-2 (classic CAN, normal or extended
// addressing), read and written in one place so that the tester's transport
// and the simulated ECU agree on every bit. With extended addressing every
// frame begins with an address byte, and carries one byte less.
namespace vistrel::isotp {

// The longest message a 12-bit first-frame length can announce.
inline constexpr std::size_t kMaxMessage = 0xFFF;
inline constexpr std::size_t kSingleFrameMax = 7;
inline constexpr std::size_t kFirstFrameData = 6;
inline constexpr std::size_t kConsecutiveData = 7;

enum class FrameKind { Single, First, Consecutive, FlowControl };
enum class FlowStatus : std::uint8_t { ContinueToSend = 0, Wait = 1, Overflow = 2 };

// One received frame, its protocol control information checked against the
// frame's own length before anything is copied. A frame whose lengths do not
// fit is no frame at all (nullopt): a single frame of length 0 or above 7, a
// first frame announcing fewer than 8 bytes or shorter than 8, a frame
// shorter than the data it announces.
struct Frame {
    FrameKind kind = FrameKind::Single;
    // Single: the message length; first: the announced total.
    std::size_t length = 0;
    // Consecutive: the sequence number; flow control: the raw status nibble.
    std::uint8_t number = 0;
    // Flow control: block size and separation time as sent.
    std::uint8_t blockSize = 0;
    std::uint8_t separation = 0;
    // The payload carried by this frame (for a consecutive frame: everything
    // after the PCI byte, padding included; the reader takes what it needs).
    std::span<const std::uint8_t> data;
};
// With address, only a frame that begins with it is read, after it.
std::optional<Frame> readFrame(const CanFrame& frame,
                               std::optional<std::uint8_t> address = std::nullopt);

// Frames to send. padding fills every frame to 8 bytes; without it the frame
// is as long as its content.
struct Addressing {
    std::uint32_t id = 0;
    bool extended = false;
    std::optional<std::uint8_t> padding;
    // Extended addressing: the first byte of every frame.
    std::optional<std::uint8_t> address;
};

// What one frame carries under an addressing: a single frame's message, the
// first frame's and a consecutive frame's part of one.
struct Room {
    std::size_t single = kSingleFrameMax;
    std::size_t first = kFirstFrameData;
    std::size_t consecutive = kConsecutiveData;
};
Room roomOf(bool addressed) noexcept;
CanFrame singleFrame(const Addressing& to, std::span<const std::uint8_t> message);
// Carries the first 6 bytes (5 with an address byte) of a message longer
// than a single frame takes.
CanFrame firstFrame(const Addressing& to, std::span<const std::uint8_t> message);
// Carries up to 7 bytes (6 with an address byte) from chunk with sequence
// number number & 0xF.
CanFrame consecutiveFrame(const Addressing& to, std::uint8_t number,
                          std::span<const std::uint8_t> chunk);
CanFrame flowControl(const Addressing& to, FlowStatus status, std::uint8_t blockSize,
                     std::uint8_t separation);

// The gap a separation-time byte asks for: 0-127 ms, F1-F9 100-900 µs, and
// 127 ms for the reserved values, as the standard tells a sender to assume.
std::chrono::microseconds separationTime(std::uint8_t value);

} // namespace vistrel::isotp
