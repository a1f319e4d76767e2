// SPDX-License-Identifier: MIT
#include "link/doip_discovery.h"

#include "components/byte_string.h"
#include "components/error.h"
#include "link/udp_socket.h"

#include <algorithm>

namespace vistrel {
namespace {

constexpr std::size_t kLogicalAddressAt = doip::kVinLength;
constexpr std::size_t kEidAt = kLogicalAddressAt + 2;
constexpr std::size_t kGidAt = kEidAt + doip::kEidLength;
constexpr std::size_t kFurtherActionAt = kGidAt + doip::kEidLength;

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string text;
    appendHex(text, bytes);
    return text;
}

} // namespace

std::optional<DoipEntityInfo> readAnnouncement(const doip::Message& message, std::string address) {
    if (message.type != doip::kVehicleAnnouncement ||
        message.payload.size() < doip::kAnnouncementLength) {
        return std::nullopt;
    }
    const auto& payload = message.payload;
    DoipEntityInfo entity;
    entity.address = std::move(address);
    for (std::size_t i = 0; i < doip::kVinLength; ++i) {
        const char c = static_cast<char>(payload[i]);
        entity.vin += c >= 0x20 && c < 0x7F ? c : '?';
    }
    entity.logicalAddress = doip::wordAt(payload, kLogicalAddressAt);
    std::copy_n(payload.begin() + kEidAt, doip::kEidLength, entity.eid.begin());
    std::copy_n(payload.begin() + kGidAt, doip::kEidLength, entity.gid.begin());
    entity.furtherAction = payload[kFurtherActionAt];
    return entity;
}

std::vector<DoipEntityInfo> discoverDoipEntities(const std::vector<std::string>& to,
                                                 std::uint16_t port,
                                                 std::chrono::milliseconds wait) {
    UdpSocket socket("0.0.0.0", 0);
    socket.allowBroadcast();
    const auto request = doip::encode(doip::kVersionAny, doip::kVehicleIdentificationRequest, {});
    // A computer without a network refuses the broadcast but may still
    // reach an entity on itself.
    std::optional<Error> refused;
    std::size_t sent = 0;
    for (const std::string& address : to) {
        try {
            socket.sendTo(address, port, request);
            ++sent;
        } catch (const Error& e) {
            refused = e;
        }
    }
    if (sent == 0 && refused) {
        throw *refused;
    }
    std::vector<DoipEntityInfo> found;
    const auto deadline = ByteLine::Clock::now() + wait;
    while (const auto datagram = socket.receive(deadline)) {
        doip::StreamReader reader;
        reader.push(datagram->bytes);
        try {
            const auto message = reader.next();
            const auto entity = message ? readAnnouncement(*message, datagram->from) : std::nullopt;
            const bool known =
                entity && std::any_of(found.begin(), found.end(), [&](const auto& e) {
                    return e.address == entity->address &&
                           e.logicalAddress == entity->logicalAddress;
                });
            if (entity && !known) {
                found.push_back(*entity);
            }
        } catch (const doip::StreamFault&) {
            // Not DoIP, or broken: some other program's datagram.
        }
    }
    return found;
}

std::string doipLinkString(const DoipEntityInfo& entity, std::uint16_t port) {
    std::string text = "doip:" + entity.address;
    if (port != doip::kPort) {
        text += ':';
        text += std::to_string(port);
    }
    return text;
}

std::string describeEntity(const DoipEntityInfo& entity, std::uint16_t port) {
    return entity.address + "  logical address " + hexPadded(entity.logicalAddress, 4) + "  VIN " +
           entity.vin + "  EID " + hexText(entity.eid) + "  " + doipLinkString(entity, port);
}

} // namespace vistrel
