// SPDX-License-Identifier: MIT
#pragma once

#include "recording/column_radix.h"

#include <ostream>
#include <string_view>

namespace vistrel {

// File types that log viewers open. Both are UTF-8 with full stops as
// decimal separators; a cell whose read failed is left empty.
enum class ExportFormat {
    // Comma-separated (RFC 4180 quoting, CR LF): "Time (s)", then
    // "Name (unit)" per column, the titles that plotting tools recognise.
    Csv,
    // Tab-separated: a row of names ("Time" first), a row of units, the data.
    Msl,
};

// nullopt for a name other than "csv" or "msl".
std::optional<ExportFormat> exportFormatNamed(std::string_view name);

// Writes the run with each column's values read in its radix (one per
// column, see columnRadixes).
void writeExport(const RecordingRun& run, const std::vector<ColumnRadix>& radixes,
                 ExportFormat format, std::ostream& out);

} // namespace vistrel
