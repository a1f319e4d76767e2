// SPDX-License-Identifier: MIT
// The widget's side of the control's ports: what the control shows goes to
// the child controls, converted from twips where it carries a size.
#include "widget/grid_model.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>

namespace vistrel {

void VistrelWidget::setPanelText(std::string_view key, const std::string& text) {
    if (const auto panel = panels_.find(key); panel != panels_.end()) {
        panel->second->setText(QString::fromStdString(text));
    }
}

void VistrelWidget::setButtonEnabled(std::string_view key, bool enabled) {
    if (const auto action = buttons_.find(key); action != buttons_.end()) {
        action->second->setEnabled(enabled);
    }
}

void VistrelWidget::setButtonPressed(std::string_view key, bool pressed) {
    if (const auto action = buttons_.find(key); action != buttons_.end()) {
        action->second->setChecked(pressed);
    }
}

void VistrelWidget::clearMethods() {
    methodBox_->clear();
}

void VistrelWidget::addMethod(const std::string& label) {
    methodBox_->addItem(QString::fromStdString(label));
}

void VistrelWidget::setMethodText(const std::string& label) {
    methodBox_->setCurrentText(QString::fromStdString(label));
}

void VistrelWidget::setMethodEnabled(bool enabled) {
    methodBox_->setEnabled(enabled);
}

void VistrelWidget::addLengthSize(const std::string& label, int data) {
    lengthSizeBox_->addItem(QString::fromStdString(label), data);
}

void VistrelWidget::selectLengthSize(int index) {
    lengthSizeBox_->setCurrentIndex(index);
}

void VistrelWidget::setSessionText(const std::string& text) {
    sessionEdit_->setText(QString::fromStdString(text));
    layoutChildControls();
}

void VistrelWidget::setProtocolCaption(const std::string& caption) {
    protocolCaption_->setText(QString::fromStdString(caption));
    layoutChildControls();
}

int VistrelWidget::innerWidth() const {
    return twips().toTwipsX(width());
}

int VistrelWidget::innerHeight() const {
    return twips().toTwipsY(height());
}

int VistrelWidget::statusBarHeight() const {
    return twips().toTwipsY(statusBar_->sizeHint().height());
}

void VistrelWidget::placeGrid(const Rect& place, int fontSize) {
    QFont font = grid_->font();
    if (font.pointSize() != fontSize) {
        font.setPointSize(fontSize);
        grid_->setFont(font);
        grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    }
    const TwipScale scale = twips();
    // A control too small for the grid leaves it without height rather than
    // with a negative one.
    placeGridAndPlot(QRect(scale.toPixelsX(place.left), scale.toPixelsY(place.top),
                           scale.toPixelsX(place.width),
                           std::max(0, scale.toPixelsY(place.height))));
}

int VistrelWidget::gridWidth() const {
    return twips().toTwipsX(grid_->width());
}

void VistrelWidget::setGridColumns(const std::vector<GridColumn>& columns) {
    gridModel_->setColumns(columns);
}

void VistrelWidget::setColumnWidth(int column, int width) {
    grid_->setColumnWidth(column, twips().toPixelsX(width));
}

void VistrelWidget::setGridRows(std::vector<GridRow> rows) {
    gridModel_->setRows(std::move(rows));
    // Other items, other lines.
    setPlotRows({});
}

void VistrelWidget::setValueColumn(const std::vector<std::string>& values) {
    gridModel_->setValueColumn(values);
    feedPlot(values);
}

void VistrelWidget::setMousePointer(MousePointer pointer) {
    if (pointer == MousePointer::Hourglass) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void VistrelWidget::setTimerEnabled(bool enabled) {
    if (enabled) {
        baseTemps_->start();
    } else {
        baseTemps_->stop();
    }
}

} // namespace vistrel
