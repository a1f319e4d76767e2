// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

class PollingCycleTest : public ControlTest {
protected:
    // Started, then let through good steps until the engine waits in the
    // call of the phase asked for.
    void reach(CyclePhase phase) {
        startTwoItems();
        protocol->reply("50A0");
        calls(static_cast<int>(phase) - 1);
        ASSERT_EQ(control.cycleState(), phase);
    }
    // A fresh protocol, handed over when the next case starts.
    void renewProtocol() {
        protocol->openGate();
        control.toolbarClick("Stop");
        settle();
        protocol = std::make_shared<SteppedProtocol>();
    }
};

TEST_F(PollingCycleTest, EveryTransitionOfTheStateTable) {
    using enum CyclePhase;
    const struct {
        CyclePhase from;
        std::vector<ScriptedProtocol::Answer> answers;
        int calls;
        CyclePhase to;
        std::string panels;                       // Status|Com|Run afterwards
        std::string values;                       // of both items, joined by |
        std::optional<Error> init = std::nullopt; // the answer of the opening
    } cases[] = {
        {OpenCommunication, {}, 1, OpenCommunication, "No link|Init|", "|", Error(2001, "No link")},
        {OpenCommunication, {}, 1, StartSession, "|Start|", "|"},
        {StartSession, {Error(2040, "Refused")}, 1, StartSession, "Refused|Start|", "|"},
        {StartSession, {"50A0"}, 1, Run, "|Com|", "|"},
        {Run, {"631234", "6356"}, 2, Run, "|Com|\\", "1234|56"},
        {Run, {Error(2035, "Busy"), "6356"}, 2, Run, "|Com||", "Busy|56"},
        // Every item fails: the cycle opens the communication again.
        {Run, {}, 2, OpenCommunication, "Error global : (No answer at due time)|Init|", "|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panels);
        renewProtocol();
        reach(c.from);
        protocol->initAnswers.push_back(c.init);
        protocol->answers.assign(c.answers.begin(), c.answers.end());
        calls(c.calls);
        EXPECT_EQ(control.cycleState(), c.to);
        EXPECT_EQ(ports.view.tools({"Paste"}), "Paste:--");
        EXPECT_EQ(ports.view.panelLine({"Status", "Com", "Run"}), c.panels);
        const auto values = ports.view.valueColumn();
        ASSERT_EQ(values.size(), 2U);
        EXPECT_EQ(values[0] + "|" + values[1], c.values);
        EXPECT_TRUE(protocol->waiting());
    }
}

// The boxes as the user left them reach the list at Start.
// The first exchange without an answer shows at once, while the read goes
// on; the values shown are stale from then. A read that succeeds brings back
// what Status showed before (the recording's file), the failing item keeping
// its own error.
TEST_F(PollingCycleTest, SilenceShowsAtOnceAndGoesWithTheNextGoodRead) {
    reach(CyclePhase::Run);
    goodRead();
    pressRec();
    const std::string recordingFile = ports.view.panelLine({"Status"});
    ASSERT_FALSE(recordingFile.empty());
    protocol->fail(2000, "No answer at due time");
    calls(1);
    EXPECT_EQ(ports.view.panelLine({"Status"}), "No answer at due time (last good read 0.0 s ago)");
    EXPECT_TRUE(ports.view.valuesStale);
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    protocol->reply("6356");
    calls(1);
    EXPECT_EQ(ports.view.panelLine({"Status"}), recordingFile);
    EXPECT_FALSE(ports.view.valuesStale);
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"No answer at due time", "56"}));
}

TEST_F(PollingCycleTest, EachMethodSendsItsRequests) {
    const struct {
        const char* method;
        int lengthSize;
        const char* protocolName;
        const char* exchanges; // request>reply, the session's first
    } cases[] = {
        {"ReadMemoryByAddress", 2, "KWP", "1081>5081 2301A2B30002>631234 230A00000001>6356"},
        // The batch name alone does not make a batch: the method must read by address.
        {"DynamicallyDefined", 1, "Marlotel",
         "10A0>50A0 2CE0D001020001A2B3>6CE0 21E0>61E01234 2CE0D00101000A0000>6CE0 21E0>61E056"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.lengthSize));
        renewProtocol();
        protocol->name = c.protocolName;
        handOver();
        pasteTwoItems();
        control.chooseMethod(c.method);
        control.chooseLengthSize(c.lengthSize);
        std::vector<std::string> requests;
        std::istringstream exchanges(c.exchanges);
        for (std::string exchange; exchanges >> exchange;) {
            requests.push_back(exchange.substr(0, exchange.find('>')));
            protocol->reply(exchange.substr(exchange.find('>') + 1));
        }
        control.editSessionText(requests.front());
        control.toolbarClick("Start");
        calls(1 + static_cast<int>(requests.size()));
        EXPECT_EQ(protocol->requestsSent(), requests);
        EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    }
}

TEST_F(PollingCycleTest, BatchProtocolReadsTheListInOneCanXmlDocument) {
    batch.replies = {{"01A2B32", "03631234AAAAAAAA"}, {"0A00001", "026356AAAAAAAAAA"}};
    batch.gate = protocol.get();
    protocol->name = "Marlotel";
    protocol->processor = &batch;
    protocol->rid = 1234;
    control.keyUp('V', 6); // snapshot armed
    reach(CyclePhase::Run);
    calls(1);

    EXPECT_EQ(protocol->requestsSent(), (std::vector<std::string>{"10A0"})); // only the session
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    EXPECT_EQ(control.cycleState(), CyclePhase::Run);
    EXPECT_FALSE(control.snapshotArmed());
    // The batch's exchanges are not the items': its snapshot holds no record.
    pugi::xml_document snapshot;
    ASSERT_TRUE(snapshot.load_file(directory.file("snapshotvistrel.xml").c_str()));
    EXPECT_STREQ(snapshot.document_element().name(), "snapshot");
    EXPECT_FALSE(snapshot.document_element().first_child());

    // The processor got the declaration, the timings instruction and the
    // request, and each read works on a fresh copy of it.
    for (int read = 1; read <= 2; ++read) {
        std::ostringstream received;
        batch.received.save(received, "", pugi::format_raw);
        EXPECT_EQ(received.str(),
                  "<?xml version=\"1.0\" encoding=\"windows-1252\"?><?timings?><can>\r\n"
                  "<x i=\"1234\">\r\n<i>2024</i>\r\n<s><d>052301A2B3020000</d></s>\r\n"
                  "<r c=\"01A2B32\"/>\r\n<s><d>05230A0000010000</d></s>\r\n"
                  "<r c=\"0A00001\"/>\r\n</x></can>")
            << read;
        EXPECT_EQ(batch.executions, read);
        calls(1);
    }
    // A failed exchange fails the whole read, with the error it names.
    batch.failure = "ErrorRcvTO";
    calls(1);
    EXPECT_EQ(control.cycleState(), CyclePhase::OpenCommunication);
    EXPECT_TRUE(ports.view.panel("Status").starts_with("No answer at due time"))
        << ports.view.panel("Status");
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"", ""}));
}

TEST_F(PollingCycleTest, StopDuringAReadEndsTheCycleAtTheNextExchangeAndClosesTheRecording) {
    reach(CyclePhase::Run);
    pressRec();
    ASSERT_TRUE(control.recording());
    protocol->reply("631234");
    control.toolbarClick("Stop");
    calls(1); // the exchange in flight ends; the second item is not asked for

    EXPECT_EQ(protocol->requestsSent().size(), 2U);
    EXPECT_EQ(control.cycleState(), CyclePhase::Idle);
    EXPECT_EQ(ports.view.panelLine({"Com", "Run", "Status", "Rec"}), "||| ");
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.tools({"Start", "Stop", "Rec", "Paste"}),
              "Start:E- Stop:EP Rec:E- Paste:E-");
    EXPECT_TRUE(ports.view.methodBoxEnabled);
    EXPECT_FALSE(protocol->waiting());
}

} // namespace
} // namespace vistrel::testing
