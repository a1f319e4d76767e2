// SPDX-License-Identifier: MIT
#pragma once

#include "control/record_file.h"
#include "recording/trigger_condition.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// A recording that starts and stops itself: it stands in front of the
// recording file, keeps the lines of the last pre-trigger seconds in memory
// while it waits, and opens a new file, header first, each time the start
// condition comes true. In such a file the time column counts from the read
// that met the condition, so the lines kept from before it have negative
// times.
class TriggeredRecording {
public:
    // The next file's path, named from the clock as every recording is.
    using FileNamer = std::function<std::string()>;

    // Binds the conditions to the items' names; throws Error for a name that
    // is none of them.
    TriggeredRecording(RecordingTrigger trigger, const std::vector<std::string>& itemNames,
                       std::string header, FileNamer nameFile);

    enum class Change { None, FileOpened, FileClosed };

    // One good read: the millisecond clock, each item's value (for the
    // conditions) and the data line's columns after the time ("\t" and the
    // text of each item).
    Change read(std::uint32_t clock, const std::vector<std::optional<double>>& values,
                const std::string& valueColumns);

    bool fileOpen() const noexcept { return file_ != nullptr; }
    // The file of the current or last triggered run; "" before the first.
    const std::string& fileName() const noexcept { return fileName_; }

private:
    struct KeptLine {
        std::uint32_t clock;
        std::string valueColumns;
    };
    bool open(std::uint32_t clock);
    void write(std::uint32_t clock, const std::string& valueColumns);

    RecordingTrigger trigger_;
    std::string header_;
    FileNamer nameFile_;
    std::deque<KeptLine> kept_;
    std::unique_ptr<RecordFile> file_;
    std::string fileName_;
    std::uint32_t start_ = 0;
    // The start condition must have been false since the last run ended, so
    // that a level that stays up does not open file after file.
    bool startArmed_ = true;
    // The clock at which the post-trigger time ends, once the stop
    // condition has held.
    std::optional<std::uint32_t> stopAt_;
    std::string line_;
};

} // namespace vistrel
