// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace vistrel::cli {

struct DiscoverOptions {
    // Where the vehicle identification request goes: every entity on the
    // local network, or one address.
    std::string to = "255.255.255.255";
    std::uint16_t port = 13400;
    unsigned waitMs = 1000;
};

// Asks for DoIP entities and prints one line per entity that answered, with
// the link string that reaches it. Returns 0 when some answered, 1 when none
// did or the request could not be sent (said on err).
int runDiscover(const DiscoverOptions& options, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
