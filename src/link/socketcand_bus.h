// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/can_frame.h"
#include "link/socketcand_text.h"

#include <memory>
#include <string>
#include <vector>

namespace vistrel {

// A CAN bus shared over TCP by a socketcand server, in raw mode: the server
// greets with "< hi >", we open the bus and switch to raw mode, then frames
// go out as "< send ... >" and come in as "< frame ... >". An "< error ... >"
// from the server fails the step with the server's own text.
class SocketcandBus : public CanBus {
public:
    // Throws Error when the server refuses the bus or raw mode.
    SocketcandBus(std::unique_ptr<ByteLine> line, std::string server, const std::string& bus);

    Clock::time_point now() const override { return line_->now(); }
    void waitUntil(Clock::time_point deadline) override { line_->waitUntil(deadline); }
    void send(const CanFrame& frame) override;
    std::optional<CanFrame> receive(Clock::time_point deadline) override;

private:
    // The next message by deadline; nothing when none came.
    std::optional<std::string> next(Clock::time_point deadline);
    void write(const std::string& text);
    // Waits for "< ok >" (or the greeting); anything else throws.
    void expect(std::string_view word, const std::string& step);
    [[noreturn]] void serverError(const std::string& message) const;

    std::unique_ptr<ByteLine> line_;
    std::string server_;
    SocketcandReader reader_;
    std::vector<std::string> messages_;
    std::size_t nextMessage_ = 0;
};

} // namespace vistrel
