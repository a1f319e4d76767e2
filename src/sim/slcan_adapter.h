// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/slcan_text.h"
#include "sim/isotp_ecu.h"

#include <functional>
#include <string>

namespace vistrel {

// A virtual slcan adapter (as a CANable or USBtin) with the simulated ECU on
// its bus, served on a serial line. Like the real ones it answers BEL to a
// bit rate or open while the channel is open, confirms each frame sent with
// z or Z, and prints the frames of the bus with a timestamp nobody asked for.
class SlcanAdapter {
public:
    SlcanAdapter(const EcuDescription& description, IsoTpEcuSettings settings);

    // Serves until keepGoing says no (asked at least every 20 ms); a failing
    // line throws Error.
    void serve(ByteLine& line, const std::function<bool()>& keepGoing);

private:
    // The adapter's answer to one command line.
    std::string command(const std::string& line, ByteLine::Clock::time_point now);

    IsoTpEcu ecu_;
    SlcanLineSplitter splitter_;
    bool open_ = false;
};

} // namespace vistrel
