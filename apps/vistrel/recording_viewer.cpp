// SPDX-License-Identifier: MIT
#include "recording_viewer.h"

#include "widget/plot_pane.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <algorithm>

namespace vistrel {
namespace {

// More lines than this make a chart nobody can read; the rest, and the
// hexadecimal and binary columns (identifiers and bit fields more often
// than measures), can be picked by hand.
constexpr int kLinesAtFirst = 8;

} // namespace

RecordingViewer::RecordingViewer(RecordingRun run, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), run_(std::move(run)), chart_(chartOfRecording(run_)),
      picker_(new QListWidget), pane_(new PlotPane(PlotPane::Mode::Recording)),
      values_(new QTableWidget(static_cast<int>(run_.columns.size()), 3)) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    picker_->setObjectName(QStringLiteral("ItemPicker"));
    values_->setObjectName(QStringLiteral("CursorValues"));
    values_->setHorizontalHeaderLabels({QStringLiteral("Nom (Name)"),
                                        QStringLiteral("Valeur (Value)"),
                                        QStringLiteral("Unité (Unit)")});
    values_->verticalHeader()->hide();
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // A value is never cut: its column follows the widest value shown.
    values_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    values_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    const std::vector<ValueRadix>& radixes = chart_.radixes;
    int checked = 0;
    for (std::size_t c = 0; c < chart_.series.size(); ++c) {
        const PlotSeries& s = chart_.series[c];
        auto* item = new QListWidgetItem(s.name, picker_);
        const bool measure = radixes[c] == ValueRadix::Decimal && checked < kLinesAtFirst;
        checked += measure ? 1 : 0;
        item->setCheckState(measure ? Qt::Checked : Qt::Unchecked);
        item->setForeground(s.colour);
        const int row = static_cast<int>(c);
        values_->setItem(row, 0, new QTableWidgetItem(s.name));
        values_->setItem(row, 1, new QTableWidgetItem);
        values_->setItem(row, 2, new QTableWidgetItem(s.unit));
    }
    connect(picker_, &QListWidget::itemChanged, this, &RecordingViewer::pickedChanged);
    connect(&pane_->chart(), &StripChartView::cursorMoved, this, &RecordingViewer::showValuesAt);

    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(pane_);
    right->addWidget(values_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);
    // Every name in the picker shows whole; the window grows to hold it
    // beside the plot's tool row rather than cutting either.
    picker_->setMinimumWidth(picker_->sizeHintForColumn(0) + 2 * picker_->frameWidth() +
                             picker_->verticalScrollBar()->sizeHint().width());
    auto* split = new QSplitter(Qt::Horizontal);
    split->setChildrenCollapsible(false);
    split->addWidget(picker_);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);
    resize(std::max(1100, minimumSizeHint().width()), 700);
    pickedChanged();
    // The cursor starts in the middle, where it is seen and easily moved.
    if (const SeriesStore& store = *chart_.store; !store.empty()) {
        pane_->chart().setCursorTime((store.time(0) + store.time(store.size() - 1)) / 2);
    }
}

void RecordingViewer::pickedChanged() {
    std::vector<PlotSeries> picked;
    for (int row = 0; row < picker_->count(); ++row) {
        if (picker_->item(row)->checkState() == Qt::Checked) {
            picked.push_back(chart_.series[static_cast<std::size_t>(row)]);
        }
    }
    pane_->setSeries(chart_.store, std::move(picked));
}

void RecordingViewer::showValuesAt(double time) {
    const auto line = chart_.store->lastAtOrBefore(time);
    for (std::size_t c = 0; c < run_.columns.size(); ++c) {
        values_->item(static_cast<int>(c), 1)
            ->setText(line ? QString::fromStdString(std::string(run_.cell(*line, c))) : QString());
    }
}

} // namespace vistrel
