// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

class PollingCycleTest : public ControlTest {
protected:
    // Started, then ticked into the state asked for with good steps.
    void reach(int state) {
        startTwoItems();
        protocol->reply("50A0");
        ticks(state - 1);
        ASSERT_EQ(static_cast<int>(control.cycleState()), state);
    }
    // A fresh protocol, handed over when the next case starts.
    void renewProtocol() {
        control.setProtocol(nullptr);
        protocol = std::make_shared<HookedProtocol>();
    }
};

TEST_F(PollingCycleTest, EveryTransitionOfTheStateTable) {
    const std::string badHex = "Invalid hexadecimal text (1): odd digit count";
    const struct {
        const char* name;
        int from;
        std::vector<ScriptedProtocol::Answer> answers;
        int to;
        std::string panels; // Status|Com|Run afterwards
        std::vector<std::string> values;
        std::optional<Error> init = std::nullopt; // the answer of the opening
        bool abort = false;           // an Abort inside the step halts the cycle where it is
        const char* session = "10A0"; // the text box as the user left it
    } cases[] = {
        {"init fails", 1, {}, 1, "No link|Init|", {"", ""}, Error(2001, "No link")},
        {"init succeeds", 1, {}, 2, "|Start|", {"", ""}},
        {"session refused", 2, {Error(2040, "Refused")}, 2, "Refused|Start|", {"", ""}},
        {"session accepted", 2, {"50A0"}, 3, "|Com|", {"", ""}},
        {"good read", 3, {"631234", "6356"}, 3, "|Com|\\", {"1234", "56"}},
        {"one item refused", 3, {Error(2035, "Busy"), "6356"}, 3, "|Com||", {"Busy", "56"}},
        {"every item fails", 3, {}, 1, "Error global : (No answer at due time)|Init|", {"", ""}},
        {"abort in the opening", 1, {}, 1, "|Init|", {"", ""}, std::nullopt, true},
        {"abort in the session", 2, {}, 2, "|Start|", {"", ""}, std::nullopt, true},
        {"abort in the read", 3, {}, 3, "|Com|", {"", ""}, std::nullopt, true},
        // A session text that is not hexadecimal sends nothing: a request would
        // meet no answer and show that error instead.
        {"bad session", 2, {}, 2, badHex + "|Start|", {"", ""}, std::nullopt, false, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewProtocol();
        control.setStartSession(c.session);
        reach(c.from);
        protocol->initAnswers.push_back(c.init);
        protocol->answers.assign(c.answers.begin(), c.answers.end());
        if (c.abort) {
            protocol->duringNextInit = [&] { control.Abort(); };
            protocol->duringNextExchange = [&] { control.Abort(); };
        }
        ticks(1);
        EXPECT_EQ(static_cast<int>(control.cycleState()), c.to);
        EXPECT_EQ(ports.timer.enabled, !c.abort);
        EXPECT_EQ(ports.view.tools({"Paste"}), "Paste:--");
        EXPECT_EQ(ports.view.panelLine({"Status", "Com", "Run"}), c.panels);
        EXPECT_EQ(ports.view.valueColumn(), c.values);
    }
}

// The boxes as the user left them reach the list at Start.
TEST_F(PollingCycleTest, EachMethodSendsItsRequests) {
    const struct {
        const char* method;
        int lengthSize;
        const char* protocolName;
        std::vector<std::string> exchanges; // request>reply, the session's first
    } cases[] = {
        {"ReadMemoryByAddress",
         2,
         "KWP",
         {"1081>5081", "2301A2B30002>631234", "230A00000001>6356"}},
        // The batch name alone does not make a batch: the method must read by address.
        {"DynamicallyDefined",
         1,
         "Marlotel",
         {"10A0>50A0", "2CE0D001020001A2B3>6CE0", "21E0>61E01234", "2CE0D00101000A0000>6CE0",
          "21E0>61E056"}},
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
        for (const std::string& exchange : c.exchanges) {
            requests.push_back(exchange.substr(0, exchange.find('>')));
            protocol->reply(exchange.substr(exchange.find('>') + 1));
        }
        control.editSessionText(requests.front());
        control.toolbarClick("Stop"); // while idle: a request the next Start clears
        control.toolbarClick("Start");
        ticks(3);
        EXPECT_EQ(protocol->requests, requests);
        EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    }
}

TEST_F(PollingCycleTest, BatchProtocolReadsTheListInOneCanXmlDocument) {
    FakeCanXml batch;
    batch.replies = {{"01A2B32", "03631234AAAAAAAA"}, {"0A00001", "026356AAAAAAAAAA"}};
    protocol->name = "Marlotel";
    protocol->processor = &batch;
    protocol->rid = 1234;
    reach(3);
    control.keyUp('V', 6); // snapshot armed
    ticks(1);

    EXPECT_EQ(protocol->requests, (std::vector<std::string>{"10A0"})); // only the session
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    EXPECT_EQ(static_cast<int>(control.cycleState()), 3);
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
        ticks(1);
    }
    // A failed exchange fails the whole read, with the error it names.
    const std::pair<const char*, const char*> failures[] = {
        {"ErrorRcvTO", "No answer at due time"},
        {"Bus gone", "Unknown error (Bus gone)"},
    };
    for (const auto& [failure, status] : failures) {
        batch.failure = failure;
        ticks(1);
        EXPECT_EQ(static_cast<int>(control.cycleState()), 1) << failure;
        EXPECT_EQ(ports.view.panel("Status"), status);
        EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"", ""}));
        protocol->reply("50A0");
        ticks(2);
    }
}

TEST_F(PollingCycleTest, AbortBetweenTicksStopsTheCommunication) {
    reach(3);
    pressRec();
    ASSERT_TRUE(control.recording());
    control.Abort();
    ticks(1);

    EXPECT_EQ(static_cast<int>(control.cycleState()), 0);
    EXPECT_FALSE(ports.timer.enabled);
    EXPECT_EQ(ports.view.panelLine({"Com", "Run", "Status", "Rec"}), "||| ");
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(ports.view.tools({"Start", "Stop", "Rec", "Paste"}),
              "Start:EP Stop:E- Rec:E- Paste:E-");
    EXPECT_TRUE(ports.view.methodBoxEnabled);
    EXPECT_FALSE(control.abortPending());
    EXPECT_TRUE(control.items().AbortRequest()); // cleared by the next Start
}

} // namespace
} // namespace vistrel::testing
