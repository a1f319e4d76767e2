// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <cstdint>
#include <string>

namespace vistrel {

class VistrelItem;

// The recording file's name for the moment given, e.g.
// "vistrel_4-12-26__07h05mn09.txt". The caller reads the clock once, so the
// name always names a moment that was.
std::string recordingFileName(const LocalDateTime& moment);

// The header title of an item's column: "Ubat(V)" or "Ubat", in double quotes.
std::string recordingColumnTitle(const VistrelItem& item);

// Appends the time column of a data line: the elapsed seconds rounded to
// hundredths (a half to the even hundredth), a full stop as separator, no
// trailing zeros, one leading space for zero or more and a minus sign below.
void appendRecordingTime(std::string& line, std::int64_t elapsedMilliseconds);

} // namespace vistrel
