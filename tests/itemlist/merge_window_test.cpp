// SPDX-License-Identifier: MIT
#include "fakes/scripted_protocol.h"
#include "reading/merge_window.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(MergeWindow, BytesAreReadTogetherWhileTheyCostLessThanAnExchange) {
    const struct {
        const char* name;
        ExchangeCost cost;
        std::size_t maxReply;
        std::uint32_t window;
    } cases[] = {
        {"no costs known", {}, 0, 32},
        {"exchange 58 byte times", {microseconds(58 * 961), microseconds(961)}, 0, 58},
        {"free bytes: the widest window", {milliseconds(20), {}}, 0, 255},
        {"free bytes within a reply of 8", {milliseconds(20), {}}, 8, 7},
        {"bytes dearer than an exchange", {microseconds(10), microseconds(100)}, 0, 1},
    };
    for (const auto& c : cases) {
        testing::ScriptedProtocol link;
        link.cost = c.cost;
        link.maxReply = c.maxReply;
        EXPECT_EQ(automaticMergeWindow(link), c.window) << c.name;
    }
}

} // namespace
} // namespace vistrel
