// SPDX-License-Identifier: MIT
// The merge window that a link's costs give.
#include "components/protocol.h"
#include "reading/merge_window.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

class CostedLink : public Protocol {
public:
    CostedLink(ExchangeCost cost, std::size_t maxReply) : cost_(cost), maxReply_(maxReply) {}

    std::string title() const override { return {}; }
    std::string subtitle() const override { return {}; }
    std::string protocolName() const override { return {}; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    void InitCommunication() override {}
    void SendReceive(const ByteString&, ByteString&) override {}
    CanXmlProcessor* canXml() override { return nullptr; }
    std::size_t maxReplyLength() const override { return maxReply_; }
    ExchangeCost exchangeCost() const override { return cost_; }

private:
    ExchangeCost cost_;
    std::size_t maxReply_;
};

TEST(MergeWindow, BytesAreReadTogetherWhileTheyCostLessThanAnExchange) {
    struct Case {
        const char* name;
        ExchangeCost cost;
        std::size_t maxReply;
        std::uint32_t window;
    };
    const Case cases[] = {
        {"no costs known", {}, 0, 32},
        {"exchange 58 byte times", {microseconds(58 * 961), microseconds(961)}, 0, 58},
        {"free bytes: the widest window", {milliseconds(20), {}}, 0, 255},
        {"free bytes within a reply of 8", {milliseconds(20), {}}, 8, 7},
        {"bytes dearer than an exchange", {microseconds(10), microseconds(100)}, 0, 1},
        {"a window beyond one request", {milliseconds(1000), microseconds(1)}, 0, 255},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(automaticMergeWindow(CostedLink(c.cost, c.maxReply)), c.window) << c.name;
    }
}

} // namespace
} // namespace vistrel
