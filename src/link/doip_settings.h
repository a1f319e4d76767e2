// SPDX-License-Identifier: MIT
#pragma once

#include "link/diagnostic_settings.h"
#include "link/link_string.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace vistrel {

// A doip: link string, checked: doip:HOST[:PORT] with the keys ta, sa,
// activation, version, p2max and timeout, and UDS's security, key and rate.
struct DoipSettings {
    std::string host;
    std::uint16_t port = 13400;
    // The tester's logical address.
    std::uint16_t tester = 0x0E00;
    // The ECU's logical address; none means the entity's own, as its routing
    // activation response gives it (one ECU, or a bench).
    std::optional<std::uint16_t> target;
    std::uint8_t activation = 0x00;
    // The protocol version the first message goes out in: 2 or 3.
    std::uint8_t version = 2;
    // The least wait for the ECU's reply: a gateway adds its own time.
    std::chrono::milliseconds p2max{1000};
    // The wait for the entity's acknowledgement and activation response.
    std::chrono::milliseconds timeout{2000};
    // Always UDS; security access as on the other UDS links.
    DiagnosticSettings diagnostic = [] {
        DiagnosticSettings uds;
        uds.family = DiagnosticFamily::Uds;
        return uds;
    }();

    // Throws LinkStringError naming the key and value that do not fit.
    static DoipSettings fromLinkString(const LinkString& linkString);
};

// The link string of these settings, with only the keys that differ from the
// defaults (and the port only when it is not 13400).
std::string toLinkString(const DoipSettings& settings);

} // namespace vistrel
