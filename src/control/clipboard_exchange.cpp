// SPDX-License-Identifier: MIT
#include "control/clipboard_lines.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/text_decoding.h"

namespace vistrel {

// Names and current values, one line per item, for a spreadsheet or a
// report. The values are the items' last read ones, not the grid's.
std::string VistrelControl::State::copyText() const {
    std::string text;
    for (const auto& item : items) {
        text += item->name();
        text += '\t';
        text += item->text();
        text += "\r\n";
    }
    return text;
}

// Replaces the list by the item lines of a text. A line the list refuses
// adds nothing and the next line is read; the result counts such lines.
PasteResult VistrelControl::State::pasteText(std::string_view pasted) {
    timer.setTimerEnabled(false);
    const std::string text = decodeUserText(pasted);
    items.clear();
    PasteResult result;
    const auto skip = [&result](std::string reason) {
        if (result.skippedLines++ == 0) {
            result.firstSkippedReason = std::move(reason);
        }
    };
    for (const std::string_view line : pastedLines(text)) {
        const std::int32_t before = items.count();
        VistrelItems::ItemPtr added;
        PendingError refused;
        refused.attempt([&] { added = items.addLine(line); });
        if (refused) {
            skip(refused.error().description());
        } else if (added && items.count() == before) {
            skip("the name " + added->name() + " is already in the list");
        } else if (!added && !line.empty() && !VistrelItems::isMethodLine(line)) {
            skip("not a selected item line: " + std::string(line.substr(0, 40)));
        }
    }
    RefreshFromList();
    listChanged = true;
    return result;
}

} // namespace vistrel
