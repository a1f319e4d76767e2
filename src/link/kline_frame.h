// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vistrel {

// The header an ISO 14230-2 frame carries. The ECU's key byte KB1 says
// which forms it takes; before it is known (no wake-up) the full physical
// form is used, which every ECU understands.
struct KLineHeaderForm {
    // Target and source address bytes after the format byte.
    bool addresses = true;
    // Length of up to 63 data bytes in the format byte.
    bool lengthInFormat = true;
    // A separate length byte (beyond 63 data bytes, or when the format
    // byte may not carry it).
    bool lengthByte = true;
};

// The data bytes that one frame carries: with the length in the format
// byte, and with a separate length byte.
inline constexpr std::size_t kKLineShortFrameData = 63;
inline constexpr std::size_t kKLineLongFrameData = 255;

// The header forms that key byte KB1 offers (bit 0: length in the format
// byte, bit 1: length byte, bit 2: no addresses, bit 3: addresses). When a
// pair of bits offers neither, both are taken as allowed.
KLineHeaderForm headerFormFromKeyByte(std::uint8_t kb1) noexcept;

// The checksum that ends a frame: the sum of the other bytes modulo 256.
std::uint8_t kLineChecksum(std::span<const std::uint8_t> bytes) noexcept;

// Writes one frame (header, data, checksum) in the form given, into out.
// False, and nothing written, when no header of that form can carry the
// data: 0 or more than 255 bytes, or more than 63 without a length byte.
bool encodeKLineFrame(std::vector<std::uint8_t>& out, const KLineHeaderForm& form,
                      std::uint8_t target, std::uint8_t source, std::span<const std::uint8_t> data);

// Takes a frame apart byte by byte as it arrives, in any header form.
class KLineFrameReader {
public:
    enum class Status {
        NeedMore,
        Complete,
        // A format byte of no known form, or a length of zero.
        Garbled,
        BadChecksum,
    };

    // Adds the next byte. After Complete, Garbled or BadChecksum the reader
    // takes nothing more until reset.
    Status push(std::uint8_t byte);
    void reset() noexcept;

    // The bytes taken so far, header and checksum included.
    std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }

    // Of a complete frame:
    bool hasAddresses() const noexcept { return addresses_; }
    std::uint8_t target() const noexcept { return addresses_ ? bytes_[1] : 0; }
    std::uint8_t source() const noexcept { return addresses_ ? bytes_[2] : 0; }
    std::span<const std::uint8_t> data() const noexcept {
        return std::span(bytes_).subspan(headerSize_, bytes_.size() - headerSize_ - 1);
    }

private:
    Status judgeHeader();

    std::vector<std::uint8_t> bytes_;
    bool addresses_ = false;
    std::size_t headerSize_ = 1;
    // The frame's full size once the header has been read; 0 before.
    std::size_t size_ = 0;
    Status status_ = Status::NeedMore;
};

} // namespace vistrel
