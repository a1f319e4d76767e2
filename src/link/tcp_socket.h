// SPDX-License-Identifier: MIT
#pragma once

#include "link/serial_line.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vistrel {

// A TCP connection as a byte line: the descriptor line reads and writes a
// socket as it does a terminal. Throws Error with a text for the user when
// the host is unknown or the server does not take the connection.
std::unique_ptr<SerialLine> connectTcp(const std::string& host, std::uint16_t port);

// A listening TCP socket on 127.0.0.1, for the virtual devices that play a
// server.
class TcpListener {
public:
    // Port 0 takes any free port. Throws Error when the port is taken.
    explicit TcpListener(std::uint16_t port);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    std::uint16_t port() const noexcept { return port_; }
    int descriptor() const noexcept { return fd_; }
    // The next connection, or nullptr when none came by deadline.
    std::unique_ptr<SerialLine> accept(ByteLine::Clock::time_point deadline);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace vistrel
