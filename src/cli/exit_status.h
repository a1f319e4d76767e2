// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace vistrel::cli {

// The command line's exit codes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitReadFailed = 1;
inline constexpr int kExitUsage = 2;

// A bad option value or a file that cannot be used: the command ends with
// kExitUsage after the message has been written.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vistrel::cli
