#pragma once

#include <cstdint>

namespace vistrel {

// Failures that the control raises itself; the polling cycle shows their
// text in the "Status" panel like those of the components it calls.
inline constexpr std::int32_t kNoProtocolError = 10; // as the list's read without protocol
inline constexpr const char* kNoProtocolText = "Protocol not defined";
inline constexpr std::int32_t kNoBatchProcessorError = 3001;
inline constexpr const char* kNoBatchProcessorText = "Protocol has no CAN-XML processor";
inline constexpr std::int32_t kFileWriteError = 75;

} // namespace vistrel
