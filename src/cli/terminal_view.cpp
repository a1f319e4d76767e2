#include "cli/terminal_view.h"

#include <algorithm>

namespace vistrel::cli {
namespace {

// A window of the size of the control's design layout: the row of setting
// fields ends near 10500 twips. Nothing in the terminal depends on it beyond
// giving the control's layout rules sensible numbers.
constexpr int kInnerWidth = 10500;
constexpr int kInnerHeight = 6000;
constexpr int kStatusBarHeight = 375;

const std::string kNoText;

} // namespace

TerminalView::TerminalView() {
    // The design-time tool bar: every button usable, "Stop" pressed.
    button(button::kStop).pressed = true;
}

TerminalView::Button& TerminalView::button(std::string_view key) {
    auto found = buttons_.find(key);
    if (found == buttons_.end()) {
        found = buttons_.emplace(std::string(key), Button{}).first;
    }
    return found->second;
}

bool TerminalView::click(std::string_view key) {
    Button& clicked = button(key);
    if (!clicked.enabled) {
        return false;
    }
    if (key == button::kRec) {
        clicked.pressed = !clicked.pressed;
    } else if (key == button::kStart || key == button::kStop) {
        button(button::kStart).pressed = key == button::kStart;
        button(button::kStop).pressed = key == button::kStop;
    }
    return true;
}

bool TerminalView::buttonEnabled(std::string_view key) const {
    const auto found = buttons_.find(key);
    return found == buttons_.end() || found->second.enabled;
}

bool TerminalView::chooseMethod(const std::string& label) {
    if (!methodEnabled_ || std::find(methods_.begin(), methods_.end(), label) == methods_.end()) {
        return false;
    }
    methodText_ = label;
    return true;
}

bool TerminalView::chooseLengthSize(int data) {
    const auto found = std::find_if(lengthSizes_.begin(), lengthSizes_.end(),
                                    [data](const auto& entry) { return entry.second == data; });
    if (found == lengthSizes_.end()) {
        return false;
    }
    selectedLengthSize_ = static_cast<int>(found - lengthSizes_.begin());
    return true;
}

const std::string& TerminalView::panelText(std::string_view key) const {
    const auto found = panels_.find(key);
    return found == panels_.end() ? kNoText : found->second;
}

std::string TerminalView::lengthSizeText() const {
    return selectedLengthSize_ < 0 ? std::string() : lengthSizes_.at(selectedLengthSize_).first;
}

void TerminalView::setPanelText(std::string_view key, const std::string& text) {
    panels_.insert_or_assign(std::string(key), text);
}

void TerminalView::setButtonEnabled(std::string_view key, bool enabled) {
    button(key).enabled = enabled;
}

void TerminalView::setButtonPressed(std::string_view key, bool pressed) {
    button(key).pressed = pressed;
}

bool TerminalView::buttonPressed(std::string_view key) const {
    const auto found = buttons_.find(key);
    return found != buttons_.end() && found->second.pressed;
}

void TerminalView::clearMethods() {
    methods_.clear();
    methodText_.clear();
}

void TerminalView::addMethod(const std::string& label) {
    methods_.push_back(label);
}

void TerminalView::addLengthSize(const std::string& label, int data) {
    lengthSizes_.emplace_back(label, data);
}

int TerminalView::lengthSizeCount() const {
    return static_cast<int>(lengthSizes_.size());
}

int TerminalView::lengthSizeData(int index) const {
    return lengthSizes_.at(index).second;
}

void TerminalView::selectLengthSize(int index) {
    if (index >= 0 && index < lengthSizeCount()) {
        selectedLengthSize_ = index;
    }
}

int TerminalView::selectedLengthSize() const {
    return selectedLengthSize_ < 0 ? 0 : lengthSizes_.at(selectedLengthSize_).second;
}

int TerminalView::innerWidth() const {
    return kInnerWidth;
}

int TerminalView::innerHeight() const {
    return kInnerHeight;
}

int TerminalView::statusBarHeight() const {
    return kStatusBarHeight;
}

void TerminalView::placeGrid(const Rect& place, int /*fontSize*/) {
    gridPlace_ = place;
}

void TerminalView::setGridColumns(const std::vector<GridColumn>& columns) {
    columns_ = columns;
}

// The terminal sizes its columns by their content; widths in twips have no
// meaning there.
void TerminalView::setColumnWidth(int /*column*/, int /*width*/) {}

void TerminalView::setGridRows(std::vector<GridRow> rows) {
    rows_ = std::move(rows);
    if (rows_.empty()) {
        rows_.emplace_back();
    }
}

void TerminalView::setValueColumn(const std::vector<std::string>& values) {
    const std::size_t n = std::min(values.size(), rows_.size());
    for (std::size_t r = 0; r < n; ++r) {
        rows_[r][1] = values[r];
    }
}

} // namespace vistrel::cli
