// SPDX-License-Identifier: MIT
// Recordings that start and stop themselves on the simulator's square wave:
// Throttle reads 5 % for 1.5 s, then 90 % for 1.5 s, and so on.
#include "control_fixture.h"
#include "fakes/simulator_link.h"
#include "recording/recording_reader.h"

#include <filesystem>

namespace vistrel::testing {
namespace {

// The simulator, one call at a time as the test lets them through.
class SteppedSimulator : public SimulatorLink {
public:
    SteppedSimulator(std::shared_ptr<SimulatedEcu> ecu, SteppedProtocol& gate)
        : SimulatorLink(std::move(ecu)), gate_(gate) {}
    void InitCommunication() override {
        gate_.pass();
        SimulatorLink::InitCommunication();
    }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        gate_.pass();
        SimulatorLink::SendReceive(request, reply);
    }

private:
    SteppedProtocol& gate_;
};

class RecordingTriggerTest : public ControlTest {
protected:
    RecordingTriggerTest() {
        ecu->setClock([this] {
            return std::chrono::steady_clock::time_point(
                std::chrono::milliseconds(ports.platform.clock));
        });
        control.setProtocol(std::make_shared<SteppedSimulator>(ecu, *protocol));
        paste({"01A003\t1\tBE\tThrottle\t%\t1\t0\t2\tP\t1"});
    }

    // Reads every 100 ms for the given seconds; each second names its own
    // file, as the wall clock would.
    void recordFor(int seconds) {
        pressRec();
        control.toolbarClick("Start");
        settle();
        calls(2); // open communication, start the session
        for (int read = 0; read < seconds * 10; ++read) {
            ports.platform.wallClock.second = read / 10;
            calls(1);
            ports.platform.clock += 100;
        }
    }

    std::shared_ptr<SimulatedEcu> ecu = SimulatedEcu::demo();
};

TEST_F(RecordingTriggerTest, EachRunStartsAtTheReadThatMetTheConditionAfterItsPreTrigger) {
    control.setRecordingTrigger(RecordingTrigger{TriggerCondition::parse("Throttle > 50"),
                                                 TriggerCondition::parse("Throttle < 50"), 0.5,
                                                 0.2});
    recordFor(7);
    std::vector<RecordingRun> runs;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path())) {
        for (auto& run : readRecordingFile(entry.path().string())) {
            runs.push_back(std::move(run));
        }
    }
    ASSERT_EQ(runs.size(), 2U); // rising edges at 1.5 s and 4.5 s
    for (const RecordingRun& run : runs) {
        ASSERT_EQ(run.lineCount(), 5U + 15U + 3U);
        for (std::size_t line = 0; line < run.lineCount(); ++line) {
            // 5 lines before, the 15 high reads from time 0, the stop read
            // and the 0.2 s after it.
            const double time = -0.5 + 0.1 * static_cast<double>(line);
            EXPECT_NEAR(run.times[line], time, 1e-9);
            EXPECT_EQ(run.cell(line, 0), time >= 0 && time < 1.5 ? "90" : "5") << time;
        }
    }
    EXPECT_EQ(ports.view.panels["Rec"], "TRIG");
}

TEST_F(RecordingTriggerTest, NoFileWhileTheConditionNeverHoldsNorOnAConditionOnNoItem) {
    control.setRecordingTrigger(
        RecordingTrigger{TriggerCondition::parse("Throttle > 95 or Throttle < 0"), {}, 1, 0});
    recordFor(4);
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
    EXPECT_TRUE(control.recording());
    pressRec();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.panels["Rec"], " ");

    // A condition on no item keeps Rec up.
    control.setRecordingTrigger(RecordingTrigger{TriggerCondition::parse("Rpm > 1"), {}, 0, 0});
    pressRec();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.tools({"Rec"}), "Rec:E-");
    EXPECT_EQ(ports.messages.shown.back().text, "Condition \"Rpm > 1\": no item is named \"Rpm\"");
}

TEST(TriggerCondition, ParsesComparisonsJoinedByAndOr) {
    const struct {
        std::string_view text;
        std::vector<std::optional<double>> values; // A, B
        bool holds;
    } cases[] = {
        {"A > 3000", {3000.5, 0}, true},
        {"A > 3000", {3000, 0}, false},
        {"A >= 3000", {3000, 0}, true},
        {"A<=-1,5", {-1.5, 0}, true},
        {"A == 2", {2, 0}, true},
        {"A != 2", {2, 0}, false},
        {"A < 1", {std::nullopt, 0}, false},
        {"A > 1 and B < 1 or B == 7", {0, 7}, true},
        {"A > 1 and B < 1 or B == 7", {2, 2}, false},
        {"B < 1 or A > 1 and B == 0", {2, 0}, true},
    };
    for (const auto& c : cases) {
        auto condition = TriggerCondition::parse(c.text);
        condition.bind({"A", "B"});
        EXPECT_EQ(condition.holds(c.values), c.holds) << c.text;
    }
    for (const char* bad : {"A", "A > ", "> 3", "A => 3", "A > 3 and", "A > x"}) {
        EXPECT_THROW(TriggerCondition::parse(bad), Error) << bad;
    }
}

} // namespace
} // namespace vistrel::testing
