// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

using LifecycleTest = ControlTest;

TEST_F(LifecycleTest, HandingOverAProtocolResetsTheControl) {
    handOver();
    pasteTwoItems();
    control.toolbarClick("Start");
    ticks(1);
    ports.view.panels["Rec"] = "REC";
    control.Abort();

    auto other = std::make_shared<ScriptedProtocol>();
    other->titleText = "KWP2000";
    other->subtitleText = "Engine";
    control.setProtocol(other);

    EXPECT_EQ(static_cast<int>(control.cycleState()), 0);
    EXPECT_FALSE(control.abortPending());
    EXPECT_FALSE(ports.timer.enabled);
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_TRUE(ports.view.rows.empty());
    EXPECT_EQ(control.CurrentProtocol(), other);
    EXPECT_EQ(ports.view.caption, "KWP2000 : Engine");
    const FakeView& view = ports.view;
    EXPECT_FALSE(view.button("Start").enabled);
    EXPECT_FALSE(view.button("Start").pressed);
    EXPECT_FALSE(view.button("Stop").enabled);
    EXPECT_TRUE(view.button("Stop").pressed);
    EXPECT_FALSE(view.button("Rec").enabled);
    EXPECT_FALSE(view.button("Rec").pressed);
    EXPECT_TRUE(view.button("Paste").enabled);
    for (const char* key : {"Com", "Rec", "Status"}) {
        EXPECT_EQ(view.panel(key), "") << key;
    }
    // The list receives the protocol only at Start.
    EXPECT_EQ(control.items().protocol(), protocol);
}

TEST_F(LifecycleTest, AnEmptyHandOverResetsButKeepsProtocolAndCaption) {
    handOver();
    pasteTwoItems();
    control.setProtocol(nullptr);
    EXPECT_EQ(control.CurrentProtocol(), protocol);
    EXPECT_EQ(ports.view.caption, "Scripted : test ECU");
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_TRUE(ports.view.rows.empty());
}

TEST_F(LifecycleTest, HandingOverStopsAnOpenRecording) {
    handOver();
    pasteTwoItems();
    pressRec();
    ASSERT_TRUE(control.recording());
    control.setProtocol(protocol);
    EXPECT_FALSE(control.recording());
    // The file was closed: the next recording opens a file of its own.
    ports.platform.wallClock.second = 10;
    pressRec();
    EXPECT_TRUE(control.recording());
    EXPECT_EQ(control.recordFileName(), directory.file("vistrel_4-12-26__07h05mn10.txt"));
}

TEST_F(LifecycleTest, HideShutsDownAndEmptiesTheList) {
    startTwoItems();
    pressRec();
    ticks(1);
    control.Abort();
    control.hide();
    EXPECT_EQ(static_cast<int>(control.cycleState()), 0);
    EXPECT_FALSE(ports.timer.enabled);
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.panel("Rec"), " ");
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_TRUE(ports.view.rows.empty());
    EXPECT_FALSE(ports.view.button("Start").enabled);
    EXPECT_FALSE(control.items().AbortRequest());
    EXPECT_TRUE(control.abortPending()); // not cleared by hiding
}

TEST_F(LifecycleTest, GridColumnsAndPlacement) {
    control.GridCreate(); // on a view of 10000 x 6000 with a status bar of 300
    EXPECT_EQ(ports.view.gridPlace, (Rect{1, 1080, 10000, 4620}));
    EXPECT_EQ(ports.view.gridFontSize, 10);
    ASSERT_EQ(ports.view.columns.size(), 7U);

    // A control too small for a grid gets one of no height.
    ports.view.height = 500;
    control.resize();
    EXPECT_EQ(ports.view.gridPlace.height, 0);
}

TEST_F(LifecycleTest, ColumnWidthsRoundHalvesToEven) {
    const struct {
        int width;
        std::map<int, int> widths;
    } cases[] = {
        // 5 % of 10: 0.5 -> 0; 30 % of 10: 3; 14 % of 10: 1.4 -> 1.
        {10, {{0, 3}, {1, 2}, {2, 1}, {3, 1}, {4, 0}, {5, 1}, {6, 1}}},
        // 5 % of 30: 1.5 -> 2; 10 % of 30: 3; 14 % of 30: 4.2 -> 4.
        {30, {{0, 9}, {1, 6}, {2, 4}, {3, 3}, {4, 2}, {5, 3}, {6, 3}}},
        // 14 % of 25: 3.5 -> 4; 10 % of 25: 2.5 -> 2; 30 % of 25: 7.5 -> 8.
        {25, {{0, 8}, {1, 5}, {2, 4}, {3, 2}, {4, 1}, {5, 2}, {6, 2}}},
    };
    for (const auto& c : cases) {
        ports.view.width = c.width;
        control.resize();
        EXPECT_EQ(ports.view.columnWidths, c.widths) << c.width;
    }
}

TEST_F(LifecycleTest, GridFillShowsTheItemsInListOrder) {
    handOver();
    paste({"01A2B3\t2\tBE+\tRpm\trpm\t1\t0\t1\tH\t1\t0FFF", itemLine("0A0000", 1, "Temp", "C"),
           "0B0000\t4\tLE\tOdo\tkm\t0.5\t1\t2\tP\t1"});
    ASSERT_EQ(ports.view.rows.size(), 3U);
    EXPECT_EQ(ports.view.rows[0],
              (GridRow{"Rpm", "", "rpm", "01A2B3", "2", "Hexadecimal", "0FFF"}));
    EXPECT_EQ(ports.view.rows[1], (GridRow{"Temp", "", "C", "0A0000", "1", "Hexadecimal", "FF"}));
    EXPECT_EQ(ports.view.rows[2],
              (GridRow{"Odo", "", "km", "0B0000", "4", "(0.5 * v + 1) / 2", "FFFFFFFF"}));

    paste({itemLine("0A0000", 1, "Temp")});
    EXPECT_EQ(ports.view.rows.size(), 1U);
}

} // namespace
} // namespace vistrel::testing
