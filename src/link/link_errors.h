// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// Failures of a real link, beside the no-answer and negative-reply numbers
// that every protocol object shares.
namespace link_error {
// The wake-up or StartCommunication failed.
inline constexpr std::int32_t kInitFailed = 2001;
inline constexpr std::int32_t kBadChecksum = 2050;
inline constexpr std::int32_t kForeignAddress = 2051;
inline constexpr std::int32_t kGarbledFrame = 2052;
inline constexpr std::int32_t kWrongEcho = 2053;
// The device cannot be opened, is taken, or went away.
inline constexpr std::int32_t kDeviceUnavailable = 2060;
inline constexpr std::int32_t kPermissionDenied = 2061;
inline constexpr std::int32_t kDeviceBusy = 2062;
inline constexpr std::int32_t kDeviceLost = 2063;
} // namespace link_error

// Failures of an ELM327-family adapter. NO DATA shares the number of every
// link's silence.
namespace adapter_error {
inline constexpr std::int32_t kNotUnderstood = 2070;
inline constexpr std::int32_t kBusInit = 2071;
inline constexpr std::int32_t kUnableToConnect = 2072;
inline constexpr std::int32_t kBufferFull = 2073;
inline constexpr std::int32_t kCanError = 2074;
inline constexpr std::int32_t kBusBusy = 2075;
inline constexpr std::int32_t kStopped = 2076;
inline constexpr std::int32_t kRxError = 2077;
inline constexpr std::int32_t kOther = 2078;
inline constexpr std::int32_t kRestarted = 2079;
inline constexpr std::int32_t kGarbled = 2080;
inline constexpr std::int32_t kRequestTooLong = 2081;
// No prompt from the adapter: wrong device or speed, or it hangs.
inline constexpr std::int32_t kSilent = 2082;
// A setting the bring-up needs and the adapter refuses.
inline constexpr std::int32_t kSetupRefused = 2083;
} // namespace adapter_error

} // namespace vistrel
