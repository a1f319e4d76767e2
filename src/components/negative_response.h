// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"

#include <cstdint>
#include <string>

namespace vistrel {

// KWP2000 service identifiers and reply bytes used on the wire.
namespace kwp {
inline constexpr std::uint8_t kStartDiagnosticSession = 0x10;
inline constexpr std::uint8_t kReadDataByLocalIdentifier = 0x21;
inline constexpr std::uint8_t kReadMemoryByAddress = 0x23;
inline constexpr std::uint8_t kDynamicallyDefineLocalIdentifier = 0x2C;
inline constexpr std::uint8_t kPositiveReplyOffset = 0x40;
inline constexpr std::uint8_t kNegativeReply = 0x7F;
// The negative code that asks for more time: the real reply follows.
inline constexpr std::uint8_t kResponsePending = 0x78;
// The local identifiers that may be defined dynamically: E0 to EF.
inline constexpr std::uint8_t kDynamicIdentifier = 0xE0;
inline constexpr std::uint8_t kLastDynamicIdentifier = 0xEF;
} // namespace kwp

// Negative response codes: the last byte of the reply 7F sid nrc.
namespace nrc {
inline constexpr std::uint8_t kGeneralReject = 0x10;
inline constexpr std::uint8_t kServiceNotSupported = 0x11;
// subFunctionNotSupported-invalidFormat: also the answer to a malformed request.
inline constexpr std::uint8_t kInvalidFormat = 0x12;
inline constexpr std::uint8_t kBusyRepeatRequest = 0x21;
inline constexpr std::uint8_t kConditionsNotCorrect = 0x22;
inline constexpr std::uint8_t kRoutineNotComplete = 0x23;
inline constexpr std::uint8_t kRequestOutOfRange = 0x31;
inline constexpr std::uint8_t kNotInActiveSession = 0x80;
} // namespace nrc

// Upper-case hexadecimal without leading zeros: 0x23 -> "23", 0x05 -> "5".
std::string hexNoLeadingZeros(std::uint32_t value);

// The error that the negative reply 7F sid nrc stands for: the fixed number
// and text of a known code, or 2040 "Service <sid> Negative response <nrc>".
Error negativeResponseError(std::uint8_t sid, std::uint8_t nrc);

// True for the refusals that name a known reason, KWP2000's and UDS's named
// codes alike; an item read that gets one keeps quiet instead of reporting a
// failed exchange.
bool isKnownRefusal(std::int32_t errorNumber) noexcept;

// True for every error that a well-formed negative reply becomes, known
// reason or not, in either family: the ECU answered, and said no.
bool isNegativeResponse(std::int32_t errorNumber) noexcept;

} // namespace vistrel
