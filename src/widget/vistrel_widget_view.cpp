// SPDX-License-Identifier: MIT
// The widget's side of the control's ports: what the control shows goes to
// the child controls, converted from twips where it carries a size.
#include "control/vistrel_control.h"
#include "widget/eliding_label.h"
#include "widget/grid_geometry.h"
#include "widget/grid_model.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QStatusBar>
#include <QTableView>
#include <algorithm>

namespace vistrel {

void VistrelWidget::setPanelText(std::string_view key, const std::string& text) {
    if (const auto panel = panels_.find(key); panel == panels_.end()) {
        return;
    } else if (key == panel::kCom && text.empty()) {
        // The idle cycle has a word too: an empty panel reads as a fault.
        panel->second->setTextAndTip(QStringLiteral("Stop"));
    } else {
        panel->second->setTextAndTip(QString::fromStdString(text));
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

void VistrelWidget::placeGrid() {
    QFont font = grid_->font();
    if (font.pointSize() != kGridFontSize) {
        font.setPointSize(kGridFontSize);
        grid_->setFont(font);
        grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    }
    const TwipScale scale = twips();
    const int heightTwips =
        gridHeightTwips(scale.toTwipsY(height()), scale.toTwipsY(statusBar_->sizeHint().height()));
    placeGridAndPlot(QRect(scale.toPixelsX(kGridLeftTwips), scale.toPixelsY(kGridTopTwips),
                           scale.toPixelsX(scale.toTwipsX(width())), scale.toPixelsY(heightTwips)));
}

void VistrelWidget::setGridColumns(const std::vector<GridColumn>& columns) {
    gridModel_->setColumns(columns);
    columnPercents_.clear();
    for (const GridColumn& column : columns) {
        columnPercents_.push_back(column.widthPercent);
    }
    placeGrid();
    GridSetColWidth();
}

void VistrelWidget::setGridRows(std::vector<GridRow> rows) {
    gridModel_->setRows(std::move(rows));
    // New content may not fit the columns that the last one did.
    GridSetColWidth();
    // Other items, other lines.
    setPlotRows({});
}

void VistrelWidget::setValueColumn(const std::vector<ValueCell>& values) {
    gridModel_->setValueColumn(values);
}

void VistrelWidget::setValuesStale(bool stale) {
    gridModel_->setValuesStale(stale);
}

void VistrelWidget::setMousePointer(MousePointer pointer) {
    if (pointer == MousePointer::Hourglass) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void VistrelWidget::wake() {
    // Called on the engine's thread: the events are shown on this one.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (control_) {
                control_->deliverEvents();
            }
        },
        Qt::QueuedConnection);
}

} // namespace vistrel
