#include "item/vistrel_item.h"

#include "components/error.h"
#include "item/snapshot_record.h"

#include <array>
#include <cmath>

namespace vistrel {
namespace {

constexpr std::array<std::string_view, 4> kCodingNames{"LE+", "LE", "BE+", "BE"};
constexpr std::array<std::string_view, 4> kFormatLetters{"D", "H", "B", "P"};

constexpr std::int32_t kMaxLength = 8;
constexpr std::int32_t kIncorrectLengthError = 1;

// The index of the first entry equal to text; 0 when none matches, so an
// unknown name selects the first entry.
std::int32_t indexOrFirst(const std::array<std::string_view, 4>& table, std::string_view text) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == text) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 0;
}

std::string nameOrFirst(const std::array<std::string_view, 4>& table, std::int32_t index) {
    const bool known = index >= 0 && index < static_cast<std::int32_t>(table.size());
    return std::string(table[known ? static_cast<std::size_t>(index) : 0]);
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
    throw Error(kIncorrectLengthError,
                "VistrelItem error : incorrect length (1 -> " + std::to_string(kMaxLength) + ")",
                "VistrelItem.length");
}

std::string VistrelItem::codingText() const {
    return nameOrFirst(kCodingNames, coding_);
}

void VistrelItem::setCodingText(std::string_view text) {
    coding_ = indexOrFirst(kCodingNames, text);
}

std::string VistrelItem::formatText() const {
    return nameOrFirst(kFormatLetters, format_);
}

void VistrelItem::setFormatText(std::string_view text) {
    format_ = indexOrFirst(kFormatLetters, text);
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
