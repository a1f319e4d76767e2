// SPDX-License-Identifier: MIT
#include "engine/link_health.h"

#include "components/error_numbers.h"

#include <cmath>

namespace vistrel {
namespace {

// The rates are counted over windows of at least this length.
constexpr std::uint32_t kRateWindow = 1000;

std::string oneDecimal(double value) {
    const auto tenths = static_cast<std::uint64_t>(std::llround(value * 10));
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
    case Kind::Unanswered:
        // Silence in the middle of a read shows at once, as a failed step
        // does, unless a failure shows already: the values stop coming.
        if (failure_.empty()) {
            failure_ = event.outcome.failure;
        }
        forgetRates();
        break;
    case Kind::Failed:
        failure_ = event.outcome.failure;
        // A device that went away, or is not there when the link opens it
        // again: the cable was pulled, not the ECU silent.
        deviceGone_ = link_error::isDeviceGone(event.outcome.failureNumber);
        forgetRates();
        break;
    case Kind::Stopped:
    case Kind::Started:
    case Kind::Halted:
        failure_.clear();
        forgetRates();
        break;
    case Kind::Progress:
    case Kind::NotDue:
        break;
    }
}

// No reads are coming in now: the rate starts again from the next one.
void LinkHealth::forgetRates() {
    readsPerSecond_ = 0.0;
    valuesPerSecond_ = 0.0;
    readsInWindow_ = 0;
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
    return failure_ + " (last good read " + oneDecimal((now - *lastGoodRead_) / 1000.0) + " s ago)";
}

std::string LinkHealth::valuesAgeText(std::uint32_t now) const {
    if (!lastGoodRead_) {
        return {};
    }
    return "values " + oneDecimal((now - *lastGoodRead_) / 1000.0) + " s old";
}

std::string LinkHealth::describeLink(const std::string& link, std::uint32_t now) const {
    const std::string named = link + " — ";
    if (!failure_.empty() && deviceGone_) {
        return named + "device gone";
    }
    if (!failure_.empty()) {
        return named + (lastGoodRead_ ? "no answer since " +
                                            std::to_string((now - *lastGoodRead_) / 1000) + " s"
                                      : "no answer");
    }
    if (last_.kind == StepOutcome::Kind::Halted) {
        return named + "halted";
    }
    switch (last_.phase) {
    case CyclePhase::OpenCommunication:
    case CyclePhase::StartSession:
        return "connecting to " + link;
    case CyclePhase::Run:
        return named + "ECU answering";
    case CyclePhase::Idle:
        break;
    }
    return named + "idle";
}

std::string LinkHealth::rateText() const {
    if (readsPerSecond_ <= 0.0) {
        return {};
    }
    return oneDecimal(readsPerSecond_) + " reads/s, " +
           std::to_string(std::llround(valuesPerSecond_)) + " item values/s";
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
