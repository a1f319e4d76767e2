#include "control/clipboard_lines.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/text_decoding.h"

namespace vistrel {

// Names and current values, one line per item, for a spreadsheet or a
// report. The values are the items' last read ones, not the grid's.
void VistrelControl::ClipboardCopy() {
    std::string text;
    for (const auto& item : state_->items) {
        text += item->name();
        text += '\t';
        text += item->text();
        text += "\r\n";
    }
    state_->clipboard.setText(text);
}

// Replaces the list by the item lines on the clipboard. A line the list
// refuses adds nothing and the next line is read.
void VistrelControl::ClipboardPaste() {
    State& s = *state_;
    s.timer.setTimerEnabled(false);
    const std::string text = decodeUserText(s.clipboard.text());
    s.items.clear();
    for (const std::string_view line : pastedLines(text)) {
        PendingError refused;
        refused.attempt([&] { s.items.addLine(line); });
    }
    RefreshFromList();
}

} // namespace vistrel
