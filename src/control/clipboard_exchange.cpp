// SPDX-License-Identifier: MIT
#include "control/clipboard_lines.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/text_decoding.h"

namespace vistrel {
namespace {

// Whether the line's first field is a hexadecimal address.
bool startsWithHexField(std::string_view line) {
    const std::string_view field = line.substr(0, line.find('\t'));
    return !field.empty() && field.find_first_not_of("0123456789abcdefABCDEF") == field.npos;
}

} // namespace

// Names and current values, one line per item, for a spreadsheet or a
// report: the values of the last good read, "Not supported" before one.
std::string VistrelControl::State::copyText() const {
    std::string text;
    std::size_t row = 0;
    for (const auto& item : *items) {
        text += item->name();
        text += '\t';
        text += row < values.size() ? values[row].text : item->text();
        text += "\r\n";
        ++row;
    }
    return text;
}

// The list that the item lines of a text make, with the current settings
// unless the text has a method line. A line the list refuses adds nothing
// and the next line is read; result counts such lines.
std::unique_ptr<VistrelItems> VistrelControl::State::pastedList(std::string_view pasted,
                                                                PasteResult& result) const {
    const std::string text = decodeUserText(pasted);
    auto pastedList = items->copy();
    pastedList->clear();
    VistrelItems& list = *pastedList;
    bool firstLine = true;
    const auto skip = [&result](std::string reason) {
        if (result.skippedLines++ == 0) {
            result.firstSkippedReason = std::move(reason);
        }
    };
    for (const std::string_view line : pastedLines(text)) {
        const std::int32_t before = list.count();
        VistrelItems::ItemPtr added;
        PendingError refused;
        refused.attempt([&] { added = list.addLine(line); });
        // A spreadsheet's header row names the columns: no item, no fault.
        const bool headerRow = firstLine && (refused || !added) && !startsWithHexField(line) &&
                               !VistrelItems::isMethodLine(line);
        firstLine = firstLine && line.empty();
        if (headerRow) {
            continue;
        }
        if (refused) {
            skip(refused.error().description());
        } else if (added && list.count() == before) {
            skip("the name " + added->name() + " is already in the list");
        } else if (!added && !line.empty() && !VistrelItems::isMethodLine(line)) {
            skip("not a selected item line: " + std::string(line.substr(0, 40)));
        }
    }
    return pastedList;
}

bool VistrelControl::State::clipboardHoldsItemLines() const {
    PasteResult ignored;
    return clipboard != nullptr && pastedList(clipboard->text(), ignored)->count() > 0;
}

// Replaces the list by the item lines of a text. A text without a single
// item line keeps the list: a wrong clipboard must not cost the user the
// table.
PasteResult VistrelControl::State::pasteText(std::string_view pasted) {
    PasteResult result;
    auto list = pastedList(pasted, result);
    if (list->count() == 0) {
        result.number = kNoItemLines;
        result.text = kNoItemLinesText;
        return result;
    }
    items = std::move(list);
    refreshFromList();
    listReplaced();
    listChanged = true;
    return result;
}

} // namespace vistrel
