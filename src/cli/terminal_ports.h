// SPDX-License-Identifier: MIT
#pragma once

#include "control/message_port.h"
#include "control/ports.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace vistrel::cli {

// The polling timer of a host without an event loop: the command's own loop
// ticks the control while the switch is on.
class LoopTimer : public TimerPort {
public:
    void setTimerEnabled(bool enabled) override { enabled_ = enabled; }
    bool enabled() const noexcept { return enabled_; }

private:
    bool enabled_ = false;
};

// Message boxes become lines on the error stream.
class StreamMessages : public MessagePort {
public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    void showMessage(const std::string& text, const std::string& title) override;

private:
    std::ostream& out_;
};

} // namespace vistrel::cli
