// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/periodic_source.h"
#include "components/uds_negative_response.h"
#include "fakes/error_of.h"
#include "fakes/scripted_protocol.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedProtocol;
using Answer = ScriptedProtocol::Answer;

Error refusal(std::uint8_t sid, std::uint8_t code) {
    return udsNegativeResponseError(sid, code);
}
const Error kTimeout(2000, "No answer at due time");

// Frames that the ECU sent by itself, on a clock that only moves while the
// reader waits for them.
struct FakePeriodicSource : PeriodicSource {
    std::size_t periodicDataBytes() const override { return 7; }
    std::optional<ByteString> receivePeriodic(std::chrono::milliseconds timeout) override {
        if (frames.empty()) {
            now += timeout;
            return std::nullopt;
        }
        now += 10ms;
        ByteString frame = ByteString::fromText(frames.front());
        frames.pop_front();
        return frame;
    }
    std::uint8_t periodicRate() const override { return 3; }
    bool periodicIdOfItsOwn() const override { return false; }

    std::deque<std::string> frames;
    std::chrono::steady_clock::time_point now{};
};

class UdsRead : public ::testing::Test {
protected:
    void SetUp() override {
        protocol->spoken = DiagnosticFamily::Uds;
        protocol->periodic = &periodic;
        items.setProtocol(protocol);
        items.setClock([this] { return periodic.now; });
    }
    // Items given as "ADDRESS/LENGTH".
    void addItems(std::initializer_list<const char*> definitions) {
        for (const std::string definition : definitions) {
            const auto slash = definition.find('/');
            items.add(definition.substr(0, slash))
                .setLength(std::stoi(definition.substr(slash + 1)));
        }
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < static_cast<std::size_t>(items.count()); ++i) {
            shown.push_back(items.at(i).errorCode() == 0 ? items.at(i).valueByte().text()
                                                         : items.at(i).errorText());
        }
        return shown;
    }
    std::vector<std::string> read(std::vector<Answer> answers) {
        protocol->answers.assign(answers.begin(), answers.end());
        protocol->requests.clear();
        testing::errorOf([&] { items.read({}); });
        return protocol->requests;
    }

    VistrelItems items{testing::kEnglish};
    std::shared_ptr<ScriptedProtocol> protocol = std::make_shared<ScriptedProtocol>();
    FakePeriodicSource periodic;
};

using Requests = std::vector<std::string>;
using Texts = std::vector<std::string>;

TEST_F(UdsRead, EachMethodSpellsItsRequestsInUds) {
    const struct {
        const char* what;
        Method method;
        std::int32_t lengthSize;
        std::vector<Answer> answers;
        Requests requests;
        Texts shown;
    } cases[] = {
        {"by address: ALFID of size and address bytes",
         Method::ReadMemoryByAddress,
         1,
         {"631234", "6356"},
         {"231301A00002", "231401020304"
                          "01"},
         {"1234", "56"}},
        {"by address, two-byte sizes",
         Method::ReadMemoryByAddress,
         2,
         {"631234", "6356"},
         {"232301A0000002", "23240102030400"
                            "01"},
         {"1234", "56"}},
        {"one identifier per item: clear, define, read",
         Method::DynamicallyDefined,
         1,
         {"6C03F200", "6C02F200", "62F2001234", refusal(0x2C, 0x31), "6C02F201", "62F20156"},
         {"2C03F200", "2C02F2001301A00002", "22F200", "2C03F201", "2C02F201140102030401", "22F201"},
         {"1234", "56"}},
        {"one identifier per item: a reply for another identifier is no value",
         Method::DynamicallyDefined,
         1,
         {"6C03F200", "6C02F200", "62F2011234", "6C03F201", "6C02F201", "62F20156"},
         {"2C03F200", "2C02F2001301A00002", "22F200", "2C03F201", "2C02F201140102030401", "22F201"},
         {"Answer format illegal (62F2011234)", "56"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        items.clear();
        addItems({"01A000/2", "01020304/1"});
        items.setMethod(c.method);
        items.setLengthSize(c.lengthSize);
        EXPECT_EQ(read(c.answers), c.requests);
        EXPECT_EQ(texts(), c.shown);
    }
    items.clear();
    addItems({"01A000/2", "01A003/1"});
    items.setMethod(Method::ReadMemoryByAddressMerged);
    items.setLengthSize(1);
    items.setMergeWindow(255);
    EXPECT_EQ(read({"6312345678"}), Requests{"231301A00004"});
    EXPECT_EQ(texts(), (Texts{"1234", "78"}));
}

// The packed method asks for as much as the ECU takes, halves on a refusal,
// splits the reply by the identifiers it echoes, and defines again only
// when the ECU says the identifiers are gone.
TEST_F(UdsRead, PackedDefinesAsMuchAsTheEcuTakes) {
    addItems({"000001/1", "000002/1", "000003/1", "000004/1"});
    items.setMethod(Method::DynamicallyDefinedPacked);
    const struct {
        const char* what;
        std::vector<Answer> answers;
        Requests requests;
        Texts shown;
    } reads[] = {
        {"four refused, two and two taken",
         {"6C03F200", refusal(0x2C, 0x13), "6C03F200", "6C02F200", "6C03F201", "6C02F201",
          "62F200AABBF201CCDD"},
         {"2C03F200", "2C02F2001300000101000002010000030100000401", "2C03F200",
          "2C02F20013000001010000020"
          "1",
          "2C03F201",
          "2C02F20113000003010000040"
          "1",
          "22F200F201"},
         {"AA", "BB", "CC", "DD"}},
        {"in any order", {"62F201CCDDF200AABB"}, {"22F200F201"}, {"AA", "BB", "CC", "DD"}},
        {"an identifier left out: its items by address",
         {"62F2000102", "6303", refusal(0x23, 0x31)},
         {"22F200F201", "231300000301", "231300000401"},
         {"01", "02", "03", "Service 23 Negative response 31 (requestOutOfRange)"}},
        {"defined again as the ECU took them, the failing item by address",
         {"6C03F200", "6C02F200", "6C03F201", "6C02F201", "62F2000102F20103", "6304"},
         {"2C03F200",
          "2C02F20013000001010000020"
          "1",
          "2C03F201", "2C02F2011300000301", "22F200F201", "231300000401"},
         {"01", "02", "03", "04"}},
        {"a time-out: the items by address, the identifiers kept",
         {kTimeout, "6301", "6302", "6303", "6304"},
         {"22F200F201", "231300000101", "231300000201", "231300000301", "231300000401"},
         {"01", "02", "03", "04"}},
        {"read again without defining",
         {"62F200A1A2F201A3", "63A4"},
         {"22F200F201", "231300000401"},
         {"A1", "A2", "A3", "A4"}},
        {"a silent sensor: the others keep their values, it is left out",
         {kTimeout, "6301", kTimeout, "6303", "6304"},
         {"22F200F201", "231300000101", "231300000201", "231300000301", "231300000401"},
         {"01", "No answer at due time", "03", "04"}},
        {"defined again without it",
         {"6C03F200", "6C02F200", "62F2001133", kTimeout, "6344"},
         {"2C03F200",
          "2C02F20013000001010000030"
          "1",
          "22F200", "231300000201", "231300000401"},
         {"11", "No answer at due time", "33", "44"}},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(read(r.answers), r.requests);
        EXPECT_EQ(texts(), r.shown);
    }
}

TEST_F(UdsRead, PeriodicIdentifiersComeWithoutRequests) {
    addItems({"000010/2", "000020/2", "000030/8"});
    items.setMethod(Method::ReadDataByPeriodicIdentifier);
    periodic.frames = {"40AABBCCDD"};
    EXPECT_EQ(read({"6C03F240",
                    "6C02F24013000010020000200"
                    "2",
                    "6A"}),
              (Requests{"2C03F240",
                        "2C02F2401300001002000020"
                        "02",
                        "2A0340"}));
    EXPECT_EQ(texts(),
              (Texts{"AABB", "CCDD", "too long for a periodic identifier: 8 bytes, at most 7"}));

    periodic.frames = {"41FFFF", "401122334455667788"};
    EXPECT_EQ(read({}), Requests{});
    EXPECT_EQ(texts()[0], "1122");

    // Silent for longer than three periods: the values are no longer shown.
    EXPECT_EQ(read({}), Requests{});
    EXPECT_EQ(texts()[0].rfind("no periodic data since ", 0), 0u) << texts()[0];

    protocol->requests.clear();
    items.releaseReading();
    EXPECT_EQ(protocol->requests, Requests{"2A0440"});
}

// One locked item must not cost the items that share its identifier.
TEST_F(UdsRead, PeriodicOffersTheItemsOfARefusedIdentifierAlone) {
    addItems({"000010/2", "01B000/2"});
    items.setMethod(Method::ReadDataByPeriodicIdentifier);
    periodic.frames = {"41AABB"};
    EXPECT_EQ(read({"6C03F240", refusal(0x2C, 0x33), "6C03F241", "6C02F241", "6C03F242",
                    refusal(0x2C, 0x33), "6A"}),
              (Requests{"2C03F240",
                        "2C02F24013000010020"
                        "1B00002",
                        "2C03F241", "2C02F2411300001002", "2C03F242",
                        "2C02F242130"
                        "1B00002",
                        "2A0341"}));
    EXPECT_EQ(texts(), (Texts{"AABB", "Service 2C Negative response 33 (securityAccessDenied)"}));
}

TEST_F(UdsRead, PeriodicIsRefusedWhereNoFramesCanCome) {
    addItems({"000010/2"});
    items.setMethod(Method::ReadDataByPeriodicIdentifier);
    for (const bool uds : {false, true}) {
        protocol->spoken = uds ? DiagnosticFamily::Uds : DiagnosticFamily::Kwp2000;
        protocol->periodic = nullptr;
        const auto error = testing::errorOf([&] { items.read({}); });
        ASSERT_TRUE(error);
        EXPECT_NE(error->description().find("ReadDataByPeriodicIdentifier needs UDS on a CAN link"),
                  std::string::npos);
        EXPECT_TRUE(protocol->requests.empty());
    }
}

} // namespace
} // namespace vistrel
