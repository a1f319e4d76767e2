#pragma once

#include <cstdint>
#include <string>

namespace vistrel {
class VistrelItems;
}

namespace vistrel::cli {

// The lines of a recording file, for a reader of standard output: the same
// text, in this process's own encoding and without the line ends.
std::string recordingHeaderLine(const VistrelItems& items);
std::string recordingDataLine(const VistrelItems& items, std::int64_t elapsedMilliseconds);

} // namespace vistrel::cli
