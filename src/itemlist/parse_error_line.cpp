#include "itemlist/parse_error_line.h"

#include <cstdint>

namespace vistrel {
namespace {

std::size_t utf8Length(std::uint32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

// Walks the characters of a file in one encoding: each step yields the next
// code point and how many bytes of the file it took.
class CharacterReader {
public:
    CharacterReader(std::string_view file, pugi::xml_encoding encoding)
        : file_(file), encoding_(encoding) {}

    bool next(std::uint32_t& codePoint) {
        switch (encoding_) {
        case pugi::encoding_utf16_le:
        case pugi::encoding_utf16_be:
            return nextUtf16(codePoint);
        case pugi::encoding_utf32_le:
        case pugi::encoding_utf32_be:
            return nextUnit(4, codePoint);
        default: // UTF-8 and Latin-1: one byte at a time
            return nextUnit(1, codePoint);
        }
    }

private:
    bool bigEndian() const {
        return encoding_ == pugi::encoding_utf16_be || encoding_ == pugi::encoding_utf32_be;
    }

    bool nextUnit(std::size_t size, std::uint32_t& unit) {
        if (at_ + size > file_.size()) {
            return false;
        }
        unit = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const auto byte =
                static_cast<std::uint8_t>(file_[at_ + (bigEndian() ? i : size - 1 - i)]);
            unit = unit << 8 | byte;
        }
        at_ += size;
        return true;
    }

    bool nextUtf16(std::uint32_t& codePoint) {
        if (!nextUnit(2, codePoint)) {
            return false;
        }
        std::uint32_t low = 0;
        const std::size_t before = at_;
        if (codePoint >= 0xD800 && codePoint < 0xDC00 && nextUnit(2, low)) {
            if (low >= 0xDC00 && low < 0xE000) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
            } else {
                at_ = before;
            }
        }
        return true;
    }

    std::string_view file_;
    pugi::xml_encoding encoding_;
    std::size_t at_ = 0;
};

} // namespace

std::size_t lineOfParseError(std::string_view file, pugi::xml_encoding encoding,
                             std::ptrdiff_t offset) {
    // In a UTF-8 file each byte counts for itself; any other file's
    // characters became their UTF-8 form in the parser's copy.
    const bool utf8 = encoding == pugi::encoding_utf8 || encoding == pugi::encoding_auto;
    std::size_t line = 1;
    std::ptrdiff_t walked = 0;
    bool afterCr = false;
    CharacterReader reader(file, encoding);
    std::uint32_t c = 0;
    while (walked < offset && reader.next(c)) {
        walked += static_cast<std::ptrdiff_t>(utf8 ? 1 : utf8Length(c));
        if (c == '\n') {
            line += afterCr ? 0 : 1;
        } else if (c == '\r') {
            ++line;
        }
        afterCr = c == '\r';
    }
    return line;
}

} // namespace vistrel
