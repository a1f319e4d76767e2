// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

using LifecycleTest = ControlTest;

// The list describes the ECU's memory, not the cable: another link keeps it
// and its settings, and a running cycle goes on over the new link.
TEST_F(LifecycleTest, ANewLinkKeepsTheListAndARunningCycleOpensItAgain) {
    auto other = std::make_shared<SteppedProtocol>();
    other->titleText = "KWP2000";
    other->subtitleText = "Engine";
    startTwoItems();
    control.chooseMethod("DynamicallyDefined");
    control.setProtocol(other);
    protocol->allow(1); // the opening in flight on the old link ends
    other->allow(1);    // the new link opens
    settle();
    EXPECT_EQ(control.items().count(), 2);
    EXPECT_EQ(ports.view.rows.size(), 2U);
    EXPECT_EQ(control.methodChoice(), "DynamicallyDefined");
    EXPECT_EQ(control.CurrentProtocol(), other);
    EXPECT_EQ(ports.view.caption, "KWP2000 : Engine");
    EXPECT_EQ(control.cycleState(), CyclePhase::StartSession);
    EXPECT_TRUE(other->waiting());
    EXPECT_FALSE(protocol->waiting());
    EXPECT_EQ(ports.view.tools({"Start", "Stop", "Paste"}), "Start:EP Stop:E- Paste:--");
    other->openGate();
}

TEST_F(LifecycleTest, HideShutsDownAndEmptiesTheList) {
    startTwoItems();
    pressRec();
    control.hide();
    protocol->allow(1);
    settle();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.panel("Rec"), " ");
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_EQ(control.cycleState(), CyclePhase::Idle);
    EXPECT_EQ(ports.view.tools({"Start", "Stop", "Paste"}), "Start:-- Stop:-P Paste:E-");
    EXPECT_FALSE(protocol->waiting());
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

// A lost device is shown as soon as its exchange fails, with how old the
// values on screen are; the status goes on saying so while the opening fails.
TEST_F(LifecycleTest, AFailedLinkIsShownAtOnceWithTheTimeOfTheLastGoodRead) {
    startTwoItems();
    scriptGoodCycle();
    ports.platform.clock = 1000;
    calls(4);
    ports.platform.clock = 4200;
    protocol->fail(2063, "Device lost");
    protocol->fail(2063, "Device lost");
    calls(2);
    EXPECT_EQ(ports.view.panel("Status"),
              "Error global : (Device lost) (last good read 3.2 s ago)");
    EXPECT_EQ(ports.view.panel("Com"), "Init");
    protocol->initAnswers.push_back(Error(2063, "Device lost"));
    ports.platform.clock = 6000;
    calls(1);
    EXPECT_EQ(ports.view.panel("Status"), "Device lost (last good read 5.0 s ago)");
    EXPECT_EQ(control.linkHealth().linkState(), "failing");
    // The link opens again, but no read has succeeded since: the failure stays.
    ports.platform.clock = 6500;
    calls(1);
    EXPECT_EQ(ports.view.panel("Status"), "Device lost (last good read 5.5 s ago)");
}

} // namespace
} // namespace vistrel::testing
