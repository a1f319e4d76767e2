// SPDX-License-Identifier: MIT
#include "engine/poller.h"
#include "fakes/scratch_directory.h"
#include "fakes/stepped_protocol.h"
#include "itemlist/vistrel_items.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace vistrel::testing {
namespace {

using namespace std::chrono_literals;
using Kind = StepOutcome::Kind;

std::unique_ptr<VistrelItems> twoItems() {
    auto list = std::make_unique<VistrelItems>(NumberFormat::invariant());
    list->addLine("01A2B3\t2\tBE\tRpm\t\t1\t0\t1\tD\t1");
    list->addLine("0A0000\t1\tBE\tTemp\t\t1\t0\t1\tD\t1");
    return list;
}

enum class Where { Idle, Opening, Session, Reading, Halted };
enum class Command { Start, Stop, Abort, NewList, NewLink, ArmSnapshot };

// A poller over a stepped protocol: each call of the protocol waits until
// the test lets it through, so a command can arrive during any exchange.
class PollerTest : public ::testing::Test {
protected:
    ~PollerTest() override { protocol->openGate(); }

    // The kinds of the events that came until the engine waits in a call
    // again (or stays quiet, being idle or halted).
    std::string collect() {
        std::string kinds;
        auto quietSince = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - quietSince < 50ms) {
            const auto events = poller.takeEvents();
            for (const auto& event : events) {
                kinds += kindName(event.outcome.kind);
                phase = event.outcome.phase;
                seen.push_back(event);
            }
            if (!events.empty()) {
                quietSince = std::chrono::steady_clock::now();
            } else if (protocol->waiting() && !poller.waitForEvents(2ms)) {
                break;
            } else {
                poller.waitForEvents(2ms);
            }
        }
        return kinds;
    }
    static std::string kindName(Kind kind) {
        switch (kind) {
        case Kind::Started:
            return "S";
        case Kind::Progress:
            return "P";
        case Kind::GoodRead:
            return "G";
        case Kind::Failed:
            return "F";
        case Kind::Unanswered:
            return "U";
        case Kind::Stopped:
            return "X";
        case Kind::Halted:
            return "H";
        case Kind::NotDue:
            break;
        }
        return "?";
    }
    void reach(Where where) {
        poller.setLink(protocol, 1);
        if (where == Where::Idle) {
            return;
        }
        protocol->reply("50A0");
        protocol->reply("631234");
        poller.start(twoItems(), 1);
        const int calls = where == Where::Opening ? 0 : where == Where::Session ? 1 : 2;
        protocol->allow(calls);
        collect();
        if (where == Where::Halted) {
            poller.abort();
            protocol->allow(1);
            ASSERT_EQ(collect(), "H");
        }
    }
    void issue(Command command) {
        switch (command) {
        case Command::Start:
            poller.start(twoItems(), 2);
            break;
        case Command::Stop:
            poller.stop();
            break;
        case Command::Abort:
            poller.abort();
            break;
        case Command::NewList:
            poller.replaceList(twoItems(), 2);
            break;
        case Command::NewLink:
            poller.setLink(protocol, 2);
            break;
        case Command::ArmSnapshot:
            poller.armSnapshot("");
            break;
        }
    }

    std::atomic<std::uint32_t> clock = 0;
    std::shared_ptr<SteppedProtocol> protocol = std::make_shared<SteppedProtocol>();
    Poller poller{[this] { return clock.load(); }};
    CyclePhase phase = CyclePhase::Idle;
    std::vector<EngineEvent> seen;
};

// Every command in every phase: a command that arrives during an exchange
// waits for its end (one call), then decides what follows; the outcome of a
// step it cut short is not reported.
TEST_F(PollerTest, EveryCommandInEveryPhase) {
    using P = CyclePhase;
    const struct {
        Where where;
        Command command;
        const char* events; // after the exchange in flight ends
        bool calling;       // the engine goes on calling the protocol
        P phase;
    } cases[] = {
        {Where::Idle, Command::Start, "S", true, P::OpenCommunication},
        {Where::Idle, Command::Stop, "", false, P::Idle},
        {Where::Idle, Command::Abort, "", false, P::Idle},
        {Where::Idle, Command::NewList, "", false, P::Idle},
        {Where::Idle, Command::NewLink, "", false, P::Idle},
        {Where::Idle, Command::ArmSnapshot, "", false, P::Idle},
        {Where::Opening, Command::Start, "S", true, P::OpenCommunication},
        {Where::Opening, Command::Stop, "X", false, P::Idle},
        {Where::Opening, Command::Abort, "H", false, P::OpenCommunication},
        {Where::Opening, Command::NewList, "S", true, P::OpenCommunication},
        {Where::Opening, Command::NewLink, "S", true, P::OpenCommunication},
        {Where::Opening, Command::ArmSnapshot, "P", true, P::StartSession},
        {Where::Session, Command::Start, "S", true, P::OpenCommunication},
        {Where::Session, Command::Stop, "X", false, P::Idle},
        {Where::Session, Command::Abort, "H", false, P::StartSession},
        {Where::Session, Command::NewList, "S", true, P::OpenCommunication},
        {Where::Session, Command::NewLink, "S", true, P::OpenCommunication},
        {Where::Session, Command::ArmSnapshot, "P", true, P::Run},
        {Where::Reading, Command::Start, "S", true, P::OpenCommunication},
        {Where::Reading, Command::Stop, "X", false, P::Idle},
        {Where::Reading, Command::Abort, "H", false, P::Run},
        {Where::Reading, Command::NewList, "S", true, P::OpenCommunication},
        {Where::Reading, Command::NewLink, "S", true, P::OpenCommunication},
        {Where::Reading, Command::ArmSnapshot, "", true, P::Run}, // the read goes on
        {Where::Halted, Command::Start, "S", true, P::OpenCommunication},
        {Where::Halted, Command::Stop, "X", false, P::Idle},
        {Where::Halted, Command::Abort, "", false, P::Run},
        {Where::Halted, Command::NewList, "", false, P::Run},
        {Where::Halted, Command::NewLink, "", false, P::Run},
        {Where::Halted, Command::ArmSnapshot, "", false, P::Run},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.where)) + " " +
                     std::to_string(static_cast<int>(c.command)));
        protocol->openGate();
        poller.stop();
        collect();
        protocol = std::make_shared<SteppedProtocol>();
        phase = CyclePhase::Idle;
        reach(c.where);
        const bool inFlight = protocol->waiting();
        issue(c.command);
        if (inFlight) {
            protocol->allow(1);
        }
        EXPECT_EQ(collect(), c.events);
        EXPECT_EQ(protocol->waiting(), c.calling);
        EXPECT_EQ(phase, c.phase);
    }
}

TEST_F(PollerTest, AGoodReadCarriesEachItemsBytesNumberAndTextFormattedOnce) {
    reach(Where::Reading);
    protocol->fail(0x2022, "Execution conditions not set");
    clock = 1234;
    protocol->allow(2);
    seen.clear();
    ASSERT_EQ(collect(), "G");
    const ReadResult& read = *seen.at(0).read;
    EXPECT_EQ(read.time, 1234U);
    ASSERT_EQ(read.items.size(), 2U);
    EXPECT_EQ(read.items[0].bytes.text(), "1234");
    EXPECT_EQ(read.items[0].number, 4660.0);
    EXPECT_EQ(read.items[0].text, "4660");
    EXPECT_EQ(read.items[1].number, std::nullopt);
    EXPECT_EQ(read.items[1].text, "Execution conditions not set");
    EXPECT_EQ(read.items[1].errorText, read.items[1].text);
}

// A configuration file may hold two items of the same name: the engine reads
// the list as the control hands it over (a copy), and shows both.
TEST_F(PollerTest, TwoItemsOfTheSameNameAreBothRead) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "twins.xml").string();
    std::ofstream(path) << "<Vistrel Version=\"1,0\"><Datas>"
                           "<Data><address>01</address><length>1</length><name>T</name></Data>"
                           "<Data><address>02</address><length>1</length><name>T</name></Data>"
                           "</Datas></Vistrel>";
    VistrelItems loaded(NumberFormat::invariant());
    loaded.loadConfigXML(path);
    poller.setLink(protocol, 1);
    for (const char* reply : {"50A0", "6311", "6322"}) {
        protocol->reply(reply);
    }
    poller.start(loaded.copy(), 1);
    protocol->allow(4);
    ASSERT_EQ(collect(), "SPPG");
    ASSERT_EQ(seen.back().read->items.size(), 2U);
    EXPECT_EQ(seen.back().read->items[1].text, "22");
}

} // namespace
} // namespace vistrel::testing
