// SPDX-License-Identifier: MIT
#pragma once

#include "engine/engine_event.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vistrel {

// What a status bar says about the link, gathered from the engine's events:
// the failure that keeps the cycle from reading, how long ago the last good
// read was, and how many reads and values come in per second.
class LinkHealth {
public:
    void take(const EngineEvent& event);
    // Back to the state of a cycle that never ran.
    void reset();

    // "" while the reads succeed (or before the first attempt); otherwise the
    // failure, followed by "last good read 3.2 s ago" once there was one.
    std::string statusText(std::uint32_t now) const;
    // The link's state in words: "idle", "opening the communication",
    // "starting the session", "reading", "halted" or "failing".
    std::string linkState() const;
    // The link (named as "K-line /dev/ttyUSB0") in words for a status line:
    // "connecting to LINK" until it answers, then "LINK — ECU answering",
    // "LINK — no answer since 4 s" ("no answer" before any good read),
    // "LINK — device gone", "LINK — halted" or "LINK — idle".
    std::string describeLink(const std::string& link, std::uint32_t now) const;
    // "values 3.2 s old": how old the values of the last good read are; ""
    // before one.
    std::string valuesAgeText(std::uint32_t now) const;
    // "12.5 reads/s, 100 item values/s"; "" while nothing is read.
    std::string rateText() const;
    std::optional<std::uint32_t> lastGoodRead() const noexcept { return lastGoodRead_; }
    double readsPerSecond() const noexcept { return readsPerSecond_; }
    double valuesPerSecond() const noexcept { return valuesPerSecond_; }

private:
    void forgetRates();

    StepOutcome last_;
    std::string failure_;
    bool deviceGone_ = false;
    std::optional<std::uint32_t> lastGoodRead_;
    std::uint32_t windowStart_ = 0;
    std::uint32_t readsInWindow_ = 0;
    double readsPerSecond_ = 0.0;
    double valuesPerSecond_ = 0.0;
};

} // namespace vistrel
