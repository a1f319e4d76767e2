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

} // namespace vistrel
