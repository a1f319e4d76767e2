// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "link/elm_reply.h"

#include <cstdint>
#include <string>

namespace vistrel {

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

// The error an adapter message stands for, its text quoting the adapter.
Error adapterMessageError(ElmMessage message, const std::string& words);

} // namespace vistrel
