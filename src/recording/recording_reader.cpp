// SPDX-License-Identifier: MIT
#include "recording/recording_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "recording/windows1252_decoder.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace vistrel {
namespace {

constexpr std::string_view kHeaderStart = "time";

class LineError {
public:
    explicit LineError(std::size_t lineNumber) : lineNumber_(lineNumber) {}
    [[noreturn]] void operator()(const std::string& what) const {
        throw Error(kRecordingFileError,
                    "Not a recording file: line " + std::to_string(lineNumber_) + ": " + what,
                    "parseRecording");
    }

private:
    std::size_t lineNumber_;
};

// "Name(unit)" or "Name" between double quotes.
RecordingColumn parseTitle(std::string_view title, const LineError& fail) {
    if (title.size() < 2 || title.front() != '"' || title.back() != '"') {
        fail("a column title is a name between double quotes, not " + std::string(title));
    }
    title = title.substr(1, title.size() - 2);
    const auto open = title.rfind('(');
    if (!title.empty() && title.back() == ')' && open != std::string_view::npos && open > 0) {
        return {std::string(title.substr(0, open)),
                std::string(title.substr(open + 1, title.size() - open - 2))};
    }
    return {std::string(title), {}};
}

// " 12.5", " .35", "-0.2": a space or a minus sign, then the seconds.
double parseTime(std::string_view text, const LineError& fail) {
    double seconds = 0;
    if (text.size() >= 2 && (text.front() == ' ' || text.front() == '-') && text[1] != '-' &&
        text[1] != '+') {
        const auto [end, failed] =
            std::from_chars(text.data() + 1, text.data() + text.size(), seconds);
        if (failed == std::errc{} && end == text.data() + text.size() &&
            text.find_first_not_of(" -0123456789.") == std::string_view::npos) {
            return text.front() == '-' ? -seconds : seconds;
        }
    }
    fail("the time column holds a number of seconds after a space or a minus sign, not \"" +
         std::string(text) + "\"");
}

template <typename Each> void forEachField(std::string_view line, Each each) {
    while (true) {
        const auto tab = line.find('\t');
        each(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return;
        }
        line.remove_prefix(tab + 1);
    }
}

void parseHeader(std::string_view line, RecordingRun& run, const LineError& fail) {
    bool first = true;
    forEachField(line, [&](std::string_view field) {
        if (first) {
            first = false;
            return;
        }
        run.columns.push_back(parseTitle(field, fail));
    });
}

void parseData(std::string_view line, RecordingRun& run, const LineError& fail) {
    std::size_t fields = 0;
    forEachField(line, [&](std::string_view field) {
        if (fields == 0) {
            run.times.push_back(parseTime(field, fail));
        } else if (fields <= run.columns.size()) {
            run.cells.emplace_back(field);
        }
        ++fields;
    });
    if (fields != run.columns.size() + 1) {
        fail("a data line holds the time and " + std::to_string(run.columns.size()) +
             " values, not " + std::to_string(fields - 1));
    }
}

bool isHeader(std::string_view line) {
    return line.substr(0, kHeaderStart.size()) == kHeaderStart &&
           (line.size() == kHeaderStart.size() || line[kHeaderStart.size()] == '\t');
}

} // namespace

std::vector<std::string_view> RecordingRun::columnCells(std::size_t column) const {
    std::vector<std::string_view> texts;
    texts.reserve(lineCount());
    for (std::size_t line = 0; line < lineCount(); ++line) {
        texts.push_back(cell(line, column));
    }
    return texts;
}

std::vector<ValueRadix> RecordingRun::radixes() const {
    std::vector<ValueRadix> result;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        result.push_back(guessRadix(columnCells(c)).radix);
    }
    return result;
}

std::vector<RecordingRun> parseRecording(std::string_view bytes) {
    Windows1252Decoder decoder;
    const std::string text = decoder.decode(bytes);
    std::string_view rest = text;
    std::vector<RecordingRun> runs;
    std::size_t lineNumber = 0;
    while (!rest.empty()) {
        ++lineNumber;
        const LineError fail(lineNumber);
        const auto end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        if (end == std::string_view::npos) {
            fail("the line does not end with CR LF (a recording cut short?)");
        }
        rest.remove_prefix(end + 2);
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            fail("a lone CR or LF inside the line");
        }
        if (isHeader(line)) {
            parseHeader(line, runs.emplace_back(), fail);
        } else if (runs.empty()) {
            fail("a recording starts with a header line \"time\" and the column titles");
        } else {
            parseData(line, runs.back(), fail);
        }
    }
    if (runs.empty()) {
        throw Error(kRecordingFileError, "Not a recording file: the file is empty",
                    "parseRecording");
    }
    return runs;
}

std::vector<RecordingRun> readRecordingFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        throw Error(kRecordingFileError, "Cannot read " + path, "readRecordingFile");
    }
    if (!file.is_open()) {
        throw Error(kRecordingFileError, "Cannot open " + path, "readRecordingFile");
    }
    return parseRecording(bytes);
}

const RecordingRun& recordingRun(const std::vector<RecordingRun>& runs, std::size_t number) {
    if (number < 1 || number > runs.size()) {
        throw Error(kRecordingFileError,
                    "The file holds " + std::to_string(runs.size()) +
                        " recording(s), not a number " + std::to_string(number),
                    "recordingRun");
    }
    return runs[number - 1];
}

} // namespace vistrel
