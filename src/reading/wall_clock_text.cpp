// SPDX-License-Identifier: MIT
#include "reading/wall_clock_text.h"

#include <ctime>

namespace vistrel {

std::string wallClockText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

} // namespace vistrel
