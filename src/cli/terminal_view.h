// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vistrel::cli {

// The control's visible surface kept in memory: what a window would show,
// for the terminal renderer to draw and for the commands to inspect.
class TerminalView : public ViewPort {
public:
    const std::string& panelText(std::string_view key) const;
    const std::string& protocolCaption() const noexcept { return caption_; }
    const std::vector<std::string>& methods() const noexcept { return methods_; }
    const std::string& methodText() const noexcept { return methodText_; }
    std::string lengthSizeText() const;
    const std::string& sessionText() const noexcept { return sessionText_; }
    const std::vector<GridColumn>& gridColumns() const noexcept { return columns_; }
    const std::vector<GridRow>& gridRows() const noexcept { return rows_; }
    // Whether the row's value cell holds the error of its read.
    bool valueFailed(std::size_t row) const { return row < failed_.size() && failed_[row]; }

    // --- ViewPort -----------------------------------------------------------
    void setPanelText(std::string_view key, const std::string& text) override;
    void setButtonEnabled(std::string_view /*key*/, bool /*enabled*/) override {}
    void setButtonPressed(std::string_view /*key*/, bool /*pressed*/) override {}
    void clearMethods() override;
    void addMethod(const std::string& label) override;
    void setMethodText(const std::string& label) override { methodText_ = label; }
    void setMethodEnabled(bool enabled) override { methodEnabled_ = enabled; }
    void addLengthSize(const std::string& label, int data) override;
    void selectLengthSize(int index) override;
    void setSessionText(const std::string& text) override { sessionText_ = text; }
    void setProtocolCaption(const std::string& caption) override { caption_ = caption; }
    void setGridColumns(const std::vector<GridColumn>& columns) override;
    void setGridRows(std::vector<GridRow> rows) override;
    void setValueColumn(const std::vector<ValueCell>& values) override;
    void setValuesStale(bool stale) override { valuesStale_ = stale; }
    bool valuesStale() const noexcept { return valuesStale_; }
    void setMousePointer(MousePointer /*pointer*/) override {}

private:
    std::map<std::string, std::string, std::less<>> panels_;
    std::vector<std::string> methods_;
    std::string methodText_;
    bool methodEnabled_ = true;
    std::vector<std::pair<std::string, int>> lengthSizes_;
    int selectedLengthSize_ = -1;
    std::string sessionText_;
    std::string caption_;
    std::vector<GridColumn> columns_;
    std::vector<GridRow> rows_;
    std::vector<bool> failed_;
    bool valuesStale_ = false;
};

} // namespace vistrel::cli
