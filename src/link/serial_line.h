// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "link/byte_line.h"
#include "link/line_keeper.h"

#include <memory>
#include <string>

namespace vistrel {

// A byte line over an open terminal device: a serial port, or either side
// of a pseudo-terminal. Owns the file descriptor.
class SerialLine : public ByteLine {
public:
    SerialLine(int fd, std::string name);
    ~SerialLine() override;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    Clock::time_point now() const override;
    void waitUntil(Clock::time_point deadline) override;
    void write(std::span<const std::uint8_t> bytes) override;
    std::size_t read(std::span<std::uint8_t> out, Clock::time_point deadline) override;
    void discardInput() override;
    void setBaudRate(unsigned baud) override;
    void setBreak(bool on) override;

    const std::string& name() const noexcept { return name_; }
    // For a server that waits on several lines at once.
    int descriptor() const noexcept { return fd_; }

private:
    // True when the descriptor is ready for events before deadline.
    bool waitFor(short events, Clock::time_point deadline);
    [[noreturn]] void fail(int error) const;

    int fd_;
    std::string name_;
    // A socket is written with send, so that a peer that went away is an
    // error to report and not a SIGPIPE that ends the program.
    bool socket_;
};

// Opens a serial device for one link: exclusively (a second program gets
// "device busy"), raw at baud, low latency where the driver has it. Throws
// Error with a text that tells the user what to do.
std::unique_ptr<SerialLine> openSerialDevice(const std::string& path, unsigned baud);

// The error for a device that could not be opened, from the errno.
Error deviceOpenError(const std::string& path, int error);

} // namespace vistrel
