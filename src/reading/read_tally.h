// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace vistrel {

class Error;
class Protocol;
class VistrelItem;

// The failures of one read of the list: how many items reported one, and the
// text of the last. The list fails as a whole only when every item did. It
// also carries the list's abort request, which every way of reading tests
// before each exchange.
struct ReadTally {
    std::size_t failures = 0;
    std::string lastFailure;
    const std::atomic<bool>* abortRequest = nullptr;

    bool aborted() const noexcept { return abortRequest != nullptr && abortRequest->load(); }

    void count(const Error& failure);
    // Every item shows failure, and each counts.
    void failEach(const std::vector<std::shared_ptr<VistrelItem>>& items, const Error& failure);
    // An item that keeps showing an earlier failure counts again, unless the
    // ECU gave a reason it knows.
    void countAgain(const VistrelItem& item);
    // The item reads itself by address (ReadMemory); a reported failure counts.
    void readByAddress(VistrelItem& item, Protocol& protocol, std::int32_t lengthSize,
                       pugi::xml_node snapShot);
};

// Every link carries a K-line frame in its short header form: 63 bytes. A
// link that cannot tell its own frame size is held to that.
inline constexpr std::size_t kSafeReplyLength = 63;

// The frame size of the link, or kSafeReplyLength when it cannot tell.
std::size_t replyLengthLimit(const Protocol& protocol);

} // namespace vistrel
