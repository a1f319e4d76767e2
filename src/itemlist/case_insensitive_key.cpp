#include "itemlist/case_insensitive_key.h"

#include <cstdint>

namespace vistrel {
namespace {

// UTF-8 of U+00C0..U+00DE is C3 80..C3 9E; the small letter is 0x20 further
// on (C3 A0..C3 BE). U+00D7 (multiplication sign) is no letter.
constexpr std::uint8_t kLatin1Lead = 0xC3;
constexpr std::uint8_t kFirstCapital = 0x80;
constexpr std::uint8_t kLastCapital = 0x9E;
constexpr std::uint8_t kMultiplicationSign = 0x97;
constexpr std::uint8_t kCaseOffset = 0x20;

} // namespace

std::string foldKey(std::string_view key) {
    std::string folded(key);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto c = static_cast<std::uint8_t>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + kCaseOffset);
        } else if (c == kLatin1Lead && i + 1 < folded.size()) {
            const auto next = static_cast<std::uint8_t>(folded[i + 1]);
            if (next >= kFirstCapital && next <= kLastCapital && next != kMultiplicationSign) {
                folded[i + 1] = static_cast<char>(next + kCaseOffset);
                ++i;
            }
        }
    }
    return folded;
}

} // namespace vistrel
