// SPDX-License-Identifier: MIT
// Arbitrary bytes from an slcan adapter: cut into answers and read as frames
// without a crash, and every frame read is one the text form gives back.
#include "link/slcan_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vistrel::SlcanLineSplitter splitter;
    std::vector<std::string> lines;
    // In two pieces, as a serial line delivers them.
    const std::size_t half = size / 2;
    splitter.push({data, half}, lines);
    splitter.push({data + half, size - half}, lines);
    for (const auto& line : lines) {
        const auto frame = vistrel::parseSlcanFrame(line);
        if (!frame) {
            continue;
        }
        if (frame->length > 8 ||
            vistrel::parseSlcanFrame(vistrel::slcanFrameText(*frame)) != frame) {
            std::abort();
        }
    }
    return 0;
}
