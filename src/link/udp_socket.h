// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vistrel {

// A UDP socket on IPv4, for the datagrams of vehicle discovery: the
// tester's request, often broadcast, and the entities' answers. Throws
// Error (link kind) when the system refuses the socket.
class UdpSocket {
public:
    struct Datagram {
        // The sender's address, dotted.
        std::string from;
        std::uint16_t port = 0;
        std::vector<std::uint8_t> bytes;
    };

    // Bound to address (dotted, "0.0.0.0" for every interface) and port
    // (0 for any free one).
    UdpSocket(const std::string& address, std::uint16_t port);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    int descriptor() const noexcept { return fd_; }
    std::uint16_t port() const noexcept { return port_; }
    // Allows sending to a broadcast address.
    void allowBroadcast();
    // address: dotted or a host name.
    void sendTo(const std::string& address, std::uint16_t port,
                std::span<const std::uint8_t> bytes);
    // The next datagram by deadline, nothing when none came.
    std::optional<Datagram> receive(ByteLine::Clock::time_point deadline);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace vistrel
