// SPDX-License-Identifier: MIT
#pragma once

#include <array>

namespace vistrel::config_file {

// Names of the configuration file's tree, shared by the writer and the
// reader so that the two never drift apart.
inline constexpr const char* kRoot = "Vistrel";
inline constexpr const char* kVersion = "Version";
inline constexpr const char* kVersionWritten = "1,0";
inline constexpr const char* kMethod = "Method";
inline constexpr const char* kLengthSize = "LengthSize";
inline constexpr const char* kStartSession = "StartSession";
// Written only when it is not the default, so that a list of the other
// methods keeps the file it always had.
inline constexpr const char* kMergeWindow = "mergeWindow";
// The merge window's value that leaves it to the link; a file without the
// element means the same.
inline constexpr const char* kAutoMergeWindowText = "auto";
inline constexpr const char* kDatas = "Datas";
inline constexpr const char* kData = "Data";

// The elements of one "Data", in the order they are written.
enum DataField { kAddress, kLength, kType, kName, kUnit, kA, kB, kC, kFormat, kMask, kDataFields };
inline constexpr std::array<const char*, kDataFields> kDataNames{
    "address", "length", "type", "name", "unit", "A", "B", "C", "format", "mask"};

} // namespace vistrel::config_file
