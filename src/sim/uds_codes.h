// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The UDS service identifiers and negative response codes the simulated ECU
// answers with.
namespace vistrel::uds_codes {

inline constexpr std::uint8_t kSessionControl = 0x10;
inline constexpr std::uint8_t kReadDataByIdentifier = 0x22;
inline constexpr std::uint8_t kReadMemoryByAddress = 0x23;
inline constexpr std::uint8_t kSecurityAccess = 0x27;
inline constexpr std::uint8_t kReadDataByPeriodicIdentifier = 0x2A;
inline constexpr std::uint8_t kDynamicallyDefineDataIdentifier = 0x2C;
inline constexpr std::uint8_t kTesterPresent = 0x3E;
inline constexpr std::uint8_t kPositiveOffset = 0x40;
// The bit of a sub-function byte that asks for no positive reply.
inline constexpr std::uint8_t kSuppressPositiveReply = 0x80;

inline constexpr std::uint8_t kDefaultSession = 0x01;
inline constexpr std::uint8_t kProgrammingSession = 0x02;
inline constexpr std::uint8_t kExtendedSession = 0x03;

// The identifier that reads the active session, and the range of the
// dynamically defined identifiers (whose low bytes name them in 2A).
inline constexpr std::uint16_t kActiveSessionIdentifier = 0xF186;
inline constexpr std::uint16_t kFirstDynamicIdentifier = 0xF200;
inline constexpr std::uint16_t kLastDynamicIdentifier = 0xF3FF;
inline constexpr std::uint16_t kPeriodicIdentifierBase = 0xF200;

} // namespace vistrel::uds_codes

// Their negative response codes.
namespace vistrel::uds_refusal {
inline constexpr std::uint8_t kServiceNotSupported = 0x11;
inline constexpr std::uint8_t kSubFunctionNotSupported = 0x12;
inline constexpr std::uint8_t kIncorrectLength = 0x13;
inline constexpr std::uint8_t kResponseTooLong = 0x14;
inline constexpr std::uint8_t kBusyRepeatRequest = 0x21;
inline constexpr std::uint8_t kConditionsNotCorrect = 0x22;
inline constexpr std::uint8_t kRequestSequenceError = 0x24;
inline constexpr std::uint8_t kRequestOutOfRange = 0x31;
inline constexpr std::uint8_t kSecurityAccessDenied = 0x33;
inline constexpr std::uint8_t kInvalidKey = 0x35;
inline constexpr std::uint8_t kExceededNumberOfAttempts = 0x36;
inline constexpr std::uint8_t kRequiredTimeDelayNotExpired = 0x37;
inline constexpr std::uint8_t kSubFunctionNotSupportedInActiveSession = 0x7E;
inline constexpr std::uint8_t kServiceNotSupportedInActiveSession = 0x7F;
} // namespace vistrel::uds_refusal
