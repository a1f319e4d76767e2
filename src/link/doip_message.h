// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The messages of diagnostics over IP as bytes: the 8-byte header (version,
// its inverse, payload type, payload length) and the payloads this system
// sends and takes. The tester's link, discovery and the simulated entity all
// read and write them here, so both sides agree on every byte.
namespace vistrel::doip {

inline constexpr std::uint16_t kPort = 13400;
inline constexpr std::size_t kHeaderLength = 8;
// The most payload taken from a peer whatever it claims: far above any
// diagnostic message, far below what would hurt to hold.
inline constexpr std::uint32_t kMaxPayload = 4U * 1024 * 1024;

inline constexpr std::uint8_t kVersion2012 = 0x02;
inline constexpr std::uint8_t kVersion2019 = 0x03;
// Only in a vehicle identification request: "whatever version you speak".
inline constexpr std::uint8_t kVersionAny = 0xFF;

enum PayloadType : std::uint16_t {
    kGenericNack = 0x0000,
    kVehicleIdentificationRequest = 0x0001,
    kVehicleAnnouncement = 0x0004,
    kRoutingActivationRequest = 0x0005,
    kRoutingActivationResponse = 0x0006,
    kAliveCheckRequest = 0x0007,
    kAliveCheckResponse = 0x0008,
    kDiagnosticMessage = 0x8001,
    kDiagnosticAck = 0x8002,
    kDiagnosticNack = 0x8003,
};

// The codes of a generic negative acknowledgement.
enum HeaderNack : std::uint8_t {
    kIncorrectPattern = 0x00,
    kUnknownPayloadType = 0x01,
    kMessageTooLarge = 0x02,
    kOutOfMemory = 0x03,
    kInvalidPayloadLength = 0x04,
};

inline constexpr std::uint8_t kActivationSuccess = 0x10;
inline constexpr std::uint8_t kActivationConfirmationRequired = 0x11;
inline constexpr std::uint8_t kAckCode = 0x00;

// The fixed parts of the payloads this system reads by position.
inline constexpr std::size_t kAddressPairLength = 4;
inline constexpr std::size_t kVinLength = 17;
inline constexpr std::size_t kEidLength = 6;
inline constexpr std::size_t kAnnouncementLength = 32;

struct Message {
    std::uint8_t version = kVersion2012;
    std::uint16_t type = kGenericNack;
    std::vector<std::uint8_t> payload;
};

// Header and payload, ready for the socket.
std::vector<std::uint8_t> encode(std::uint8_t version, std::uint16_t type,
                                 std::span<const std::uint8_t> payload);
// A diagnostic message, its acknowledgement or its refusal: source, target,
// then the data (the user data, or the code and what is echoed).
std::vector<std::uint8_t> addressedPayload(std::uint16_t source, std::uint16_t target,
                                           std::span<const std::uint8_t> data);
// The big-endian 16-bit word at position at (the caller checked the length).
std::uint16_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at);
void appendWord(std::vector<std::uint8_t>& out, std::uint16_t value);

// A header that breaks the rules: the generic negative acknowledgement code
// it earns, and what was wrong for the user.
struct HeaderFault {
    std::uint8_t code = kIncorrectPattern;
    std::string text;
};

// Checks the 8 header bytes before anything is kept of the payload: the
// inverse of the version, the overall cap and each known type's lengths.
// A type this side does not know passes (the receiver answers it with
// kUnknownPayloadType and drops its payload).
std::optional<HeaderFault> checkHeader(std::span<const std::uint8_t, kHeaderLength> header);

bool isKnownType(std::uint16_t type) noexcept;

// The stream broke the rules; after it the messages are out of step for good,
// so the connection has to go.
class StreamFault : public Error {
public:
    explicit StreamFault(HeaderFault fault)
        : Error(ErrorKind::Link, doip_error::kBadMessage, std::move(fault.text)),
          code_(fault.code) {}
    std::uint8_t code() const noexcept { return code_; }

private:
    std::uint8_t code_;
};

// Cuts a TCP byte stream into messages, however the reads split or join
// them. Keeps only bytes that arrived: a payload grows as it comes in, never
// by what its header claims.
class StreamReader {
public:
    void push(std::span<const std::uint8_t> bytes);
    // The next whole message; nothing while it is incomplete. Throws
    // StreamFault when a header breaks the rules, and again on every call.
    std::optional<Message> next();

private:
    std::vector<std::uint8_t> pending_;
    std::size_t start_ = 0;
    std::optional<HeaderFault> fault_;
};

} // namespace vistrel::doip
