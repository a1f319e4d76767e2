// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vistrel::testing {

// The bytes of a file; "" for one that cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// UTF-8 text of one- and two-byte characters as UTF-16LE with its mark, as
// spreadsheets and editors save it.
inline std::string utf16le(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned char>(text[i]);
        if (c >= 0xC0) {
            c = ((c & 0x1FU) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3FU);
        }
        out += static_cast<char>(c & 0xFFU);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

inline void writeFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

} // namespace vistrel::testing
