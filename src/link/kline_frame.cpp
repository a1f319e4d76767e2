// SPDX-License-Identifier: MIT
#include "link/kline_frame.h"

#include <numeric>

namespace vistrel {
namespace {

// Format byte: bits 7-6 the address mode, bits 5-0 the data length (0 when
// a length byte follows the header).
constexpr std::uint8_t kNoAddresses = 0x00;
constexpr std::uint8_t kPhysical = 0x80;
constexpr std::uint8_t kModeMask = 0xC0;
constexpr std::uint8_t kLengthMask = 0x3F;
// The 0x40 mode is the exception mode of the ISO 9141 world; no KWP2000 ECU
// answers with it.
constexpr std::uint8_t kExceptionMode = 0x40;

} // namespace

KLineHeaderForm headerFormFromKeyByte(std::uint8_t kb1) noexcept {
    KLineHeaderForm form;
    form.lengthInFormat = (kb1 & 0x01) != 0;
    form.lengthByte = (kb1 & 0x02) != 0;
    if (!form.lengthInFormat && !form.lengthByte) {
        form.lengthInFormat = form.lengthByte = true;
    }
    const bool oneByteHeader = (kb1 & 0x04) != 0;
    const bool addressHeader = (kb1 & 0x08) != 0;
    form.addresses = addressHeader || !oneByteHeader;
    return form;
}

std::uint8_t kLineChecksum(std::span<const std::uint8_t> bytes) noexcept {
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0U));
}

bool encodeKLineFrame(std::vector<std::uint8_t>& out, const KLineHeaderForm& form,
                      std::uint8_t target, std::uint8_t source,
                      std::span<const std::uint8_t> data) {
    const std::size_t n = data.size();
    const bool inFormat = n <= kLengthMask && (form.lengthInFormat || !form.lengthByte);
    if (n == 0 || n > 0xFF || (!inFormat && !form.lengthByte)) {
        return false;
    }
    const std::size_t start = out.size();
    const std::uint8_t mode = form.addresses ? kPhysical : kNoAddresses;
    out.push_back(static_cast<std::uint8_t>(mode | (inFormat ? n : 0)));
    if (form.addresses) {
        out.push_back(target);
        out.push_back(source);
    }
    if (!inFormat) {
        out.push_back(static_cast<std::uint8_t>(n));
    }
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(kLineChecksum(std::span(out).subspan(start)));
    return true;
}

KLineFrameReader::Status KLineFrameReader::push(std::uint8_t byte) {
    if (status_ != Status::NeedMore) {
        return status_;
    }
    bytes_.push_back(byte);
    if (size_ == 0) {
        status_ = judgeHeader();
        if (size_ == 0 || status_ != Status::NeedMore) {
            return status_;
        }
    }
    if (bytes_.size() == size_) {
        const bool sound = kLineChecksum(std::span(bytes_).first(size_ - 1)) == bytes_.back();
        status_ = sound ? Status::Complete : Status::BadChecksum;
    }
    return status_;
}

KLineFrameReader::Status KLineFrameReader::judgeHeader() {
    const std::uint8_t format = bytes_.front();
    if ((format & kModeMask) == kExceptionMode) {
        return Status::Garbled;
    }
    addresses_ = (format & kModeMask) != kNoAddresses;
    const std::size_t lengthInFormat = format & kLengthMask;
    headerSize_ = 1 + (addresses_ ? 2 : 0) + (lengthInFormat == 0 ? 1 : 0);
    if (bytes_.size() < headerSize_) {
        return Status::NeedMore;
    }
    const std::size_t dataLength = lengthInFormat != 0 ? lengthInFormat : bytes_.back();
    if (dataLength == 0) {
        return Status::Garbled;
    }
    size_ = headerSize_ + dataLength + 1;
    return Status::NeedMore;
}

void KLineFrameReader::reset() noexcept {
    bytes_.clear();
    addresses_ = false;
    headerSize_ = 1;
    size_ = 0;
    status_ = Status::NeedMore;
}

} // namespace vistrel
