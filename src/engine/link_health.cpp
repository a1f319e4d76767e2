// SPDX-License-Identifier: MIT
#include "engine/link_health.h"

namespace vistrel {
namespace {

// The rates are counted over windows of at least this length.
constexpr std::uint32_t kRateWindow = 1000;

std::string tenthsOfSeconds(std::uint32_t milliseconds) {
    const std::uint32_t tenths = (milliseconds + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace

void LinkHealth::take(const EngineEvent& event) {
    last_ = event.outcome;
    using Kind = StepOutcome::Kind;
    switch (event.outcome.kind) {
    case Kind::GoodRead: {
        failure_.clear();
        lastGoodRead_ = event.time;
        if (readsInWindow_ == 0) {
            windowStart_ = event.time;
        }
        ++readsInWindow_;
        // The clock wraps after 49 days; differences modulo 2^32 stay right.
        const std::uint32_t elapsed = event.time - windowStart_;
        if (elapsed >= kRateWindow) {
            readsPerSecond_ = (readsInWindow_ - 1) * 1000.0 / elapsed;
            valuesPerSecond_ = readsPerSecond_ * (event.read ? event.read->items.size() : 0);
            readsInWindow_ = 1;
            windowStart_ = event.time;
        }
        break;
    }
    case Kind::Failed:
        failure_ = event.outcome.failure;
        readsPerSecond_ = 0.0;
        valuesPerSecond_ = 0.0;
        readsInWindow_ = 0;
        break;
    case Kind::Stopped:
    case Kind::Started:
    case Kind::Halted:
        failure_.clear();
        readsPerSecond_ = 0.0;
        valuesPerSecond_ = 0.0;
        readsInWindow_ = 0;
        break;
    case Kind::Progress:
    case Kind::NotDue:
        break;
    }
}

void LinkHealth::reset() {
    *this = LinkHealth();
}

std::string LinkHealth::statusText(std::uint32_t now) const {
    if (failure_.empty()) {
        return {};
    }
    if (!lastGoodRead_) {
        return failure_;
    }
    return failure_ + " (last good read " + tenthsOfSeconds(now - *lastGoodRead_) + " s ago)";
}

std::string LinkHealth::linkState() const {
    if (!failure_.empty()) {
        return "failing";
    }
    if (last_.kind == StepOutcome::Kind::Halted) {
        return "halted";
    }
    switch (last_.phase) {
    case CyclePhase::OpenCommunication:
        return "opening the communication";
    case CyclePhase::StartSession:
        return "starting the session";
    case CyclePhase::Run:
        return "reading";
    case CyclePhase::Idle:
        break;
    }
    return "idle";
}

} // namespace vistrel
