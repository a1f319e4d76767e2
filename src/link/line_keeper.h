// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"
#include "link/byte_line.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace vistrel {

// The device a link talks through (a serial line, a CAN adapter or socket):
// opened when a step needs it, closed when the device goes away mid-step,
// and opened again by the next step, so that a pulled cable or an adapter
// out of reach is one failed step that the cycle retries and not a dead
// link. Between failed attempts to open it waits a pause, so a retrying
// cycle does not spin on a missing device.
template <typename Device> class DeviceKeeper {
public:
    using Opener = std::function<std::unique_ptr<Device>()>;

    explicit DeviceKeeper(Opener open) : open_(std::move(open)) {}

    // Opens the device unless it is open; true when it was opened just now
    // (everything the link knew about the other side is stale). Throws the
    // opener's Error.
    bool open() {
        if (device_) {
            return false;
        }
        if (failedAt_) {
            std::this_thread::sleep_until(*failedAt_ + kReopenPause);
        }
        try {
            device_ = open_();
        } catch (const Error&) {
            failedAt_ = std::chrono::steady_clock::now();
            throw;
        }
        failedAt_.reset();
        lost_ = false;
        return true;
    }

    // True from the moment the device went away or could not be opened until
    // it is opened again. A step that only uses the device then fails at once
    // and leaves the opening to the step that opens the communication: a read
    // of many items must not wait out a pause for each of them.
    bool gone() const noexcept { return !device_ && (lost_ || failedAt_); }

    // Runs step; when it meets a lost device the device is closed first.
    template <typename Step> void guard(Step&& step) {
        try {
            step();
        } catch (const Error& e) {
            if (e.number() == link_error::kDeviceLost) {
                device_.reset();
                lost_ = true;
            }
            throw;
        }
    }

    // Lets the device go, so that the next open() makes it anew: for a link
    // whose connection is still there but can no longer be trusted.
    void close() noexcept { device_.reset(); }

    explicit operator bool() const noexcept { return device_ != nullptr; }
    Device* operator->() const noexcept { return device_.get(); }
    Device& operator*() const noexcept { return *device_; }

private:
    // Short, because the engine's thread waits it out: Stop, a new link or
    // closing the window take effect only after it. A missing device costs
    // one failed open() per pause, which is nothing.
    static constexpr std::chrono::milliseconds kReopenPause{200};

    Opener open_;
    std::unique_ptr<Device> device_;
    bool lost_ = false;
    std::optional<std::chrono::steady_clock::time_point> failedAt_;
};

using LineKeeper = DeviceKeeper<ByteLine>;

} // namespace vistrel
