#pragma once

#include <atomic>

namespace vistrel {

// The one process-wide abort flag: the control's Abort sets it, the list's
// read leaves its item loop when it sees it, Start and hiding the control
// clear it. Atomic so that a signal handler of the command line may set it.
inline std::atomic<bool> AbortRequest{false};

} // namespace vistrel
