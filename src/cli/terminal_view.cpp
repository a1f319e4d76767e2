// SPDX-License-Identifier: MIT
#include "cli/terminal_view.h"

#include <algorithm>

namespace vistrel::cli {
namespace {

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

void TerminalView::setGridColumns(const std::vector<GridColumn>& columns) {
    columns_ = columns;
}

void TerminalView::setGridRows(std::vector<GridRow> rows) {
    rows_ = std::move(rows);
    if (rows_.empty()) {
        rows_.emplace_back();
    }
    failed_.assign(rows_.size(), false);
}

void TerminalView::setValueColumn(const std::vector<ValueCell>& values) {
    const std::size_t n = std::min(values.size(), rows_.size());
    for (std::size_t r = 0; r < n; ++r) {
        rows_[r][1] = values[r].text;
        failed_[r] = values[r].failed;
    }
}

} // namespace vistrel::cli
