// SPDX-License-Identifier: MIT
#include "cli/interrupt_flag.h"

#include <atomic>
#include <csignal>

namespace vistrel::cli {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void raiseFlag(int /*signal*/) {
    interrupted.store(true);
}

} // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = raiseFlag;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptFlag::~InterruptFlag() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptFlag::raised() const noexcept {
    return interrupted.load();
}

} // namespace vistrel::cli
