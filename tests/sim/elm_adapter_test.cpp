// SPDX-License-Identifier: MIT
#include "fakes/adapter_test_ecu.h"
#include "link/elm_reply.h"
#include "sim/elm_adapter.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace vistrel {
namespace {

struct AdapterCase {
    const char* name;
    bool clone;
    // Starts with the header setting, which tells the line form.
    std::vector<const char*> setup;
    const char* request;
    // The parsed reply: its data, or the adapter's message.
    const char* data;
    ElmMessage message = ElmMessage::None;
};

void PrintTo(const AdapterCase& c, std::ostream* os) {
    *os << c.name;
}

class VirtualAdapter : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(VirtualAdapter, AnswersLikeTheAdapter) {
    const AdapterCase& c = GetParam();
    KwpResponder ecu(parseEcuDescription(testing::kAdapterTestEcu, "test", "."));
    ElmAdapter adapter([&](const ByteString& q, ByteString& r) { return ecu.answer(q.bytes(), r); },
                       c.clone);
    EXPECT_EQ(adapter.receive("ATZ\r"), "ATZ\r\r\n\r\nELM327 v1.5\r\n\r\n>");
    EXPECT_EQ(adapter.receive("ATE0\r"), "ATE0\rOK\r\n\r\n>");
    EXPECT_EQ(adapter.receive("ATL0\r"), "OK\r\r>");
    for (const char* command : c.setup) {
        const std::string out = adapter.receive(std::string(command) + "\r");
        EXPECT_EQ(out, "OK\r\r>") << command;
    }
    const std::string out = adapter.receive(std::string(c.request) + "\r");
    ASSERT_TRUE(out.ends_with("\r\r>")) << out;
    ElmLineFormat format;
    format.klineHeaders = std::string_view(c.setup.front()) == "ATH1";
    ASSERT_TRUE(format.klineHeaders || std::string_view(c.setup.front()) == "ATH0");
    const ElmReply reply = parseElmReply(out.substr(0, out.size() - 1), format);
    EXPECT_EQ(reply.message, c.message) << out;
    EXPECT_EQ(reply.messages.empty() ? "" : reply.messages.front().text(), c.data) << out;
}

INSTANTIATE_TEST_SUITE_P(
    Sim, VirtualAdapter,
    ::testing::Values(
        AdapterCase{"KlineFast", false, {"ATH1", "ATSP5", "ATSH8110F1"}, "2301A2B302", "631234"},
        AdapterCase{"KlineWithCountAndNoSpaces",
                    false,
                    {"ATH1", "ATS0", "ATSP5", "ATSH 81 10 F1"},
                    "2301A2B3021",
                    "631234"},
        AdapterCase{"KlineWrongTarget",
                    false,
                    {"ATH1", "ATSP5", "ATSH8111F1"},
                    "2301A2B302",
                    "",
                    ElmMessage::BusInitError},
        AdapterCase{"Kline5BaudWithoutInitAddress",
                    false,
                    {"ATH1", "ATSP4", "ATSH8110F1"},
                    "2301A2B302",
                    "",
                    ElmMessage::BusInitError},
        AdapterCase{"Kline5Baud",
                    false,
                    {"ATH1", "ATSP4", "ATSH8110F1", "ATIIA10"},
                    "2301A2B302",
                    "631234"},
        AdapterCase{"KlineTooLong",
                    false,
                    {"ATH1", "ATSP5", "ATSH8110F1"},
                    "2CE0D001010001A2B3",
                    "",
                    ElmMessage::Unknown},
        AdapterCase{"KlineSilentRange",
                    false,
                    {"ATH1", "ATSP5", "ATSH8110F1"},
                    "2301A2C002",
                    "",
                    ElmMessage::NoData},
        AdapterCase{
            "KlineNegative", false, {"ATH1", "ATSP5", "ATSH8110F1"}, "2301000002", "7F2331"},
        AdapterCase{
            "CanSingle", false, {"ATH0", "ATSP6", "ATSH7E0", "ATCRA7E8"}, "2301A2B302", "631234"},
        AdapterCase{"CanMultiFrame",
                    false,
                    {"ATH0", "ATSP6", "ATSH7E0"},
                    "2301A2B30A",
                    "63123456789ABCDEF01122"},
        AdapterCase{"CanOtherIdentifier",
                    false,
                    {"ATH0", "ATSP6", "ATSH7E1"},
                    "2301A2B302",
                    "",
                    ElmMessage::NoData},
        AdapterCase{"Can29WithFlowControl",
                    false,
                    {"ATH0", "ATSP7", "ATCP18", "ATSHDA10F1", "ATCRA18DAF110", "ATFCSH18DA10F1",
                     "ATFCSD300000", "ATFCSM1"},
                    "2301A2B30A",
                    "63123456789ABCDEF01122"},
        AdapterCase{"Can29WithoutFlowControl",
                    false,
                    {"ATH0", "ATSP7", "ATCP18", "ATSHDA10F1", "ATCRA18DAF110"},
                    "2301A2B30A",
                    "",
                    ElmMessage::Garbled},
        AdapterCase{"CloneLacksLong",
                    true,
                    {"ATH1", "ATSP5", "ATSH8110F1"},
                    "ATAL",
                    "",
                    ElmMessage::Unknown},
        AdapterCase{"CloneLacksFastInit",
                    true,
                    {"ATH1", "ATSP5", "ATSH8110F1"},
                    "ATFI",
                    "",
                    ElmMessage::Unknown},
        AdapterCase{"CloneLacksKeepAlive",
                    true,
                    {"ATH1", "ATSP5"},
                    "ATWM8110F13E",
                    "",
                    ElmMessage::Unknown},
        AdapterCase{"GenuineFastInit",
                    false,
                    {"ATH1", "ATSP5", "ATSH8110F1"},
                    "ATFI",
                    "",
                    ElmMessage::None}));

TEST(VirtualAdapter, InjectedMessagesAndReboot) {
    KwpResponder ecu(parseEcuDescription(testing::kAdapterTestEcu, "test", "."));
    ElmAdapter adapter([&](const ByteString& q, ByteString& r) { return ecu.answer(q.bytes(), r); },
                       false);
    adapter.receive("ATZ\rATE0\rATL0\rATSP6\rATSH7E0\r");
    adapter.sayOnNextRequest("BUS BUSY");
    EXPECT_EQ(adapter.receive("2301A2B302\r"), "BUS BUSY\r\r>");
    adapter.sayOnNextRequest("SEARCHING...", true);
    EXPECT_EQ(adapter.receive("2301A2B302\r"), "SEARCHING...\r63 12 34\r\r>");
    EXPECT_EQ(adapter.reboot(), "\r\n\r\nELM327 v1.5\r\n\r\n>");
    EXPECT_EQ(adapter.receive("ATI\r"), "ATI\rELM327 v1.5\r\n\r\n>");
}

} // namespace
} // namespace vistrel
