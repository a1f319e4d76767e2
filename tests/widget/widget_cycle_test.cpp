// SPDX-License-Identifier: MIT
#include "widget_fixture.h"

#include <QComboBox>

namespace vistrel::testing {
namespace {

TEST_F(WidgetTest, PasteThroughTheClipboardFillsTheGrid) {
    handOverProtocol();
    paste(kTwoItemLines);

    ASSERT_EQ(model().rowCount(), 2);
    const char* const first[] = {"Speed", "", "km/h", "0A1F20", "1", "Decimal"};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(cell(1, column), first[column]) << column;
    }
    EXPECT_EQ(cell(2, 0), "Flags");
    EXPECT_EQ(cell(2, 5), "Hexadecimal");
    EXPECT_EQ(cell(2, 6), "0F");
    EXPECT_TRUE(button("Start").isEnabled());
}

TEST_F(WidgetTest, StartShowsValuesAndStopReturnsToIdle) {
    auto protocol = handOverProtocol("6342");
    paste(kTwoItemLines);

    button("Start").trigger();
    EXPECT_TRUE(button("Start").isChecked());
    EXPECT_FALSE(button("Stop").isChecked());
    EXPECT_FALSE(button("Paste").isEnabled());
    EXPECT_FALSE(child<QComboBox>("cb_methode").isEnabled());

    ASSERT_TRUE(waitFor([&] { return cell(1, 1) == "66"; }));
    EXPECT_EQ(cell(2, 1), "02");
    EXPECT_EQ(panelText("Com"), "Com");
    EXPECT_NE(panelText("Run"), "");

    button("Stop").trigger();
    EXPECT_TRUE(button("Stop").isChecked());
    ASSERT_TRUE(waitFor([&] { return panelText("Com") == "Stop"; }))
        << "the idle phase has its word";
    EXPECT_EQ(protocol->requests.front(), "10A0");
    EXPECT_EQ(panelText("Run"), "");
    EXPECT_TRUE(button("Paste").isEnabled());
    EXPECT_TRUE(child<QComboBox>("cb_methode").isEnabled());
    EXPECT_EQ(cell(1, 1), "66");
}

// Copy goes through the system clipboard; hiding stops the cycle and
// empties the list.
TEST_F(WidgetTest, CopyShowsTheLastValuesUntilHidingShutsTheControlDown) {
    handOverProtocol();
    paste(kTwoItemLines);
    button("Start").trigger();
    ASSERT_TRUE(waitFor([&] { return cell(1, 1) == "66"; }));
    button("Copy").trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Speed\t66\r\nFlags\t02\r\n");

    widget.hide();

    EXPECT_EQ(panelText("Com"), "Stop");
    button("Copy").trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

} // namespace
} // namespace vistrel::testing
