// SPDX-License-Identifier: MIT
// What one read costs on screen: the value column of a thousand rows
// rewritten, then drawn, on the offscreen platform.
#include "control/grid_columns.h"
#include "widget/grid_model.h"
#include "widget/vistrel_widget.h"

#include <QApplication>
#include <QTableView>
#include <array>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

constexpr int kRows = 1000;

// The real widget with a thousand item rows; the bench drives the grid's
// model as the control does after each read.
// Counts the grid's paint events, so the figures show that each update was
// drawn.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

struct ShownGrid {
    ShownGrid() {
        widget.resize(1100, 460);
        widget.show();
        grid = widget.findChild<QTableView*>(QStringLiteral("gridRun"));
        model = qobject_cast<GridModel*>(grid->model());
        model->setColumns(gridColumns());
        std::vector<GridRow> rows(kRows);
        for (int r = 0; r < kRows; ++r) {
            rows[static_cast<std::size_t>(r)] = {
                "Item " + std::to_string(r), "", "V", "01A000", "2", "Decimal", "FFFF"};
        }
        model->setRows(std::move(rows));
        for (int round = 0; round < 2; ++round) {
            for (int r = 0; r < kRows; ++r) {
                values[round].push_back(
                    {std::to_string(r * 7 + round) + "." + std::to_string(round + 1)});
            }
        }
        QApplication::processEvents();
        grid->viewport()->installEventFilter(&counter);
    }

    void report(benchmark::State& state) {
        state.SetItemsProcessed(state.iterations() * kRows);
        state.counters["paints_per_update"] =
            static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
        counter.paints = 0;
    }

    VistrelWidget widget;
    PaintCounter counter;
    QTableView* grid = nullptr;
    GridModel* model = nullptr;
    std::array<std::vector<ValueCell>, 2> values;
};

// Made in main, between the application's start and its end.
ShownGrid* shownGrid = nullptr;

namespace {

// The model update and the repaint that the event loop then does.
void BM_ValueColumnUpdateAndRepaint(benchmark::State& state) {
    ShownGrid& shown = *shownGrid;
    std::size_t round = 0;
    for (auto _ : state) {
        shown.model->setValueColumn(shown.values[round ^= 1]);
        QApplication::processEvents();
    }
    shown.report(state);
}
BENCHMARK(BM_ValueColumnUpdateAndRepaint)->Unit(benchmark::kMicrosecond);

// The same with the whole visible grid drawn at once.
void BM_ValueColumnUpdateAndFullRepaint(benchmark::State& state) {
    ShownGrid& shown = *shownGrid;
    std::size_t round = 0;
    for (auto _ : state) {
        shown.model->setValueColumn(shown.values[round ^= 1]);
        shown.grid->viewport()->repaint();
    }
    shown.report(state);
}
BENCHMARK(BM_ValueColumnUpdateAndFullRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vistrel

int main(int argc, char** argv) {
    // Painting needs a platform; the bench needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    vistrel::ShownGrid grid;
    vistrel::shownGrid = &grid;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
