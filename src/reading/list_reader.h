// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <vector>

namespace vistrel {

class Protocol;
class VistrelItem;
struct ReadTally;

using ItemPointers = std::vector<std::shared_ptr<VistrelItem>>;

// The list's settings that a read needs.
struct ReadSettings {
    std::int32_t lengthSize = 1;
    // How far apart, first byte to last, items read together may lie.
    std::uint32_t mergeWindow = 32;
    // When the read began.
    std::chrono::steady_clock::time_point now{};
    // The list's clock, for a method that waits within a read; the steady
    // clock when empty.
    std::function<std::chrono::steady_clock::time_point()> clock{};
};

// How one pass over the list ended.
enum class ListReadEnd {
    // Each item was read on its own footing; the tally holds the failures,
    // and the list fails when every item did.
    ItemsCounted,
    // The list went out as one exchange that succeeded: its items judged
    // their own replies, and a failure of the exchange was thrown.
    ReadAsOne,
    // AbortRequest cut the pass short.
    Aborted,
};

// One way of reading every item of the list once: each reading method is one
// of these. A reader may keep what it told the ECU (definitions, a prepared
// request) from one read to the next.
class ListReader {
public:
    virtual ~ListReader() = default;
    // Each item takes its value or its failure; snapShot, when set, records
    // the exchanges. Throws Error only for a failure of the whole list.
    virtual ListReadEnd read(const ItemPointers& items, Protocol& protocol,
                             const ReadSettings& settings, pugi::xml_node snapShot,
                             ReadTally& tally) = 0;
    // The communication starts anew: the ECU may have forgotten what this
    // reader told it.
    virtual void forget() noexcept {}
    // The reading stops (Stop, a new list, a new link): a reader that asked
    // the ECU to go on sending by itself asks it to stop, before anything
    // else goes out.
    virtual void release(Protocol& /*protocol*/) noexcept {}
};

} // namespace vistrel
