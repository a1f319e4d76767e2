// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "fakes/scripted_protocol.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vistrel {
namespace {

using testing::ScriptedProtocol;

class ListRead : public ::testing::Test {
protected:
    // Items at 01, 02, 03, ... of length 1.
    void addItems(int n) {
        for (int i = 1; i <= n; ++i) {
            items.add("0" + std::to_string(i)).setLength(1);
        }
    }
    // The error that read reported, or nullopt.
    std::optional<Error> readError(pugi::xml_node snapshot = {}) {
        return testing::errorOf([&] { items.read(snapshot); });
    }

    VistrelItems items{testing::kEnglish};
    std::shared_ptr<ScriptedProtocol> protocol = std::make_shared<ScriptedProtocol>();
};

TEST_F(ListRead, OutcomesByAddress) {
    const Error timeout(2000, "No answer at due time");
    const Error busy(2035, "Busy-repeat request");
    const struct {
        const char* what;
        std::vector<ScriptedProtocol::Answer> answers;
        std::optional<std::string> error; // text of error 10, if any
        std::vector<std::int32_t> itemCodes;
    } cases[] = {
        {"all good", {"6311", "6322", "6333"}, std::nullopt, {0, 0, 0}},
        {"only the second fails", {"6311", timeout, "6333"}, std::nullopt, {0, 2000, 0}},
        {"all fail, last text wins",
         {Error(1, "first"), Error(2, "second"), Error(3, "third")},
         "Error global : (third)",
         {1, 2, 3}},
        // A refusal with a known reason is no failed read.
        {"refusals and failures", {timeout, busy, timeout}, std::nullopt, {2000, 2035, 2000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        items.clear();
        addItems(3);
        protocol->answers.assign(c.answers.begin(), c.answers.end());
        protocol->requests.clear();
        items.setProtocol(protocol);

        pugi::xml_document snapshot;
        const auto error = readError(snapshot.append_child("snapshot"));
        ASSERT_EQ(error.has_value(), c.error.has_value());
        if (error) {
            EXPECT_EQ(error->number(), 10);
            EXPECT_EQ(error->description(), *c.error);
        }
        EXPECT_EQ(protocol->requests, (std::vector<std::string>{"230101", "230201", "230301"}));
        for (std::size_t i = 0; i < c.itemCodes.size(); ++i) {
            EXPECT_EQ(items.at(i).errorCode(), c.itemCodes[i]) << "item " << i;
        }
        // One snapshot record per item.
        const pugi::xml_node records = snapshot.first_child();
        EXPECT_EQ(std::distance(records.begin(), records.end()), 3);
        if (c.itemCodes[0] == 0) {
            EXPECT_EQ(items.at(0).valueByte().text(), "11");
            EXPECT_EQ(records.first_child().attribute("value").value(), std::string("11"));
        }
    }
}

// Without a protocol nothing is read; an empty list is a list whose every
// item failed, abort or not; an abort before the first item reads nothing.
TEST_F(ListRead, NoProtocolNoItemsOrAbortBeforeTheFirst) {
    const struct {
        int items;
        bool withProtocol;
        const char* error; // nullptr: no error
    } cases[] = {
        {0, false, "VistrelItems.read  : Protocol not defined"},
        {2, false, "VistrelItems.read  : Protocol not defined"},
        {0, true, "Error global : ()"},
        {2, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items);
        items.clear();
        addItems(c.items);
        items.setProtocol(c.withProtocol ? protocol : nullptr);
        items.setAbortRequest(true);
        const auto error = readError();
        ASSERT_EQ(error.has_value(), c.error != nullptr);
        if (error) {
            EXPECT_EQ(error->number(), 10);
            EXPECT_EQ(error->description(), c.error);
        }
        EXPECT_TRUE(protocol->requests.empty());
    }
}

// A pulled cable fails the whole read with the device's failure, whatever
// the method makes of a failed exchange item by item, so that the cycle opens
// the communication again.
TEST_F(ListRead, ALostDeviceFailsTheWholeReadWithEveryMethod) {
    addItems(3);
    items.setProtocol(protocol);
    protocol->fallback = Error(link_error::kDeviceLost, "lost the device /dev/ttyUSB0");
    for (const Method method :
         {Method::ReadMemoryByAddress, Method::DynamicallyDefined, Method::DynamicallyDefinedPacked,
          Method::ReadMemoryByAddressMerged}) {
        items.setMethod(method);
        EXPECT_EQ(readError().value_or(Error(0, "")).number(), 10) << static_cast<int>(method);
    }
}

// The first exchange without any answer is told at once; two in a row end
// the pass, the rest failing unsent. A refusal is an answer. A request that
// went unanswered while others were answered (the second pass of the last
// case) is an item the ECU will not read: neither told nor counted.
TEST_F(ListRead, SilenceIsToldAtOnceAndTwoInARowEndThePass) {
    const Error timeout(2000, "No answer at due time");
    const struct {
        std::vector<ScriptedProtocol::Answer> answers; // then silence
        std::size_t sent;
        std::size_t toldAfter; // 0: never told
    } cases[] = {
        {{}, 2, 1},
        {{timeout, Error(2035, "Busy-repeat request"), timeout, "6344"}, 4, 1},
        {{"6311"}, 3, 2},
        {{"6311", timeout, "6333", "6344", "6311", timeout, "6333", "6344"}, 8, 0},
    };
    for (const auto& c : cases) {
        items.clear();
        addItems(4);
        protocol->answers.assign(c.answers.begin(), c.answers.end());
        protocol->requests.clear();
        items.setProtocol(protocol);
        std::size_t toldAfter = 0;
        const auto tell = [&](const Error&) { toldAfter = protocol->requests.size(); };
        for (std::size_t read = 0; read < c.sent; read += 4) {
            toldAfter = 0;
            testing::errorOf([&] { items.read({}, tell); });
        }
        EXPECT_EQ(protocol->requests.size(), c.sent) << c.answers.size();
        EXPECT_EQ(toldAfter, c.toldAfter) << c.answers.size();
        EXPECT_EQ(items.at(3).errorText(), c.sent < 4 ? timeout.description() : "");
    }
}

// Sets the abort flag while the first item waits for its reply, as the
// host's Abort does.
struct AbortingProtocol : ScriptedProtocol {
    explicit AbortingProtocol(VistrelItems& items) : list(items) {}
    void SendReceive(const ByteString& request, ByteString& reply) override {
        list.setAbortRequest(true);
        ScriptedProtocol::SendReceive(request, reply);
    }
    VistrelItems& list;
};

TEST_F(ListRead, AbortTakesEffectAtTheNextItemAndHidesFailures) {
    addItems(3);
    auto aborting = std::make_shared<AbortingProtocol>(items);
    aborting->fail(2000, "No answer at due time");
    items.setProtocol(aborting);
    EXPECT_FALSE(readError());
    EXPECT_EQ(aborting->requests, (std::vector<std::string>{"230101"}));
    EXPECT_EQ(items.at(0).errorCode(), 2000);
}

} // namespace
} // namespace vistrel
