// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"
#include "link/byte_line.h"

#include <functional>
#include <memory>
#include <optional>

namespace vistrel {

// The line a link talks on: opened when a step needs it, closed when the
// device goes away mid-step, and opened again by the next step, so that a
// pulled cable or an adapter out of reach is one failed step that the cycle
// retries and not a dead link. Between failed attempts to open it waits a
// pause, so a retrying cycle does not spin on a missing device.
class LineKeeper {
public:
    using Opener = std::function<std::unique_ptr<ByteLine>()>;

    LineKeeper(Opener open, IdleHook idle);

    // Opens the line unless it is open; true when it was opened just now
    // (everything the link knew about the other side is stale). Throws the
    // opener's Error.
    bool open();

    // Runs step; when it meets a lost device the line is closed first.
    template <typename Step> void guard(Step&& step) {
        try {
            step();
        } catch (const Error& e) {
            if (e.number() == link_error::kDeviceLost) {
                line_.reset();
            }
            throw;
        }
    }

    explicit operator bool() const noexcept { return line_ != nullptr; }
    ByteLine* operator->() const noexcept { return line_.get(); }

private:
    Opener open_;
    IdleHook idle_;
    std::unique_ptr<ByteLine> line_;
    std::optional<ByteLine::Clock::time_point> failedAt_;
};

} // namespace vistrel
