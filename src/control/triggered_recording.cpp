// SPDX-License-Identifier: MIT
#include "control/triggered_recording.h"

#include "control/recording_format.h"

#include <algorithm>
#include <cmath>

namespace vistrel {
namespace {

std::uint32_t milliseconds(double seconds) {
    return seconds > 0 ? static_cast<std::uint32_t>(std::llround(std::min(seconds, 86400.0) * 1000))
                       : 0;
}

} // namespace

TriggeredRecording::TriggeredRecording(RecordingTrigger trigger,
                                       const std::vector<std::string>& itemNames,
                                       std::string header, FileNamer nameFile)
    : trigger_(std::move(trigger)), header_(std::move(header)), nameFile_(std::move(nameFile)) {
    for (auto* condition : {&trigger_.when, &trigger_.until}) {
        if (*condition) {
            (*condition)->bind(itemNames);
        }
    }
}

TriggeredRecording::Change
TriggeredRecording::read(std::uint32_t clock, const std::vector<std::optional<double>>& values,
                         const std::string& valueColumns) {
    if (file_) {
        write(clock, valueColumns);
        if (!stopAt_ && trigger_.until && trigger_.until->holds(values)) {
            stopAt_ = clock + milliseconds(trigger_.postTriggerSeconds);
        }
        // Elapsed times modulo 2^32, as the recording's own time column.
        if (stopAt_ && static_cast<std::int32_t>(clock - *stopAt_) >= 0) {
            file_.reset();
            stopAt_.reset();
            return Change::FileClosed;
        }
        return Change::None;
    }

    const std::uint32_t keep = milliseconds(trigger_.preTriggerSeconds);
    while (!kept_.empty() && clock - kept_.front().clock > keep) {
        kept_.pop_front();
    }
    const bool start = !trigger_.when || trigger_.when->holds(values);
    if (start && startArmed_ && open(clock)) {
        write(clock, valueColumns);
        return Change::FileOpened;
    }
    startArmed_ = startArmed_ || !start;
    if (keep > 0) {
        kept_.push_back({clock, valueColumns});
    }
    return Change::None;
}

bool TriggeredRecording::open(std::uint32_t clock) {
    const std::string name = nameFile_();
    auto file = RecordFile::openForAppend(name);
    // A file that cannot be opened is tried again at the next read.
    if (!file || !file->writeLine(header_)) {
        return false;
    }
    file_ = std::move(file);
    fileName_ = name;
    start_ = clock;
    startArmed_ = false;
    for (const KeptLine& line : kept_) {
        write(line.clock, line.valueColumns);
    }
    kept_.clear();
    return true;
}

void TriggeredRecording::write(std::uint32_t clock, const std::string& valueColumns) {
    line_.clear();
    appendRecordingTime(line_, static_cast<std::int32_t>(clock - start_));
    line_ += valueColumns;
    // A line that cannot be written is lost; the recording goes on.
    file_->writeLine(line_);
}

} // namespace vistrel
