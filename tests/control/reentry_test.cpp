// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <fstream>
#include <functional>

namespace vistrel::testing {
namespace {

// A protocol whose exchange runs a callback first, as a link does when it
// lets the event loop run while it waits on the line.
class ReentrantProtocol : public ScriptedProtocol {
public:
    std::function<void()> duringExchange;

    void SendReceive(const ByteString& request, ByteString& reply) override {
        if (duringExchange) {
            std::exchange(duringExchange, nullptr)();
        }
        ScriptedProtocol::SendReceive(request, reply);
    }
};

class ReentryTest : public ControlTest {
protected:
    ReentryTest() {
        protocol = reentrant;
        startTwoItems();
        scriptGoodCycle();
        ticks(2); // open, session: the next tick reads
        scriptGoodCycle();
    }
    std::shared_ptr<ReentrantProtocol> reentrant = std::make_shared<ReentrantProtocol>();
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
        reentrant->duringExchange = [&] {
            c.command(control, ports);
            c.inside(control, ports);
        };
        const StepOutcome outcome = control.step();
        EXPECT_EQ(outcome.kind, StepOutcome::Kind::GoodRead);
        c.after(control, ports);
        // Back to a control that reads, for the next case.
        control.setProtocol(reentrant);
        pasteTwoItems();
        reentrant->answers.clear();
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
    const std::size_t sentBefore = reentrant->requests.size();
    reentrant->answers.clear();
    reentrant->reply("632222");
    reentrant->duringExchange = [&] { control.toolbarClick("Stop"); };
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::Stopped);
    EXPECT_EQ(reentrant->requests.size(), sentBefore + 1);
    EXPECT_EQ(control.cycleState(), CyclePhase::Idle);
    EXPECT_FALSE(ports.timer.enabled);
    EXPECT_EQ(ports.view.valueColumn(), shown);
    // Start afterwards reads the whole list again.
    control.start();
    reentrant->answers.clear();
    scriptGoodCycle();
    ticks(2);
    scriptGoodCycle();
    const std::size_t sentAtRead = reentrant->requests.size();
    EXPECT_EQ(control.step().kind, StepOutcome::Kind::GoodRead);
    EXPECT_EQ(reentrant->requests.size(), sentAtRead + 2);
}

TEST_F(ReentryTest, AControlDestroyedDuringAnExchangeIsLeftAlone) {
    const std::size_t sentBefore = reentrant->requests.size();
    auto doomed = std::make_unique<VistrelControl>(ports.ports(), NumberFormat::invariant());
    doomed->setProtocol(reentrant);
    doomed->pasteText(itemLine("01A2B3", 2, "Rpm") + "\r\n" + itemLine("0A0000", 1, "T") + "\r\n");
    doomed->start();
    reentrant->answers.clear();
    scriptGoodCycle();
    doomed->step();
    doomed->step();
    reentrant->duringExchange = [&] {
        doomed.reset();
        ports.view.panels.clear();
    };
    // The read's first exchange destroys the control: the rest of the read
    // sends nothing and no port hears of it.
    VistrelControl* stepping = doomed.get();
    stepping->step();
    EXPECT_TRUE(ports.view.panels.empty());
    // The session request and the first item's: no more.
    EXPECT_EQ(reentrant->requests.size(), sentBefore + 2);
}

// A view that throws once on the value column, as a view can that runs out
// of memory.
TEST_F(ControlTest, AFailureOutsideTheProtocolCountsAsAFailedStepAndTheCycleGoesOn) {
    class ThrowingView : public FakeView {
    public:
        bool throwOnce = false;
        void setValueColumn(const std::vector<std::string>& values) override {
            if (std::exchange(throwOnce, false)) {
                throw std::bad_alloc();
            }
            FakeView::setValueColumn(values);
        }
    };
    ThrowingView view;
    ControlPorts throwing = ports.ports();
    VistrelControl fragile({view, throwing.timer, throwing.messages, throwing.dialogs,
                            throwing.clipboard, throwing.platform},
                           NumberFormat::invariant());
    fragile.setProtocol(protocol);
    fragile.pasteText(itemLine("01A2B3", 2, "Rpm") + "\r\n");
    fragile.start();
    protocol->reply("50A0");
    protocol->reply("631234");
    fragile.step();
    fragile.step();
    view.throwOnce = true;
    const StepOutcome failed = fragile.step();
    EXPECT_EQ(failed.kind, StepOutcome::Kind::Failed);
    EXPECT_EQ(failed.phase, CyclePhase::OpenCommunication);
    EXPECT_TRUE(ports.timer.enabled);
    EXPECT_FALSE(view.panel("Status").empty());
    protocol->reply("50A0");
    protocol->reply("631234");
    fragile.step();
    fragile.step();
    EXPECT_EQ(fragile.step().kind, StepOutcome::Kind::GoodRead);
}

TEST_F(ControlTest, ToolsOfAnIdleControlBeforeAProtocolAndAfterHide) {
    for (const char* key : {"Start", "Stop", "Rec", "Save"}) {
        EXPECT_FALSE(ports.view.button(key).enabled) << key;
    }
    startTwoItems();
    EXPECT_FALSE(ports.view.button("Paste").enabled);
    control.hide();
    EXPECT_TRUE(ports.view.button("Paste").enabled);
    EXPECT_TRUE(ports.view.methodBoxEnabled);
    EXPECT_FALSE(ports.view.button("Start").enabled);
}

TEST_F(ControlTest, PasteReportsTheLinesItSkipped) {
    handOver();
    const PasteResult result = control.pasteText(
        "Methode\tDynamicallyDefined\t\r\n" + itemLine("01", 1, "A") + "\r\n" +
        itemLine("02", 1, "a") + "\r\nnot a line\r\n" + itemLine("ZZ", 1, "B") + "\r\n\r\n");
    EXPECT_EQ(control.items().count(), 1);
    EXPECT_EQ(result.skippedLines, 3);
    EXPECT_EQ(result.firstSkippedReason, "the name a is already in the list");
    EXPECT_EQ(control.methodChoice(), "DynamicallyDefined");
}

} // namespace
} // namespace vistrel::testing
