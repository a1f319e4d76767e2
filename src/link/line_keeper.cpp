// SPDX-License-Identifier: MIT
#include "link/line_keeper.h"

#include "link/serial_line.h"

namespace vistrel {
namespace {

constexpr std::chrono::milliseconds kReopenPause{1000};

} // namespace

LineKeeper::LineKeeper(Opener open, IdleHook idle)
    : open_(std::move(open)), idle_(std::move(idle)) {}

bool LineKeeper::open() {
    if (line_) {
        return false;
    }
    if (failedAt_) {
        idleUntil(*failedAt_ + kReopenPause, idle_);
    }
    try {
        line_ = open_();
    } catch (const Error&) {
        failedAt_ = ByteLine::Clock::now();
        throw;
    }
    failedAt_.reset();
    return true;
}

} // namespace vistrel
