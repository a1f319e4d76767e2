// SPDX-License-Identifier: MIT
#pragma once

#include "cli_process.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::testing {

inline const std::filesystem::path kExamples = VISTREL_EXAMPLES_DIR;

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

// The recordings the command wrote into dir.
inline std::vector<std::filesystem::path> recordingFiles(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with("vistrel_")) {
            files.push_back(entry.path());
        }
    }
    return files;
}

// A small ECU: a fixed identification, a refused area, a silent one.
inline std::string ecuDescription(std::string_view faults = "") {
    return "<ecu title=\"Bench\" subtitle=\"ECU\">"
           "<memory address=\"010000\">56 49 53</memory>"
           "<memory address=\"020000\">C0 FF</memory>"
           "<refuse address=\"020000\" length=\"2\" service=\"23\" nrc=\"22\"/>"
           "<memory address=\"030000\">00 00</memory>"
           "<silent address=\"030000\" length=\"2\"/>" +
           std::string(faults) + "</ecu>";
}

inline constexpr std::string_view kIdentLine = "010000\t3\tBE\tIdent\t\t1\t0\t1\tH\t1\r\n";
inline constexpr std::string_view kRefusedLine = "020000\t2\tBE\tLocked\t\t1\t0\t1\tH\t1\r\n";
inline constexpr std::string_view kSilentLine = "030000\t2\tBE\tAsleep\t\t1\t0\t1\tH\t1\r\n";

} // namespace vistrel::testing
