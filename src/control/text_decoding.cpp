// SPDX-License-Identifier: MIT
#include "control/text_decoding.h"

#include "components/utf8.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace vistrel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

// The text in encoding from, as UTF-8. A unit that cannot be read (unitSize
// bytes) becomes U+FFFD; an incomplete unit at the end as well.
std::string toUtf8(std::string_view bytes, const char* from, std::size_t unitSize) {
    std::string out;
    const iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return out;
    }
    // Four bytes of UTF-8 are enough for any character of either source.
    std::string buffer(bytes.size() * 4 + 4, '\0');
    while (!bytes.empty()) {
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        bytes.remove_prefix(bytes.size() - inLeft);
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        appendUtf8(out, kReplacement);
        bytes.remove_prefix(std::min(unitSize, bytes.size()));
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string decodeUserText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LittleMark)) {
        return toUtf8(bytes.substr(kUtf16LittleMark.size()), "UTF-16LE", 2);
    }
    if (bytes.starts_with(kUtf16BigMark)) {
        return toUtf8(bytes.substr(kUtf16BigMark.size()), "UTF-16BE", 2);
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return toUtf8(bytes, "WINDOWS-1252", 1);
}

} // namespace vistrel
