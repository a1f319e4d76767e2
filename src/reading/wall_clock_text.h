// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>

namespace vistrel {

// The local time of day as HH:MM:SS, as messages say since when something
// has been missing.
std::string wallClockText(std::chrono::system_clock::time_point when);

} // namespace vistrel
