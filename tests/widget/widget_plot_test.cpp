// SPDX-License-Identifier: MIT
#include "plot/strip_chart_view.h"
#include "widget_fixture.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>

namespace vistrel::testing {
namespace {

TEST_F(WidgetTest, ThePlotPaneIsOffUntilAskedThenDrawsTheSelectedRowsFromGoodReads) {
    handOverProtocol("6342");
    paste(kTwoItemLines);
    EXPECT_EQ(widget.findChild<StripChartView*>(), nullptr);
    // At the design width the plot's tool row is full.
    widget.resize(widget.sizeHint().width(), 500);
    const int fullHeight = grid().height();

    grid().selectionModel()->select(model().index(1, 0), QItemSelectionModel::Select);
    grid().selectionModel()->select(model().index(0, 2), QItemSelectionModel::Select);
    child<QAction>("PlotSelection").trigger();
    auto& chart = child<StripChartView>("StripChart");
    ASSERT_EQ(chart.series().size(), 2U);
    EXPECT_EQ(chart.series()[1].name, "Flags");
    EXPECT_LT(grid().height(), fullHeight);
    // The range fields keep their hints whole.
    for (const char* name : {"PlotMinimum", "PlotMaximum"}) {
        const auto& edit = child<QLineEdit>(name);
        // The frame and the text margins (2 px a side) come on top of the text.
        EXPECT_GE(edit.width(), edit.fontMetrics().horizontalAdvance(edit.placeholderText()) + 8)
            << name << " cuts its hint";
    }

    button("Start").trigger();
    ASSERT_TRUE(waitFor([&] { return chart.store()->size() >= 3; }));
    // Speed in decimal, Flags in hexadecimal masked to 02: both as numbers.
    EXPECT_EQ(chart.store()->values(2)[0], 66);
    EXPECT_EQ(chart.store()->values(2)[1], 2);

    // The host's toggle and the pane's own are one.
    widget.setPlotLanes(true);
    EXPECT_TRUE(chart.frame().lanes);
    child<QCheckBox>("PlotLanes").setChecked(false);
    EXPECT_FALSE(widget.plotLanes());
    EXPECT_FALSE(chart.frame().lanes);

    child<QAction>("ShowPlot").trigger();
    EXPECT_FALSE(widget.plotVisible());
    EXPECT_EQ(grid().height(), fullHeight);
}

} // namespace
} // namespace vistrel::testing
