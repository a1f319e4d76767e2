// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "reading/list_reader.h"
#include "reading/uds_identifier_steps.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace vistrel {

class PeriodicSource;

// UDS ReadDataByPeriodicIdentifier: the items are gathered in dynamically
// defined identifiers small enough for one CAN frame each, and the ECU is
// asked (2A) to send them at the link's rate without further requests. A
// read waits until every identifier has come once since the last read; an
// identifier that stays away for three of its periods fails its items with
// "no periodic data since HH:MM:SS". Items too long for a frame show why;
// items past the last identifier are read by address.
class PeriodicReader : public ListReader {
public:
    using Clock = std::chrono::steady_clock;

    void forget() noexcept override;
    // Asks the ECU to stop sending (2A 04) before anything else goes out.
    void release(Protocol& protocol) noexcept override;
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;

private:
    struct Identifier : GatheredIdentifier {
        bool cameSinceRead = false;
        Clock::time_point lastFrame{};
        // The wall-clock time of the last frame, for the message.
        std::chrono::system_clock::time_point lastFrameWall{};
        // The time between two frames, as seen; zero before the second.
        Clock::duration period{};
    };

    // Defines the identifiers and asks the ECU to send them; false when an
    // exchange failed without an answer (then every item shows it).
    bool start(const ItemPointers& items, Protocol& protocol, PeriodicSource& source,
               const ReadSettings& settings, pugi::xml_node snapShot, ReadTally& tally);
    // Clears and defines one identifier; false when the ECU refused it (its
    // items then show the refusal). A failed exchange is thrown.
    bool defines(const Identifier& identifier, Protocol& protocol, const ReadSettings& settings,
                 pugi::xml_node snapShot);
    // Packs the items into identifiers of at most dataBytes each, from
    // firstIdentifier on.
    void gather(const ItemPointers& items, std::size_t dataBytes, std::uint16_t firstIdentifier);
    void takeFrame(const ByteString& frame, Clock::time_point now);
    Clock::duration patience(const Identifier& identifier) const;

    bool started_ = false;
    ItemPointers startedFor_;
    std::vector<Identifier> identifiers_;
    std::vector<std::uint16_t> sending_;
    std::vector<VistrelItem*> byAddress_;
    // Items longer than a frame carries: they show why, read after read.
    std::vector<VistrelItem*> tooLong_;
    // The identifier of each low byte, or -1.
    std::array<std::int16_t, 256> byLowByte_{};
    Clock::time_point startedAt_{};
    std::chrono::system_clock::time_point startedAtWall_{};
    Clock::duration ratePeriod_{};
};

} // namespace vistrel
