// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/a2l_description.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vistrel {

// The bytes of a file, or nullopt when it cannot be read. Tests and the
// fuzzer hand in their own.
using A2lFileSource = std::function<std::optional<std::string>(const std::filesystem::path&)>;

A2lFileSource a2lFilesOnDisk();

// Reads a measurement description and the files it includes, each relative
// to the file that includes it. A file that is not valid UTF-8 is read as
// Latin-1. Throws Error kMeasurementFileError with "FILE:LINE: reason" for
// a syntax error (FILE being the file where it is) and "FILE: reason" for a
// file that cannot be read.
A2lDescription readA2l(const std::filesystem::path& path, const A2lFileSource& files);

} // namespace vistrel
