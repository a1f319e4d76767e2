// SPDX-License-Identifier: MIT
#include "control/system_platform.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace vistrel {

std::uint32_t SystemPlatform::milliseconds() const {
    // A 32-bit millisecond counter that wraps, like the system tick count
    // that recording times are measured against.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

LocalDateTime SystemPlatform::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string SystemPlatform::currentDirectory() const {
    std::error_code failed;
    const auto here = std::filesystem::current_path(failed);
    // A directory removed under the process has no path: files then go
    // where a relative name leads.
    return failed ? std::string(".") : here.string();
}

} // namespace vistrel
