// SPDX-License-Identifier: MIT
#pragma once

#include "recording/value_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

struct RecordingColumn {
    std::string name;
    std::string unit;
};

// One recording: the lines from one header line to the next (a file that
// was continued holds several). Texts are UTF-8.
struct RecordingRun {
    std::vector<RecordingColumn> columns;
    // Seconds from the start of the recording, one per data line.
    std::vector<double> times;
    // The value texts, line by line: columns.size() per data line.
    std::vector<std::string> cells;

    std::size_t lineCount() const noexcept { return times.size(); }
    std::string_view cell(std::size_t line, std::size_t column) const {
        return cells[line * columns.size() + column];
    }
    // One column's value texts, line by line.
    std::vector<std::string_view> columnCells(std::size_t column) const;
    // How each column's texts are to be read as numbers, as guessed from
    // the texts.
    std::vector<ValueRadix> radixes() const;
};

// Reads the bytes of a recording file: windows-1252 text, lines ending with
// CR LF, a header line "time" followed by the quoted column titles, data
// lines of a time and one text per column. Anything else throws Error with
// the number of the offending line.
std::vector<RecordingRun> parseRecording(std::string_view bytes);

// The same from a file; throws Error when it cannot be read.
std::vector<RecordingRun> readRecordingFile(const std::string& path);

// The run with the given number, counted from 1; throws Error for a number
// the file does not hold.
const RecordingRun& recordingRun(const std::vector<RecordingRun>& runs, std::size_t number);

} // namespace vistrel
