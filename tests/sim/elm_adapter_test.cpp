// SPDX-License-Identifier: MIT
#include "fakes/adapter_test_ecu.h"
#include "link/elm_reply.h"
#include "sim/elm_adapter.h"
#include "sim/kwp_responder.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

using M = ElmMessage;
constexpr const char* kKline = "ATH1;ATSP5;ATSH8110F1";

TEST(VirtualAdapter, AnswersLikeTheAdapter) {
    const struct {
        const char* name;
        bool clone;
        // Commands separated by ';', the first the header setting, which tells
        // the line form.
        const char* setup;
        const char* request;
        // The parsed reply: its data, or the adapter's message.
        const char* data;
        ElmMessage message = ElmMessage::None;
    } cases[] = {
        {"KlineFast", false, kKline, "2301A2B302", "631234"},
        {"KlineCountNoSpaces", false, "ATH1;ATS0;ATSP5;ATSH 81 10 F1", "2301A2B3021", "631234"},
        {"KlineWrongTarget", false, "ATH1;ATSP5;ATSH8111F1", "2301A2B302", "", M::BusInitError},
        {"Kline5BaudNoInit", false, "ATH1;ATSP4;ATSH8110F1", "2301A2B302", "", M::BusInitError},
        {"Kline5Baud", false, "ATH1;ATSP4;ATSH8110F1;ATIIA10", "2301A2B302", "631234"},
        {"KlineTooLong", false, kKline, "2CE0D001010001A2B3", "", M::Unknown},
        {"CanSingle", false, "ATH0;ATSP6;ATSH7E0;ATCRA7E8", "2301A2B302", "631234"},
        {"CanOtherIdentifier", false, "ATH0;ATSP6;ATSH7E1", "2301A2B302", "", M::NoData},
        {"Can29FlowControl", false,
         "ATH0;ATSP7;ATCP18;ATSHDA10F1;ATCRA18DAF110;ATFCSH18DA10F1;ATFCSD300000;ATFCSM1",
         "2301A2B30A", "63123456789ABCDEF01122"},
        {"Can29NoFlowControl", false, "ATH0;ATSP7;ATCP18;ATSHDA10F1;ATCRA18DAF110", "2301A2B30A",
         "", M::Garbled},
        {"CloneLacksLong", true, kKline, "ATAL", "", M::Unknown},
        {"CloneLacksFastInit", true, kKline, "ATFI", "", M::Unknown},
        {"CloneLacksKeepAlive", true, "ATH1;ATSP5", "ATWM8110F13E", "", M::Unknown},
        {"GenuineFastInit", false, kKline, "ATFI", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KwpResponder ecu(parseEcuDescription(testing::kAdapterTestEcu, "test", "."));
        ElmAdapter adapter(
            [&](const ByteString& q, ByteString& r) { return ecu.answer(q.bytes(), r); }, c.clone);
        EXPECT_EQ(adapter.receive("ATZ\r"), "ATZ\r\r\n\r\nELM327 v1.5\r\n\r\n>");
        EXPECT_EQ(adapter.receive("ATE0\r"), "ATE0\rOK\r\n\r\n>");
        EXPECT_EQ(adapter.receive("ATL0\r"), "OK\r\r>");
        const std::vector<std::string> setup = testing::splitText(c.setup, ";");
        for (const std::string& command : setup) {
            EXPECT_EQ(adapter.receive(command + "\r"), "OK\r\r>") << command;
        }
        const std::string out = adapter.receive(std::string(c.request) + "\r");
        ASSERT_TRUE(out.ends_with("\r\r>")) << out;
        ElmLineFormat format;
        format.klineHeaders = setup.front() == "ATH1";
        ASSERT_TRUE(format.klineHeaders || setup.front() == "ATH0");
        const ElmReply reply = parseElmReply(out.substr(0, out.size() - 1), format);
        EXPECT_EQ(reply.message, c.message) << out;
        EXPECT_EQ(reply.messages.empty() ? "" : reply.messages.front().text(), c.data) << out;
    }
}

} // namespace
} // namespace vistrel
