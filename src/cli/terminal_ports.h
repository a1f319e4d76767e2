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

// A host without an event loop needs no wake-up call: the command's own
// loop waits on the engine's events.
class LoopWake : public WakePort {
public:
    void wake() override {}
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
