// SPDX-License-Identifier: MIT
#pragma once

#include "link/doip_message.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// One DoIP entity as its announcement describes it.
struct DoipEntityInfo {
    // Where the answer came from (dotted IPv4).
    std::string address;
    std::uint16_t logicalAddress = 0;
    // 17 characters; printable ASCII only, anything else shown as '?'.
    std::string vin;
    std::array<std::uint8_t, doip::kEidLength> eid{};
    std::array<std::uint8_t, doip::kEidLength> gid{};
    std::uint8_t furtherAction = 0;
};

// An announcement (vehicle identification response) read: nothing for any
// other message or one too short.
std::optional<DoipEntityInfo> readAnnouncement(const doip::Message& message, std::string address);

// Sends the vehicle identification request to each address of `to` (a
// broadcast address, or one entity's) on port and collects the answers that
// come within wait, each entity once, in the order they answered. Throws
// Error when the request could be sent nowhere.
std::vector<DoipEntityInfo> discoverDoipEntities(const std::vector<std::string>& to,
                                                 std::uint16_t port,
                                                 std::chrono::milliseconds wait);

// The link string that reaches the entity: doip:ADDRESS, with the port when
// it is not 13400 (an announcement names no TCP port: the discovery port
// stands in).
std::string doipLinkString(const DoipEntityInfo& entity, std::uint16_t port);

// One line for the user: address, logical address, VIN, EID and link string.
std::string describeEntity(const DoipEntityInfo& entity, std::uint16_t port);

} // namespace vistrel
