#include "cli/recording_lines.h"

#include "control/recording_format.h"
#include "itemlist/vistrel_items.h"

namespace vistrel::cli {

std::string recordingHeaderLine(const VistrelItems& items) {
    std::string line = "time";
    for (const auto& item : items) {
        line += '\t';
        line += recordingColumnTitle(*item);
    }
    return line;
}

std::string recordingDataLine(const VistrelItems& items, std::int64_t elapsedMilliseconds) {
    std::string line;
    appendRecordingTime(line, elapsedMilliseconds);
    for (const auto& item : items) {
        line += '\t';
        line += item->text();
    }
    return line;
}

} // namespace vistrel::cli
