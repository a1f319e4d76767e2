// SPDX-License-Identifier: MIT
#include "reading/merge_window.h"

#include "components/protocol.h"

#include <algorithm>

namespace vistrel {
namespace {

constexpr std::uint32_t kUnknownCostWindow = 32;
// The widest window: the most bytes that one ReadMemoryByAddress may ask for.
constexpr std::uint32_t kWidestWindow = 255;

} // namespace

std::uint32_t automaticMergeWindow(const Protocol& protocol) {
    const ExchangeCost cost = protocol.exchangeCost();
    if (cost.perExchange.count() <= 0) {
        return kUnknownCostWindow;
    }
    std::uint64_t window = kWidestWindow;
    if (cost.perByte.count() > 0) {
        window = static_cast<std::uint64_t>(cost.perExchange / cost.perByte);
    }
    // The reply carries the service byte besides the window's bytes.
    if (const std::size_t reply = protocol.maxReplyLength(); reply > 1) {
        window = std::min<std::uint64_t>(window, reply - 1);
    }
    return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(window, 1, kWidestWindow));
}

} // namespace vistrel
