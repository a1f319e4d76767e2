// SPDX-License-Identifier: MIT
#include "recording/recording_export.h"

#include "components/number_format.h"

namespace vistrel {
namespace {

// RFC 4180: a field holding a comma, a double quote or a line break goes
// between double quotes, its double quotes doubled.
std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::string csvTitle(const RecordingColumn& column) {
    return csvField(column.unit.empty() ? column.name : column.name + " (" + column.unit + ")");
}

// A tab or a line break would break the row apart.
std::string mslField(std::string_view text) {
    std::string field(text);
    for (char& c : field) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return field;
}

} // namespace

std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
    if (name == "csv") {
        return ExportFormat::Csv;
    }
    if (name == "msl") {
        return ExportFormat::Msl;
    }
    return std::nullopt;
}

void writeExport(const RecordingRun& run, const std::vector<ColumnRadix>& radixes,
                 ExportFormat format, std::ostream& out) {
    const bool csv = format == ExportFormat::Csv;
    const char separator = csv ? ',' : '\t';
    const char* const end = csv ? "\r\n" : "\n";
    if (csv) {
        out << "Time (s)";
        for (const RecordingColumn& column : run.columns) {
            out << separator << csvTitle(column);
        }
    } else {
        out << "Time";
        for (const RecordingColumn& column : run.columns) {
            out << separator << mslField(column.name);
        }
        out << end << 's';
        for (const RecordingColumn& column : run.columns) {
            out << separator << mslField(column.unit);
        }
    }
    out << end;
    for (std::size_t line = 0; line < run.lineCount(); ++line) {
        out << formatRoundTrip(run.times[line]);
        for (std::size_t column = 0; column < run.columns.size(); ++column) {
            // Values are numbers: they never need quoting.
            out << separator << portableValueText(run.cell(line, column), radixes[column].radix);
        }
        out << end;
    }
}

} // namespace vistrel
