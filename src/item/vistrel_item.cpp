// SPDX-License-Identifier: MIT
#include "item/vistrel_item.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "item/snapshot_record.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vistrel {
namespace {

constexpr std::int32_t kMaxLength = 8;

// The value whose name is text; the first value when none matches, so an
// unknown name selects the first entry.
template <typename Value, std::size_t N>
Value valueOrFirst(const std::array<std::string_view, N>& names, std::string_view text) {
    const auto found = std::find(names.begin(), names.end(), text);
    return static_cast<Value>(found == names.end() ? 0 : found - names.begin());
}

template <typename Value, std::size_t N>
std::string nameOf(const std::array<std::string_view, N>& names, Value value) {
    return std::string(names[static_cast<std::size_t>(value)]);
}

} // namespace

VistrelItem::VistrelItem(std::shared_ptr<const NumberFormat> numberFormat)
    : numberFormat_(std::move(numberFormat)) {}

std::string VistrelItem::mask() const {
    return mask_ ? mask_->text() : std::string();
}

void VistrelItem::setMask(std::string_view text) {
    if (text.empty()) {
        return;
    }
    try {
        mask_ = ByteString::fromText(text);
    } catch (const Error&) {
        // A mask that does not parse keeps the previous one: a mistyped mask
        // must not hide bits the user already chose to see.
    }
}

void VistrelItem::setAddress(std::string_view text) {
    address_ = ByteString::fromText(text);
}

void VistrelItem::setLength(std::int32_t n) {
    if (n >= 1 && n <= kMaxLength) {
        length_ = n;
        if (!mask_) {
            mask_ = ByteString(std::vector<std::uint8_t>(static_cast<std::size_t>(n), 0xFF));
        }
        return;
    }
    length_ = 1;
    if (!mask_) {
        mask_ = ByteString{0xFF};
    }
    throw Error(kItemLengthError,
                "VistrelItem error : incorrect length (1 -> " + std::to_string(kMaxLength) + ")",
                "VistrelItem.length");
}

std::string VistrelItem::codingText() const {
    return nameOf(kCodingNames, coding_);
}

void VistrelItem::setCodingText(std::string_view text) {
    coding_ = valueOrFirst<Coding>(kCodingNames, text);
}

std::string VistrelItem::formatText() const {
    return nameOf(kFormatLetters, format_);
}

void VistrelItem::setFormatText(std::string_view text) {
    format_ = valueOrFirst<Format>(kFormatLetters, text);
}

void VistrelItem::setCoefC(double c) noexcept {
    coefC_ = (c == 0.0 || std::isnan(c)) ? 1.0 : c;
}

std::int32_t VistrelItem::value() const noexcept {
    return static_cast<std::int32_t>(std::lround(storedValue_));
}

void VistrelItem::setError(std::int32_t code, std::string text) {
    errorCode_ = code;
    errorText_ = std::move(text);
}

void VistrelItem::keepError(const Error& error, SnapshotRecord& record, const char* field) {
    setError(error.number(), error.description());
    record.set(field, errorText_);
}

void VistrelItem::clearOutcome() {
    errorCode_ = 0;
    errorText_.clear();
    value_.clear();
}

void VistrelItem::takeValueFromReply(std::size_t from) {
    const auto n = static_cast<std::size_t>(length_);
    value_.setLength(n);
    for (std::size_t i = 0; i < n; ++i) {
        value_.setByte(i, reply_.byte(from + i));
    }
}

} // namespace vistrel
