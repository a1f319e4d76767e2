// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/can_frame.h"
#include "link/slcan_text.h"

#include <deque>
#include <memory>
#include <string>

namespace vistrel {

// A CAN bus through a serial-line adapter that speaks slcan (CANable,
// USBtin, CANUSB and their kin). Opening brings the adapter onto the bus:
// C first (an adapter left open answers BEL to S and O), then the bit rate
// and O. Frames go out as t/T lines; what the adapter answers to them (z, Z,
// a bare CR, or nothing) is all accepted, a BEL fails the exchange.
class SlcanBus : public CanBus {
public:
    // Throws Error when the adapter does not take the bit rate or the open.
    SlcanBus(std::unique_ptr<ByteLine> line, std::string name, unsigned bitrate);

    Clock::time_point now() const override { return line_->now(); }
    void waitUntil(Clock::time_point deadline) override { line_->waitUntil(deadline); }
    void send(const CanFrame& frame) override;
    std::optional<CanFrame> receive(Clock::time_point deadline) override;

private:
    // Sends one command and waits for its CR; BEL or silence throws.
    void command(const std::string& text, const std::string& meaning);
    // Reads what arrived by deadline into lines_; false when nothing came.
    bool fill(Clock::time_point deadline);

    std::unique_ptr<ByteLine> line_;
    std::string name_;
    SlcanLineSplitter splitter_;
    std::vector<std::string> lines_;
    std::size_t nextLine_ = 0;
    std::string lastSent_;
};

} // namespace vistrel
