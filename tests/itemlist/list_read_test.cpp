// SPDX-License-Identifier: MIT
#include "components/error.h"
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
            std::string address = "0";
            address += std::to_string(i);
            items.add(address).setLength(1);
        }
    }
    // The error that read reported, or nullopt.
    std::optional<Error> readError() {
        try {
            items.read();
        } catch (const Error& e) {
            return e;
        }
        return std::nullopt;
    }

    VistrelItems items{testing::kEnglish};
    std::shared_ptr<ScriptedProtocol> protocol = std::make_shared<ScriptedProtocol>();
};

TEST_F(ListRead, OutcomesByAddress) {
    using Answer = ScriptedProtocol::Answer;
    const Error timeout(2000, "No answer at due time");
    const Error busy(2035, "Busy-repeat request");
    const struct {
        const char* what;
        std::vector<Answer> answers;
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
        {"known refusals are not counted", {busy, busy, busy}, std::nullopt, {2035, 2035, 2035}},
        {"refusals and failures", {timeout, busy, timeout}, std::nullopt, {2000, 2035, 2000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        items.clear();
        addItems(3);
        protocol->answers.assign(c.answers.begin(), c.answers.end());
        protocol->requests.clear();
        items.setProtocol(protocol);

        const auto error = readError();
        ASSERT_EQ(error.has_value(), c.error.has_value());
        if (error) {
            EXPECT_EQ(error->number(), 10);
            EXPECT_EQ(error->description(), *c.error);
        }
        EXPECT_EQ(protocol->requests, (std::vector<std::string>{"230101", "230201", "230301"}));
        for (std::size_t i = 0; i < c.itemCodes.size(); ++i) {
            EXPECT_EQ(items.at(i).errorCode(), c.itemCodes[i]) << "item " << i;
        }
        if (c.itemCodes[0] == 0) {
            EXPECT_EQ(items.at(0).valueByte().text(), "11");
        }
    }
}

TEST_F(ListRead, NoProtocol) {
    for (int n : {0, 2}) {
        items.clear();
        addItems(n);
        const auto error = readError();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), 10);
        EXPECT_EQ(error->description(), "VistrelItems.read  : Protocol not defined");
    }
    EXPECT_EQ(items.at(0).errorCode(), 0);
}

TEST_F(ListRead, EmptyListIsAGlobalError) {
    items.setProtocol(protocol);
    items.setAbortRequest(true); // never tested without items
    const auto error = readError();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 10);
    EXPECT_EQ(error->description(), "Error global : ()");
}

TEST_F(ListRead, AbortBeforeTheFirstItemReadsNothing) {
    addItems(2);
    items.setProtocol(protocol);
    items.setAbortRequest(true);
    EXPECT_FALSE(readError());
    EXPECT_TRUE(protocol->requests.empty());
}

// Sets the abort flag while the first item waits for its reply, as the
// host's Abort does.
class AbortingProtocol : public ScriptedProtocol {
public:
    explicit AbortingProtocol(VistrelItems& list) : list_(list) {}
    void SendReceive(const ByteString& request, ByteString& reply) override {
        list_.setAbortRequest(true);
        ScriptedProtocol::SendReceive(request, reply);
    }

private:
    VistrelItems& list_;
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

TEST_F(ListRead, SnapshotReceivesOneRecordPerItem) {
    addItems(2);
    protocol->reply("6311");
    protocol->reply("6322");
    items.setProtocol(protocol);
    pugi::xml_document snapshot;
    const pugi::xml_node root = snapshot.append_child("snapshot");
    items.read(root);
    std::vector<std::string> values;
    for (const pugi::xml_node data : root.children("data")) {
        values.emplace_back(data.attribute("value").value());
    }
    EXPECT_EQ(values, (std::vector<std::string>{"11", "22"}));
}

} // namespace
} // namespace vistrel
