// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

using LifecycleTest = ControlTest;

TEST_F(LifecycleTest, HandingOverAProtocolResetsTheControl) {
    auto other = std::make_shared<ScriptedProtocol>();
    other->titleText = "KWP2000";
    other->subtitleText = "Engine";
    // An empty hand-over resets as well but keeps the protocol and caption.
    for (const auto& handed : {other, std::shared_ptr<ScriptedProtocol>()}) {
        handOver();
        pasteTwoItems();
        pressRec();
        ASSERT_TRUE(control.recording()); // the last hand-over closed its file
        control.toolbarClick("Start");
        ticks(1);
        control.Abort();
        control.setProtocol(handed);
        EXPECT_FALSE(control.recording());

        EXPECT_EQ(static_cast<int>(control.cycleState()), 0);
        EXPECT_FALSE(control.abortPending());
        EXPECT_FALSE(ports.timer.enabled);
        EXPECT_EQ(control.items().count(), 0);
        EXPECT_TRUE(ports.view.rows.empty());
        EXPECT_EQ(control.CurrentProtocol(), handed ? handed : protocol);
        EXPECT_EQ(ports.view.caption, handed ? "KWP2000 : Engine" : "Scripted : test ECU");
        EXPECT_EQ(ports.view.tools({"Start", "Stop", "Rec", "Paste"}),
                  "Start:-- Stop:-P Rec:-- Paste:E-");
        EXPECT_EQ(ports.view.panelLine({"Com", "Rec", "Status"}), "||");
        // The list receives the protocol only at Start.
        EXPECT_EQ(control.items().protocol(), protocol);
    }
}

TEST_F(LifecycleTest, HideShutsDownAndEmptiesTheList) {
    startTwoItems();
    pressRec();
    ticks(1);
    control.Abort();
    control.hide();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.panel("Rec"), " ");
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_EQ(ports.view.buttons.at("Start")[0], '-'); // disabled
    EXPECT_FALSE(control.items().AbortRequest());
    EXPECT_TRUE(control.abortPending()); // not cleared by hiding
}

TEST_F(LifecycleTest, GridFillShowsTheItemsInListOrder) {
    handOver();
    paste({"01A2B3\t2\tBE+\tRpm\trpm\t1\t0\t1\tH\t1\t0FFF", itemLine("0A0000", 1, "Temp", "C"),
           "0B0000\t4\tLE\tOdo\tkm\t0.5\t1\t2\tP\t1"});
    EXPECT_EQ(ports.view.rows,
              (std::vector<GridRow>{
                  {"Rpm", "", "rpm", "01A2B3", "2", "Hexadecimal", "0FFF"},
                  {"Temp", "", "C", "0A0000", "1", "Hexadecimal", "FF"},
                  {"Odo", "", "km", "0B0000", "4", "(0.5 * v + 1) / 2", "FFFFFFFF"},
              }));
}

} // namespace
} // namespace vistrel::testing
