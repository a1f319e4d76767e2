// SPDX-License-Identifier: MIT
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

void TerminalView::selectLengthSize(int index) {
    if (index >= 0 && index < static_cast<int>(lengthSizes_.size())) {
        selectedLengthSize_ = index;
    }
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
