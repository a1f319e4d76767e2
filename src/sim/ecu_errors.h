#pragma once

#include <cstdint>

namespace vistrel {

// Error numbers of the simulator's own failures. Negative replies use the
// numbers of the negative-response table instead.
inline constexpr std::int32_t kNoAnswerError = 2000;
inline constexpr std::int32_t kInitFailedError = 2001;
inline constexpr std::int32_t kBadDescriptionError = 4000;

inline constexpr const char* kNoAnswerText = "No answer at due time";

} // namespace vistrel
