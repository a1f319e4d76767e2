// SPDX-License-Identifier: MIT
#include "sim/slcan_adapter.h"

#include "components/byte_string.h"

#include <algorithm>
#include <array>

namespace vistrel {
namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(20);
constexpr const char* kOk = "\r";
constexpr const char* kBell = "\a";
// The timestamp counts milliseconds and wraps after a minute.
constexpr long kTimestampWrap = 60000;

} // namespace

SlcanAdapter::SlcanAdapter(const EcuDescription& description, IsoTpEcuSettings settings)
    : ecu_(description, std::move(settings)) {}

std::string SlcanAdapter::command(const std::string& line, ByteLine::Clock::time_point now) {
    if (line.empty()) {
        return kOk;
    }
    switch (line[0]) {
    case 'C':
        open_ = false;
        return kOk;
    case 'S':
        return !open_ && line.size() == 2 && line[1] >= '0' && line[1] <= '8' ? kOk : kBell;
    case 'O':
        if (open_) {
            return kBell;
        }
        open_ = true;
        return kOk;
    case 'V':
        return "V1013\r";
    case 't':
    case 'T': {
        const auto frame = parseSlcanFrame(line);
        if (!open_ || !frame) {
            return kBell;
        }
        ecu_.receive(*frame, now);
        return line[0] == 't' ? "z\r" : "Z\r";
    }
    default:
        return kBell;
    }
}

void SlcanAdapter::serve(ByteLine& line, const std::function<bool()>& keepGoing) {
    std::array<std::uint8_t, 256> buffer{};
    std::vector<std::string> lines;
    while (keepGoing()) {
        auto deadline = line.now() + kPollSlice;
        if (const auto next = ecu_.nextDue()) {
            deadline = std::min(deadline, *next);
        }
        const std::size_t n = line.read(buffer, deadline);
        std::string out;
        lines.clear();
        splitter_.push(std::span(buffer.data(), n), lines);
        for (const auto& text : lines) {
            out += command(text, line.now());
        }
        const auto now = line.now();
        const long stamp =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
            kTimestampWrap;
        for (const CanFrame& frame : ecu_.due(now)) {
            if (open_) {
                out +=
                    slcanFrameText(frame) + hexPadded(static_cast<std::uint32_t>(stamp), 4) + "\r";
            }
        }
        if (!out.empty()) {
            line.write(std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
        }
    }
}

} // namespace vistrel
