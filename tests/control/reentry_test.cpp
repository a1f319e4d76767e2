// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <fstream>
#include <functional>

namespace vistrel::testing {
namespace {

class ReentryTest : public ControlTest {
protected:
    ReentryTest() {
        handOver();
        pasteTwoItems();
        readyToRead();
    }
    // Started with the session open: the next step reads, its replies queued.
    void readyToRead() {
        protocol->answers.clear();
        control.start();
        scriptGoodCycle();
        ticks(2);
        scriptGoodCycle();
    }
};

TEST_F(ReentryTest, CommandsDuringAReadActAtOnceOrAfterIt) {
    ports.dialogs.answer = directory.file("saved.xml");
    std::ofstream(*ports.dialogs.answer)
        << "<Vistrel Version=\"1,0\"><Datas><Data><address>0C0000</address>"
           "<length>1</length><name>Saved</name></Data></Datas></Vistrel>";
    // What the commands change, in one line: the first row, the phase and
    // the flags that are up.
    const auto state = [&] {
        const FakeView& view = ports.view;
        return (view.rows.empty() ? "-" : view.rows[0][0] + "=" + view.rows[0][1]) + " " +
               std::to_string(static_cast<int>(control.cycleState())) +
               (control.recording() ? " rec" : "") + (control.snapshotArmed() ? " snap" : "") +
               (ports.timer.enabled ? " timer" : "") +
               (ports.clipboard.content == "Rpm\tNot supported\r\nTemp\tNot supported\r\n"
                    ? " copied"
                    : "");
    };
    const struct {
        const char* what;
        std::function<void()> command;
        const char* inside; // right after the command, still inside the exchange
        const char* after;  // after the step
        StepOutcome::Kind outcome = StepOutcome::Kind::GoodRead;
        std::size_t sent = 2; // requests of the step
    } cases[] = {
        // On a slow link the rest of the list would take seconds: Stop ends
        // the read before its next item, and the values on screen stay.
        {"Stop acts at once",
         [&] {
             ports.view.rows[0][1] = "shown";
             control.toolbarClick("Stop");
         },
         "Rpm=shown 3", "Rpm=shown 0", StepOutcome::Kind::Stopped, 1},
        {"Copy acts at once", [&] { control.toolbarClick("Copy"); }, "Rpm= 3 copied",
         "Rpm=1234 3 timer copied"},
        {"Paste waits", [&] { paste({itemLine("0B0000", 1, "Late")}); }, "Rpm= 3", "Late= 3"},
        {"Open waits", [&] { control.toolbarClick("Open"); }, "Rpm= 3", "Saved= 3 timer"},
        {"Start waits", [&] { control.start(); }, "Rpm= 3", "Rpm=1234 1 timer"},
        {"Rec waits", [&] { control.toolbarClick("Rec"); }, "Rpm= 3", "Rpm=1234 3 rec timer"},
        {"snapshot key waits", [&] { control.keyUp(86, 6); }, "Rpm= 3", "Rpm=1234 3 snap timer"},
        {"hide waits", [&] { control.hide(); }, "Rpm= 3", "- 0"},
        {"a new protocol waits", [&] { control.setProtocol(std::make_shared<ScriptedProtocol>()); },
         "Rpm= 3", "- 0"},
        {"a second tick is no tick", [&] { control.tick(); }, "Rpm= 3", "Rpm=1234 3 timer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string inside;
        protocol->duringNextExchange = [&] {
            c.command();
            inside = state();
        };
        const std::size_t sentBefore = protocol->requests.size();
        EXPECT_EQ(control.step().kind, c.outcome);
        EXPECT_EQ(protocol->requests.size() - sentBefore, c.sent);
        EXPECT_EQ(inside, c.inside);
        EXPECT_EQ(state(), c.after);
        // Back to a control that reads the whole list, for the next case.
        control.setProtocol(protocol);
        control.setSnapshotArmed(false);
        pasteTwoItems();
        readyToRead();
    }
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
    EXPECT_EQ(ports.view.panelLine({"Status", "Com", "Run"}), "view failed|Init|");
    scriptGoodCycle();
    ticks(2);
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::GoodRead);
}

} // namespace
} // namespace vistrel::testing
