// SPDX-License-Identifier: MIT
#include "control_fixture.h"
#include "fakes/simulator_link.h"
#include "sim/simulated_ecu.h"

#include <fstream>
#include <functional>
#include <random>

namespace vistrel::testing {
namespace {

constexpr const char* kSoakEcu =
    R"(<ecu title="Soak" subtitle="random faults" protocolName="KWP2000"
     addressSize="3" rid="2024" xid="2016">
  <memory address="020000">00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF</memory>
</ecu>)";

// Eight two-byte items over the memory block, shown in hexadecimal.
constexpr int kItems = 8;
const std::vector<std::string> kGoodValues = {"0011", "2233", "4455", "6677",
                                              "8899", "AABB", "CCDD", "EEFF"};

class SoakTest : public ControlTest {
protected:
    SoakTest() {
        control.setProtocol(link);
        std::vector<std::string> lines;
        for (int i = 0; i < kItems; ++i) {
            const std::string address = "02000" + std::string(1, "02468ACE"[i]);
            lines.push_back(itemLine(address, 2, "Item" + std::to_string(i)));
        }
        paste(lines);
        itemText = ports.clipboard.content;
    }

    // What the user does when the cycle stands still: Start, and Rec again
    // when the stop closed the recording.
    void restartAsTheUserWould() {
        control.toolbarClick("Start");
        if (!control.recording() && recordingWanted) {
            startRecording();
        }
    }
    // The wall clock stands still: every recording continues the one file,
    // with a header of its own.
    void startRecording() {
        pressRec();
        ASSERT_TRUE(control.recording());
        ++linesExpected;
    }

    // One tick, checked: a failed read leaves no value on screen; a good one
    // shows for every item either its memory or its own error text.
    void checkedTick() {
        const int writesBefore = ports.view.valueColumnWrites;
        const CyclePhase phaseBefore = control.cycleState();
        const bool wasRecording = control.recording();
        const StepOutcome outcome = control.step();
        ++ticksRun;
        if (outcome.kind == StepOutcome::Kind::GoodRead && wasRecording) {
            ++linesExpected;
        }
        // A paste that came in during the read rebuilt the grid after it.
        if (std::exchange(listReplaced, false) || ports.view.valueColumnWrites == writesBefore) {
            return;
        }
        const std::vector<std::string> shown = ports.view.valueColumn();
        ASSERT_EQ(phaseBefore, CyclePhase::Run);
        if (outcome.kind == StepOutcome::Kind::Failed) {
            ++failedReads;
            ASSERT_EQ(shown, std::vector<std::string>(kItems, "")) << "tick " << ticksRun;
            return;
        }
        ++goodReads;
        for (int i = 0; i < kItems; ++i) {
            const VistrelItem& item = control.items().at(static_cast<std::size_t>(i));
            const std::string& want = item.errorCode() == 0 ? kGoodValues[i] : item.errorText();
            ASSERT_EQ(shown[i], want) << "tick " << ticksRun << " item " << i;
        }
    }

    void injectFault(std::mt19937& random) {
        std::uniform_int_distribution<int> percent(0, 999);
        std::uniform_int_distribution<int> anyItem(0, kItems - 1);
        const auto address = static_cast<std::uint32_t>(0x020000 + 2 * anyItem(random));
        static constexpr std::uint8_t kNrcs[] = {0x21, 0x22, 0x31, 0x10};
        const int roll = percent(random);
        if (roll < 20) {
            ecu->refuse(address, 2, 0x23, kNrcs[random() % 4]);
        } else if (roll < 40) {
            ecu->silence(address, 2);
        } else if (roll < 45) {
            ecu->silence(0x020000, 16); // the ECU stops answering
        } else if (roll < 50) {
            ecu->failInit(1 + static_cast<int>(random() % 3), "Link down");
        } else if (roll < 60) {
            ecu->failSession(1 + static_cast<int>(random() % 3), 0x22);
        } else if (roll < 90) {
            ecu->clearFaults();
        } else if (roll < 95) {
            control.Abort();
        } else if (roll < 100) {
            link->duringNextExchange = [this] { control.Abort(); };
        } else if (roll < 103) {
            // The user stops or starts a recording.
            if (control.recording()) {
                pressRec();
            } else {
                startRecording();
            }
            recordingWanted = control.recording();
        } else if (roll < 106) {
            control.keyUp(86, 6); // snapshot armed or disarmed
        } else if (roll < 116) {
            // A command that arrives while the next exchange waits.
            const std::function<void()> commands[] = {
                [this] { control.toolbarClick("Start"); },
                [this] { control.toolbarClick("Stop"); },
                [this] { control.toolbarClick("Copy"); },
                [this] { control.keyUp(86, 6); },
                [this] {
                    control.pasteText(itemText);
                    listReplaced = true;
                },
                [this] { control.tick(); },
            };
            link->duringNextExchange = commands[random() % std::size(commands)];
        } else if (roll < 119) {
            ports.view.failNextValueColumn = true; // a view that throws
        }
    }

    std::shared_ptr<SimulatedEcu> ecu = SimulatedEcu::fromText(kSoakEcu, "soak");
    // A command can come in through the link while a read waits for the
    // ECU, as the event loop lets it during an exchange.
    std::shared_ptr<Hooked<SimulatorLink>> link = std::make_shared<Hooked<SimulatorLink>>(ecu);
    std::string itemText;
    bool listReplaced = false;
    bool recordingWanted = true;
    int ticksRun = 0;
    int goodReads = 0;
    int failedReads = 0;
    int linesExpected = 0; // headers and data lines of the recording file
};

TEST_F(SoakTest, TwentyThousandTicksWithRandomFaults) {
    std::mt19937 random(20240605);
    control.toolbarClick("Start");
    startRecording();
    while (ticksRun < 20000) {
        injectFault(random);
        if (ports.timer.enabled) {
            checkedTick();
            if (HasFatalFailure()) {
                return;
            }
        } else {
            restartAsTheUserWould();
        }
    }
    EXPECT_GT(goodReads, 1000);
    EXPECT_GT(failedReads, 100);

    // Once the faults stop, good reads come back within one open, one
    // session and one read, and stay.
    ecu->clearFaults();
    link->duringNextExchange = nullptr;
    ports.view.failNextValueColumn = false;
    if (!ports.timer.enabled) {
        restartAsTheUserWould();
    }
    const int goodBefore = goodReads;
    for (int i = 0; i < 4 && goodReads == goodBefore; ++i) {
        checkedTick();
    }
    ASSERT_EQ(goodReads, goodBefore + 1);
    for (int i = 0; i < 100; ++i) {
        checkedTick();
    }
    EXPECT_EQ(goodReads, goodBefore + 101);
    EXPECT_EQ(ports.view.valueColumn(), kGoodValues);

    // The recording file holds a header per recording and a line per good read.
    if (control.recording()) {
        pressRec();
    }
    std::ifstream in(control.recordFileName(), std::ios::binary);
    int lineCount = 0;
    for (std::string line; std::getline(in, line); ++lineCount) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), kItems) << line;
    }
    EXPECT_EQ(lineCount, linesExpected);
}

} // namespace
} // namespace vistrel::testing
