// SPDX-License-Identifier: MIT
#include "link/isotp_frame.h"

#include <algorithm>

namespace vistrel::isotp {
namespace {

constexpr std::uint8_t kSinglePci = 0x00;
constexpr std::uint8_t kFirstPci = 0x10;
constexpr std::uint8_t kConsecutivePci = 0x20;
constexpr std::uint8_t kFlowControlPci = 0x30;
constexpr std::size_t kClassicLength = 8;
constexpr std::chrono::milliseconds kReservedSeparation{127};

CanFrame frameWith(const Addressing& to, std::initializer_list<std::uint8_t> head,
                   std::span<const std::uint8_t> data) {
    CanFrame frame;
    frame.id = to.id;
    frame.extended = to.extended;
    auto out = frame.data.begin();
    if (to.address) {
        *out++ = *to.address;
    }
    out = std::copy(head.begin(), head.end(), out);
    out = std::copy(data.begin(), data.end(), out);
    frame.length = static_cast<std::uint8_t>(out - frame.data.begin());
    if (to.padding) {
        std::fill(out, frame.data.end(), *to.padding);
        frame.length = kClassicLength;
    }
    return frame;
}

} // namespace

Room roomOf(bool addressed) noexcept {
    const std::size_t less = addressed ? 1 : 0;
    return {kSingleFrameMax - less, kFirstFrameData - less, kConsecutiveData - less};
}

std::optional<Frame> readFrame(const CanFrame& frame, std::optional<std::uint8_t> address) {
    const std::size_t skip = address ? 1 : 0;
    if (frame.length <= skip || frame.length > kClassicLength ||
        (address && frame.data[0] != *address)) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> bytes = frame.bytes().subspan(skip);
    const Room room = roomOf(address.has_value());
    const std::uint8_t pci = bytes[0];
    Frame read;
    switch (pci & 0xF0) {
    case kSinglePci:
        read.kind = FrameKind::Single;
        read.length = pci & 0x0F;
        if (read.length == 0 || read.length > room.single || read.length > bytes.size() - 1) {
            return std::nullopt;
        }
        read.data = bytes.subspan(1, read.length);
        return read;
    case kFirstPci:
        read.kind = FrameKind::First;
        read.length =
            (static_cast<std::size_t>(pci & 0x0F) << 8) | (bytes.size() > 1 ? bytes[1] : 0);
        if (bytes.size() != kClassicLength - skip || read.length <= room.single) {
            return std::nullopt;
        }
        read.data = bytes.subspan(2);
        return read;
    case kConsecutivePci:
        read.kind = FrameKind::Consecutive;
        read.number = pci & 0x0F;
        read.data = bytes.subspan(1);
        return read;
    case kFlowControlPci:
        if (bytes.size() < 3) {
            return std::nullopt;
        }
        read.kind = FrameKind::FlowControl;
        read.number = pci & 0x0F;
        read.blockSize = bytes[1];
        read.separation = bytes[2];
        return read;
    default:
        return std::nullopt;
    }
}

CanFrame singleFrame(const Addressing& to, std::span<const std::uint8_t> message) {
    return frameWith(to, {static_cast<std::uint8_t>(kSinglePci | message.size())}, message);
}

CanFrame firstFrame(const Addressing& to, std::span<const std::uint8_t> message) {
    return frameWith(to,
                     {static_cast<std::uint8_t>(kFirstPci | (message.size() >> 8)),
                      static_cast<std::uint8_t>(message.size() & 0xFF)},
                     message.first(roomOf(to.address.has_value()).first));
}

CanFrame consecutiveFrame(const Addressing& to, std::uint8_t number,
                          std::span<const std::uint8_t> chunk) {
    return frameWith(
        to, {static_cast<std::uint8_t>(kConsecutivePci | (number & 0x0F))},
        chunk.first(std::min(chunk.size(), roomOf(to.address.has_value()).consecutive)));
}

CanFrame flowControl(const Addressing& to, FlowStatus status, std::uint8_t blockSize,
                     std::uint8_t separation) {
    return frameWith(
        to,
        {static_cast<std::uint8_t>(kFlowControlPci | static_cast<std::uint8_t>(status)), blockSize,
         separation},
        {});
}

std::chrono::microseconds separationTime(std::uint8_t value) {
    if (value <= 0x7F) {
        return std::chrono::milliseconds(value);
    }
    if (value >= 0xF1 && value <= 0xF9) {
        return std::chrono::microseconds((value - 0xF0) * 100);
    }
    return kReservedSeparation;
}

} // namespace vistrel::isotp
