// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace vistrel {

// What a use case of the control did: number 0 and no text when it did what
// it says, otherwise the number and text of the failure, the text being what
// a message box would show.
struct CommandResult {
    std::int32_t number = 0;
    std::string text;

    bool ok() const noexcept { return number == 0; }
};

// A paste, with the candidate lines that gave no item (a method line and an
// empty line are no such lines).
struct PasteResult : CommandResult {
    std::int32_t skippedLines = 0;
    // Why the first skipped line gave no item; "" when none was skipped.
    std::string firstSkippedReason;
};

} // namespace vistrel
