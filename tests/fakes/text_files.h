// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

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

// The pieces of a text cut at sep; a text ending with sep gives no last piece.
inline std::vector<std::string> splitText(std::string_view text, std::string_view sep) {
    std::vector<std::string> pieces;
    while (!text.empty()) {
        const auto end = text.find(sep);
        pieces.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + sep.size());
    }
    return pieces;
}

} // namespace vistrel::testing
