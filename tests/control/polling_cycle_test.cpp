// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

class PollingCycleTest : public ControlTest {
protected:
    // Started, then ticked into the state asked for with good steps.
    void reach(int state) {
        startTwoItems();
        if (state >= 2) {
            ticks(1);
        }
        if (state >= 3) {
            protocol->reply("50A0");
            ticks(1);
        }
        ASSERT_EQ(static_cast<int>(control.cycleState()), state);
    }
    // A fresh protocol, handed over when the next case starts.
    void renewProtocol() {
        control.setProtocol(nullptr);
        protocol = std::make_shared<HookedProtocol>();
    }
};

TEST_F(PollingCycleTest, EveryTransitionOfTheStateTable) {
    const struct {
        const char* name;
        int from;
        std::function<void(ScriptedProtocol&)> script;
        int to;
        std::map<std::string, std::string> panels; // panels expected afterwards
        std::vector<std::string> values;
    } cases[] = {
        {"init fails",
         1,
         [](ScriptedProtocol& p) { p.initAnswers.push_back(Error(2001, "No link")); },
         1,
         {{"Status", "No link"}, {"Com", "Init"}},
         {"", ""}},
        {"init succeeds",
         1,
         [](ScriptedProtocol&) {},
         2,
         {{"Status", ""}, {"Com", "Start"}, {"Run", ""}},
         {"", ""}},
        {"session refused",
         2,
         [](ScriptedProtocol& p) { p.fail(2040, "Service 10 Negative response 31"); },
         2,
         {{"Status", "Service 10 Negative response 31"}, {"Com", "Start"}},
         {"", ""}},
        {"session accepted",
         2,
         [](ScriptedProtocol& p) { p.reply("50A0"); },
         3,
         {{"Status", ""}, {"Com", "Com"}},
         {"", ""}},
        {"good read",
         3,
         [](ScriptedProtocol& p) {
             p.reply("631234");
             p.reply("6356");
         },
         3,
         {{"Status", ""}, {"Com", "Com"}, {"Run", "\\"}},
         {"1234", "56"}},
        {"one item refused is still a good read",
         3,
         [](ScriptedProtocol& p) {
             p.fail(2035, "Busy-repeat request");
             p.reply("6356");
         },
         3,
         {{"Com", "Com"}, {"Run", "|"}},
         {"Busy-repeat request", "56"}},
        {"every item fails",
         3,
         [](ScriptedProtocol&) {},
         1,
         {{"Status", "Error global : (No answer at due time)"}, {"Com", "Init"}, {"Run", ""}},
         {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewProtocol();
        reach(c.from);
        c.script(*protocol);
        ticks(1);
        EXPECT_EQ(static_cast<int>(control.cycleState()), c.to);
        EXPECT_TRUE(ports.timer.enabled);
        for (const auto& [key, text] : c.panels) {
            EXPECT_EQ(ports.view.panel(key), text) << key;
        }
        EXPECT_EQ(ports.view.valueColumn(), c.values);
    }
}

// The boxes as the user left them reach the list at Start.
TEST_F(PollingCycleTest, EachMethodSendsItsRequests) {
    const struct {
        const char* method;
        int lengthSizeIndex;
        const char* session;
        const char* protocolName;
        std::vector<std::string> replies;
        std::vector<std::string> requests;
    } cases[] = {
        {"ReadMemoryByAddress",
         0,
         "10A0",
         "KWP",
         {"50A0", "631234", "6356"},
         {"10A0", "2301A2B302", "230A000001"}},
        {"ReadMemoryByAddress",
         1,
         "1081",
         "KWP",
         {"5081", "631234", "6356"},
         {"1081", "2301A2B30002", "230A00000001"}},
        // The batch name alone does not make a batch: the method must read by address.
        {"DynamicallyDefined",
         0,
         "10A0",
         "Marlotel",
         {"50A0", "6CE0", "61E01234", "6CE0", "61E056"},
         {"10A0", "2CE0D001020001A2B3", "21E0", "2CE0D00101000A0000", "21E0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.lengthSizeIndex));
        renewProtocol();
        protocol->name = c.protocolName;
        handOver();
        pasteTwoItems();
        control.chooseMethod(c.method);
        control.chooseLengthSize(c.lengthSizeIndex + 1);
        control.editSessionText(c.session);
        control.toolbarClick("Start");
        EXPECT_FALSE(ports.view.button("Paste").enabled);
        EXPECT_FALSE(ports.view.methodBoxEnabled);
        for (const auto& reply : c.replies) {
            protocol->reply(reply);
        }
        ticks(3);
        EXPECT_EQ(protocol->requests, c.requests);
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
    ticks(1);

    EXPECT_EQ(batch.executions, 1);
    EXPECT_EQ(protocol->requests, (std::vector<std::string>{"10A0"})); // only the session
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    EXPECT_EQ(static_cast<int>(control.cycleState()), 3);

    // The processor got the declaration, the timings instruction and the request.
    const pugi::xml_node first = batch.received.first_child();
    EXPECT_EQ(first.type(), pugi::node_declaration);
    EXPECT_STREQ(first.attribute("encoding").value(), "windows-1252");
    EXPECT_EQ(first.next_sibling().type(), pugi::node_pi);
    EXPECT_STREQ(first.next_sibling().name(), "timings");
    EXPECT_STREQ(batch.received.document_element().name(), "can");
    EXPECT_STREQ(batch.received.select_node("/can/x").node().attribute("i").value(), "1234");

    // Each read works on a fresh copy of the request.
    ticks(1);
    EXPECT_EQ(batch.executions, 2);
    EXPECT_EQ(batch.received.select_nodes("//r/d").size(), 0U);
    EXPECT_EQ(batch.replied.select_nodes("//r/d").size(), 2U);
}

TEST_F(PollingCycleTest, FailedBatchReadsShowTheirErrors) {
    const struct {
        const char* name;
        const char* failure;
        const char* status;
    } cases[] = {
        {"time-out", "ErrorRcvTO", "No answer at due time"},
        {"unknown", "Bus gone", "Unknown error (Bus gone)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCanXml batch;
        batch.failure = c.failure;
        renewProtocol();
        protocol->name = "Marlotel";
        protocol->processor = &batch;
        reach(3);
        ticks(1);
        EXPECT_EQ(static_cast<int>(control.cycleState()), 1);
        EXPECT_EQ(ports.view.panel("Status"), c.status);
        EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"", ""}));
    }
}

TEST_F(PollingCycleTest, BadSessionTextSendsNothing) {
    control.setStartSession("10A");
    handOver();
    pasteTwoItems();
    ports.view.session = "10A"; // the text box as the user left it
    control.toolbarClick("Start");
    ticks(2);
    EXPECT_EQ(static_cast<int>(control.cycleState()), 2);
    EXPECT_TRUE(protocol->requests.empty());
    EXPECT_FALSE(ports.view.panel("Status").empty());
}

TEST_F(PollingCycleTest, AbortBetweenTicksStopsTheCommunication) {
    reach(3);
    pressRec();
    ASSERT_TRUE(control.recording());
    ports.view.setButtonPressed("Start", true);
    ports.view.setButtonPressed("Stop", false);
    control.Abort();
    ticks(1);

    EXPECT_EQ(static_cast<int>(control.cycleState()), 0);
    EXPECT_FALSE(ports.timer.enabled);
    for (const char* key : {"Com", "Run", "Status"}) {
        EXPECT_EQ(ports.view.panel(key), "") << key;
    }
    EXPECT_EQ(ports.view.panel("Rec"), " ");
    EXPECT_FALSE(control.recording());
    EXPECT_FALSE(ports.view.button("Rec").pressed);
    EXPECT_TRUE(ports.view.button("Paste").enabled);
    EXPECT_TRUE(ports.view.methodBoxEnabled);
    EXPECT_FALSE(control.abortPending());
    EXPECT_TRUE(control.items().AbortRequest()); // cleared by the next Start
    EXPECT_TRUE(ports.view.button("Start").pressed);
    EXPECT_FALSE(ports.view.button("Stop").pressed);
}

TEST_F(PollingCycleTest, AbortInsideAStepHaltsTheCycleWhereItIs) {
    const struct {
        const char* name;
        int state;
    } cases[] = {{"open", 1}, {"session", 2}, {"read", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewProtocol();
        reach(c.state);
        protocol->duringNextInit = [&] { control.Abort(); };
        protocol->duringNextExchange = [&] { control.Abort(); };
        const auto panelsBefore = ports.view.panels;
        ticks(1);
        EXPECT_EQ(static_cast<int>(control.cycleState()), c.state);
        EXPECT_FALSE(ports.timer.enabled);
        EXPECT_EQ(ports.view.panels, panelsBefore);
        EXPECT_FALSE(ports.view.button("Paste").enabled);
    }
}

TEST_F(PollingCycleTest, StopIsARequestThatTheNextStartClears) {
    handOver();
    pasteTwoItems();
    const auto panelsBefore = ports.view.panels;
    control.toolbarClick("Stop"); // idle: nothing visible happens
    EXPECT_TRUE(control.abortPending());
    EXPECT_EQ(ports.view.panels, panelsBefore);
    control.toolbarClick("Start");
    EXPECT_FALSE(control.abortPending());
    ticks(1);
    EXPECT_EQ(static_cast<int>(control.cycleState()), 2);
}

} // namespace
} // namespace vistrel::testing
