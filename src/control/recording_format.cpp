// SPDX-License-Identifier: MIT
#include "control/recording_format.h"

#include "control/rounding.h"
#include "item/vistrel_item.h"

#include <charconv>
#include <cstdlib>

namespace vistrel {
namespace {

void appendNumber(std::string& out, std::int64_t value, int minimumDigits = 1) {
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < minimumDigits) {
        out.append(static_cast<std::size_t>(minimumDigits - length), '0');
    }
    out.append(digits, end);
}

} // namespace

std::string recordingFileName(const LocalDateTime& moment) {
    std::string name = "vistrel_";
    appendNumber(name, moment.day);
    name += '-';
    appendNumber(name, moment.month);
    name += '-';
    appendNumber(name, std::abs(moment.year) % 100, 2);
    name += "__";
    appendNumber(name, moment.hour, 2);
    name += 'h';
    appendNumber(name, moment.minute, 2);
    name += "mn";
    appendNumber(name, moment.second, 2);
    name += ".txt";
    return name;
}

std::string recordingColumnTitle(const VistrelItem& item) {
    std::string title = "\"" + item.name();
    if (!item.unit().empty()) {
        title += "(" + item.unit() + ")";
    }
    title += '"';
    return title;
}

void appendRecordingTime(std::string& line, std::int64_t elapsedMilliseconds) {
    const std::int64_t hundredths = divideRoundHalfEven(elapsedMilliseconds, 10);
    line += hundredths < 0 ? '-' : ' ';
    const std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    appendNumber(line, magnitude / 100);
    const std::int64_t fraction = magnitude % 100;
    if (fraction != 0) {
        line += '.';
        if (fraction % 10 == 0) {
            appendNumber(line, fraction / 10);
        } else {
            appendNumber(line, fraction, 2);
        }
    }
}

} // namespace vistrel
