// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

// The UDS negative response codes that the link layer acts on: the last byte
// of the reply 7F sid nrc.
namespace uds_nrc {
inline constexpr std::uint8_t kServiceNotSupported = 0x11;
inline constexpr std::uint8_t kSubFunctionNotSupported = 0x12;
inline constexpr std::uint8_t kBusyRepeatRequest = 0x21;
inline constexpr std::uint8_t kSecurityAccessDenied = 0x33;
inline constexpr std::uint8_t kInvalidKey = 0x35;
inline constexpr std::uint8_t kExceedNumberOfAttempts = 0x36;
inline constexpr std::uint8_t kRequiredTimeDelayNotExpired = 0x37;
inline constexpr std::uint8_t kResponsePending = 0x78;
inline constexpr std::uint8_t kSubFunctionNotSupportedInActiveSession = 0x7E;
inline constexpr std::uint8_t kServiceNotSupportedInActiveSession = 0x7F;
} // namespace uds_nrc

// The name a UDS ECU's negative response code goes by ("requestOutOfRange"),
// or nothing for a reserved or carmaker's own code.
std::optional<std::string_view> udsNegativeResponseName(std::uint8_t nrc) noexcept;

// The error that the UDS negative reply 7F sid nrc stands for, worded as the
// KWP2000 texts are: "Service 23 Negative response 31 (requestOutOfRange)".
// Each named code has its own number; an unnamed one is
// uds_error::kOtherNegativeResponse. The two codes that refuse a service or
// sub-function in the active session say that the session is the likely
// cause.
Error udsNegativeResponseError(std::uint8_t sid, std::uint8_t nrc);

// True for the errors of the named codes: the ECU answered and gave its
// reason, so an item read that gets one keeps quiet instead of reporting a
// failed exchange.
bool isUdsRefusal(std::int32_t errorNumber) noexcept;

// True for every error that a well-formed UDS negative reply becomes, named
// code or not.
bool isUdsNegativeResponse(std::int32_t errorNumber) noexcept;

} // namespace vistrel
