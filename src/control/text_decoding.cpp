// SPDX-License-Identifier: MIT
#include "control/text_decoding.h"

#include "components/error_numbers.h"
#include "components/utf8.h"
#include "components/utf8_decoder.h"

namespace vistrel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr std::string_view kReplacement = "\uFFFD";

std::string decodeFrom(std::string_view bytes, const char* encoding, std::size_t unitSize) {
    return Utf8Decoder(encoding, unitSize, std::string(kReplacement), kFileWriteError)
        .decode(bytes);
}

} // namespace

std::string decodeUserText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LittleMark)) {
        return decodeFrom(bytes.substr(kUtf16LittleMark.size()), "UTF-16LE", 2);
    }
    if (bytes.starts_with(kUtf16BigMark)) {
        return decodeFrom(bytes.substr(kUtf16BigMark.size()), "UTF-16BE", 2);
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return decodeFrom(bytes, "WINDOWS-1252", 1);
}

} // namespace vistrel
