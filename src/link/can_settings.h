// SPDX-License-Identifier: MIT
#pragma once

#include "link/diagnostic_settings.h"
#include "link/isotp_transport.h"
#include "link/link_string.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace vistrel {

// How the CAN frames reach the bus.
enum class CanCarrier {
    // A serial-line adapter speaking the slcan ASCII protocol.
    Slcan,
    // A socketcand server in raw mode, over TCP.
    Socketcand,
    // The kernel's SocketCAN interface.
    SocketCan,
};

// An slcan:, socketcand: or socketcan: link string, checked.
struct CanSettings {
    CanCarrier carrier = CanCarrier::Slcan;
    // The serial device, the server's host, or the interface.
    std::string device;
    // socketcand: the server's port and the bus it offers.
    std::uint16_t port = 29536;
    std::string bus = "can0";
    // slcan: the bus bit rate the adapter is set to.
    unsigned bitrate = 500000;
    // The ids, addressing, padding, flow control and times (p2max is its
    // replyTimeout).
    IsoTpSettings isotp;
    // diag, security, key and rate.
    DiagnosticSettings diagnostic;

    // Throws LinkStringError naming the key and value that do not fit.
    static CanSettings fromLinkString(const LinkString& linkString);
};

// The link string of these settings, with only the keys that differ from
// the defaults.
std::string toLinkString(const CanSettings& settings);

// The bit rates an slcan adapter offers, in the order of its S0 to S8.
inline constexpr unsigned kSlcanBitrates[] = {10000,  20000,  50000,  100000, 125000,
                                              250000, 500000, 800000, 1000000};

// The kinds of CAN link string.
inline constexpr std::string_view kCanLinkKinds[] = {"slcan", "socketcand", "socketcan"};

} // namespace vistrel
