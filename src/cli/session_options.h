// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace vistrel::cli {

// The options that every command hosting the control shares: the ECU, the
// list, and the user's choices in the setting boxes before Start.
struct SessionOptions {
    // The link string of the ECU: the built-in demo ECU unless told.
    std::string link = "sim";
    // A configuration file, opened the way the Open button does.
    std::optional<std::string> configFile;
    // A file of item lines, pasted the way the Paste button does; the
    // built-in demo items when neither list file is given.
    std::optional<std::string> itemsFile;
    std::optional<std::string> method;
    // How far apart the items that the merged method reads together may lie.
    std::optional<int> mergeWindow;
    std::optional<int> lengthSize;
    std::optional<std::string> session;
};

} // namespace vistrel::cli
