// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vistrel {

// Turns text in an encoding that iconv knows ("WINDOWS-1252", "UTF-16LE")
// into UTF-8. A unit of unitSize bytes that the encoding leaves undefined, or
// one cut short at the end, becomes the stand-in text instead of stopping the
// conversion. One decoder keeps its iconv descriptor for every text.
class Utf8Decoder {
public:
    // Throws Error errorNumber when the system offers no such conversion.
    Utf8Decoder(const char* encoding, std::size_t unitSize, std::string standIn,
                std::int32_t errorNumber);
    ~Utf8Decoder();
    Utf8Decoder(const Utf8Decoder&) = delete;
    Utf8Decoder& operator=(const Utf8Decoder&) = delete;

    std::string decode(std::string_view bytes);

private:
    void* descriptor_;
    std::size_t unitSize_;
    std::string standIn_;
};

} // namespace vistrel
