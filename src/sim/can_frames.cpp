// SPDX-License-Identifier: MIT
#include "sim/can_frames.h"

#include "components/error.h"

#include <algorithm>
#include <array>
#include <span>

namespace vistrel {
namespace {

constexpr std::size_t kFrameBytes = 8;
constexpr std::size_t kSingleFrameData = 7;
constexpr std::uint8_t kFirstFrame = 0x10;
constexpr std::uint8_t kConsecutiveFrame = 0x20;
// The longest length a first frame carries in its 12-bit field; longer
// transfers use the escape form 10 00 and a 32-bit length.
constexpr std::size_t kShortLengthLimit = 0xFFF;

void appendFrame(std::string& out, std::span<const std::uint8_t> pci,
                 std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, kFrameBytes> frame{};
    std::size_t used = 0;
    for (const std::uint8_t byte : pci) {
        frame[used++] = byte;
    }
    for (const std::uint8_t byte : data) {
        frame[used++] = byte;
    }
    appendHex(out, frame);
}

} // namespace

std::optional<ByteString> singleFrameRequest(std::string_view hex) {
    ByteString frame;
    try {
        frame = ByteString::fromText(hex);
    } catch (const Error&) {
        return std::nullopt;
    }
    if (frame.empty() || frame.length() > kFrameBytes) {
        return std::nullopt;
    }
    const std::uint8_t pci = frame.byte(0);
    const std::size_t length = pci & 0x0F;
    if ((pci & 0xF0) != 0 || length == 0 || length > kSingleFrameData ||
        frame.length() < 1 + length) {
        return std::nullopt;
    }
    return frame.mid(1, length);
}

std::string replyFrames(const ByteString& reply) {
    const std::span<const std::uint8_t> data = reply.bytes();
    std::string out;
    if (data.size() <= kSingleFrameData) {
        const std::array<std::uint8_t, 1> pci{static_cast<std::uint8_t>(data.size())};
        appendFrame(out, pci, data);
        return out;
    }
    std::size_t sent = 0;
    if (data.size() <= kShortLengthLimit) {
        const std::array<std::uint8_t, 2> pci{
            static_cast<std::uint8_t>(kFirstFrame | (data.size() >> 8)),
            static_cast<std::uint8_t>(data.size() & 0xFF)};
        sent = kFrameBytes - pci.size();
        appendFrame(out, pci, data.first(sent));
    } else {
        const auto size = static_cast<std::uint32_t>(data.size());
        const std::array<std::uint8_t, 6> pci{kFirstFrame,
                                              0x00,
                                              static_cast<std::uint8_t>(size >> 24),
                                              static_cast<std::uint8_t>(size >> 16),
                                              static_cast<std::uint8_t>(size >> 8),
                                              static_cast<std::uint8_t>(size)};
        sent = kFrameBytes - pci.size();
        appendFrame(out, pci, data.first(sent));
    }
    for (std::uint8_t sequence = 1; sent < data.size(); sequence = (sequence + 1) & 0x0F) {
        const std::size_t chunk = std::min(kFrameBytes - 1, data.size() - sent);
        const std::array<std::uint8_t, 1> pci{
            static_cast<std::uint8_t>(kConsecutiveFrame | sequence)};
        appendFrame(out, pci, data.subspan(sent, chunk));
        sent += chunk;
    }
    return out;
}

} // namespace vistrel
