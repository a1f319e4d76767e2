// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <fstream>
#include <functional>

namespace vistrel::testing {
namespace {

class ReentryTest : public ControlTest {
protected:
    ReentryTest() {
        startTwoItems();
        scriptGoodCycle();
        ticks(2); // open, session: the next tick reads
        scriptGoodCycle();
    }
};

TEST_F(ReentryTest, CommandsDuringAReadActAtOnceOrAfterIt) {
    const std::string saved = directory.file("saved.xml");
    const struct {
        const char* what;
        std::function<void(VistrelControl&, FakePorts&)> command;
        // Checked right after the command, still inside the exchange.
        std::function<void(VistrelControl&, FakePorts&)> inside;
        // Checked after the tick.
        std::function<void(VistrelControl&, FakePorts&)> after;
    } cases[] = {
        {"Copy acts at once", [](auto& c, auto&) { c.toolbarClick("Copy"); },
         [](auto&, auto& p) {
             EXPECT_EQ(p.clipboard.content, "Rpm\tNot supported\r\nTemp\tNot supported\r\n");
         },
         [](auto&, auto&) {}},
        {"Paste waits",
         [](auto& c, auto& p) {
             p.clipboard.content = itemLine("0B0000", 1, "Late") + "\r\n";
             c.toolbarClick("Paste");
         },
         [](auto& c, auto&) { EXPECT_EQ(c.items().count(), 2); },
         [](auto& c, auto&) { EXPECT_EQ(c.items().at(0).name(), "Late"); }},
        {"Open waits",
         [saved](auto& c, auto& p) {
             p.dialogs.answer = saved;
             c.toolbarClick("Open");
         },
         [](auto& c, auto&) { EXPECT_EQ(c.items().count(), 2); },
         [](auto& c, auto&) { EXPECT_EQ(c.items().at(0).name(), "Saved"); }},
        {"Start waits", [](auto& c, auto&) { c.start(); },
         [](auto& c, auto&) { EXPECT_EQ(c.cycleState(), CyclePhase::Run); },
         [](auto& c, auto&) { EXPECT_EQ(c.cycleState(), CyclePhase::OpenCommunication); }},
        {"Rec waits", [](auto& c, auto&) { c.toolbarClick("Rec"); },
         [](auto& c, auto&) { EXPECT_FALSE(c.recording()); },
         [](auto& c, auto&) { EXPECT_TRUE(c.recording()); }},
        {"snapshot key waits", [](auto& c, auto&) { c.keyUp(86, 6); },
         [](auto& c, auto&) { EXPECT_FALSE(c.snapshotArmed()); },
         [](auto& c, auto&) { EXPECT_TRUE(c.snapshotArmed()); }},
        {"hide waits", [](auto& c, auto&) { c.hide(); },
         [](auto& c, auto&) { EXPECT_EQ(c.items().count(), 2); },
         [](auto& c, auto& p) {
             EXPECT_EQ(c.cycleState(), CyclePhase::Idle);
             EXPECT_FALSE(p.timer.enabled);
         }},
        {"a new protocol waits",
         [](auto& c, auto&) { c.setProtocol(std::make_shared<ScriptedProtocol>()); },
         [](auto& c, auto&) { EXPECT_EQ(c.items().count(), 2); },
         [](auto& c, auto&) { EXPECT_EQ(c.items().count(), 0); }},
        {"a second tick is no tick", [](auto& c, auto&) { c.tick(); },
         [](auto& c, auto&) { EXPECT_EQ(c.step().kind, StepOutcome::Kind::NotDue); },
         [](auto&, auto&) {}},
    };
    std::ofstream(saved) << "<Vistrel Version=\"1,0\"><Datas><Data><address>0C0000</address>"
                            "<length>1</length><name>Saved</name></Data></Datas></Vistrel>";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        protocol->duringNextExchange = [&] {
            c.command(control, ports);
            c.inside(control, ports);
        };
        const StepOutcome outcome = control.step();
        EXPECT_EQ(outcome.kind, StepOutcome::Kind::GoodRead);
        c.after(control, ports);
        // Back to a control that reads, for the next case.
        control.setProtocol(protocol);
        pasteTwoItems();
        protocol->answers.clear();
        control.start();
        scriptGoodCycle();
        ticks(2);
        scriptGoodCycle();
    }
}

// On a slow link the rest of the list would take seconds: Stop ends the read
// before its next item and the cycle goes idle with this step.
TEST_F(ReentryTest, StopDuringAReadEndsItBeforeTheNextItem) {
    control.step();
    const auto shown = ports.view.valueColumn();
    const std::size_t sentBefore = protocol->requests.size();
    protocol->answers.clear();
    protocol->reply("632222");
    protocol->duringNextExchange = [&] { control.toolbarClick("Stop"); };
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::Stopped);
    EXPECT_EQ(protocol->requests.size(), sentBefore + 1);
    EXPECT_EQ(control.cycleState(), CyclePhase::Idle);
    EXPECT_FALSE(ports.timer.enabled);
    EXPECT_EQ(ports.view.valueColumn(), shown);
    // Start afterwards reads the whole list again.
    control.start();
    protocol->answers.clear();
    scriptGoodCycle();
    ticks(2);
    scriptGoodCycle();
    const std::size_t sentAtRead = protocol->requests.size();
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::GoodRead);
    EXPECT_EQ(protocol->requests.size(), sentAtRead + 2);
}

TEST_F(ReentryTest, AControlDestroyedDuringAnExchangeIsLeftAlone) {
    const std::size_t sentBefore = protocol->requests.size();
    auto doomed = std::make_unique<VistrelControl>(ports.ports(), NumberFormat::invariant());
    doomed->setProtocol(protocol);
    doomed->pasteText(itemLine("01A2B3", 2, "Rpm") + "\r\n" + itemLine("0A0000", 1, "T") + "\r\n");
    doomed->start();
    protocol->answers.clear();
    scriptGoodCycle();
    doomed->step();
    doomed->step();
    protocol->duringNextExchange = [&] {
        doomed.reset();
        ports.view.panels.clear();
    };
    // The read's first exchange destroys the control: the rest of the read
    // sends nothing and no port hears of it.
    VistrelControl* stepping = doomed.get();
    stepping->step();
    EXPECT_TRUE(ports.view.panels.empty());
    // The session request and the first item's: no more.
    EXPECT_EQ(protocol->requests.size(), sentBefore + 2);
}

TEST_F(ControlTest, AFailureOutsideTheProtocolCountsAsAFailedStepAndTheCycleGoesOn) {
    startTwoItems();
    scriptGoodCycle();
    ticks(2);
    ports.view.failNextValueColumn = true; // a view that throws
    const StepOutcome failed = control.step();
    EXPECT_EQ(failed.kind, StepOutcome::Kind::Failed);
    EXPECT_EQ(failed.phase, CyclePhase::OpenCommunication);
    EXPECT_TRUE(ports.timer.enabled);
    EXPECT_FALSE(ports.view.panel("Status").empty());
    scriptGoodCycle();
    ticks(2);
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::GoodRead);
}

} // namespace
} // namespace vistrel::testing
