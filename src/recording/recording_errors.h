// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// A recording file that cannot be read or an export that cannot be written.
inline constexpr std::int32_t kRecordingFileError = 4100;
// A recording trigger condition that does not parse or names no item.
inline constexpr std::int32_t kTriggerConditionError = 4101;

} // namespace vistrel
