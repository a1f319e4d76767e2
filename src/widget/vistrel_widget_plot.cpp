// SPDX-License-Identifier: MIT
// The widget's plot pane: which items it draws and the reads it is fed.
#include "control/system_platform.h"
#include "control/vistrel_control.h"
#include "item/vistrel_item.h"
#include "widget/plot_pane.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

namespace vistrel {
namespace {

// Enough reads for ten minutes at 400 reads a second.
constexpr std::size_t kLiveReads = 240'000;

} // namespace

void VistrelWidget::createPlotActions() {
    // The grid's context menu; the tool bar keeps its documented buttons.
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* plotSelection =
        new QAction(QStringLiteral("Tracer la sélection (Plot selection)"), grid_);
    plotSelection->setObjectName(QStringLiteral("PlotSelection"));
    connect(plotSelection, &QAction::triggered, this, &VistrelWidget::plotSelectedRows);
    auto* showPlot = new QAction(QStringLiteral("Graphique (Plot)"), grid_);
    showPlot->setObjectName(QStringLiteral("ShowPlot"));
    showPlot->setCheckable(true);
    connect(showPlot, &QAction::toggled, this, &VistrelWidget::setPlotVisible);
    grid_->addAction(plotSelection);
    grid_->addAction(showPlot);
}

bool VistrelWidget::plotVisible() const {
    return plotPane_ != nullptr && !plotPane_->isHidden();
}

void VistrelWidget::setPlotVisible(bool visible) {
    if (visible && !plotPane_) {
        plotPane_ = new PlotPane(PlotPane::Mode::Live, this);
        plotPane_->setLanes(plotLanes_);
        connect(plotPane_, &PlotPane::lanesChanged, this, [this](bool lanes) {
            plotLanes_ = lanes;
            emit plotLanesChanged(lanes);
        });
        setPlotRows(plotRows_);
    }
    if (plotPane_) {
        plotPane_->setVisible(visible);
    }
    if (auto* action = grid_->findChild<QAction*>(QStringLiteral("ShowPlot"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(visible);
    }
    placeGridAndPlot(gridArea_);
}

void VistrelWidget::setPlotLanes(bool lanes) {
    plotLanes_ = lanes;
    if (plotPane_) {
        plotPane_->setLanes(lanes);
    }
}

void VistrelWidget::setPlotRows(std::vector<int> rows) {
    const int count = control_->items().count();
    std::erase_if(rows, [count](int row) { return row < 0 || row >= count; });
    plotRows_ = std::move(rows);
    if (!plotPane_) {
        return;
    }
    std::vector<PlotSeries> series;
    for (std::size_t i = 0; i < plotRows_.size(); ++i) {
        const VistrelItem& item = **(control_->items().begin() + plotRows_[i]);
        series.push_back({i,
                          QString::fromStdString(item.name()),
                          QString::fromStdString(item.unit()),
                          StripChart::colour(i),
                          {},
                          {}});
    }
    plotStore_ = std::make_shared<SeriesStore>(plotRows_.size(), kLiveReads);
    plotStart_ = platform_->milliseconds();
    plotPane_->setSeries(plotStore_, std::move(series));
}

void VistrelWidget::plotSelectedRows() {
    std::vector<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    setPlotVisible(true);
    setPlotRows(std::move(rows));
}

void VistrelWidget::plotItems(const std::vector<std::string>& names) {
    std::vector<int> rows;
    for (const std::string& name : names) {
        int row = 0;
        for (const auto& item : control_->items()) {
            if (item->name() == name) {
                rows.push_back(row);
                break;
            }
            ++row;
        }
    }
    setPlotVisible(true);
    setPlotRows(std::move(rows));
}

void VistrelWidget::setRecordingTrigger(std::optional<RecordingTrigger> trigger) {
    control_->setRecordingTrigger(std::move(trigger));
}

void VistrelWidget::placeGridAndPlot(const QRect& area) {
    gridArea_ = area;
    if (!plotVisible()) {
        grid_->setGeometry(area);
        return;
    }
    const int gridHeight = area.height() * 2 / 5;
    grid_->setGeometry(area.left(), area.top(), area.width(), gridHeight);
    plotPane_->setGeometry(area.left(), area.top() + gridHeight, area.width(),
                           area.height() - gridHeight);
}

void VistrelWidget::feedPlot(const EngineEvent& event) {
    if (!plotStore_ || plotRows_.empty()) {
        return;
    }
    const bool good = event.outcome.kind == StepOutcome::Kind::GoodRead && event.read;
    if (event.outcome.kind == StepOutcome::Kind::Unanswered) {
        plotPane_->chart().setStale(true);
        return;
    }
    if (!good && event.outcome.kind != StepOutcome::Kind::Failed) {
        return;
    }
    plotPane_->chart().setStale(!good);
    std::vector<float> sample;
    sample.reserve(plotRows_.size());
    // A failed step leaves a gap, not a zero.
    for (const int row : plotRows_) {
        const auto index = static_cast<std::size_t>(row);
        const std::optional<double> value = good && index < event.read->items.size()
                                                ? event.read->items[index].number
                                                : std::nullopt;
        sample.push_back(value ? static_cast<float>(*value) : SeriesStore::kGap);
    }
    plotStore_->append(static_cast<std::int32_t>(event.time - plotStart_) / 1000.0, sample);
    plotPane_->chart().refresh();
}

} // namespace vistrel
