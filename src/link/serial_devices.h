// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace vistrel {

// The serial devices a cable may be on, for a chooser: the stable names
// under /dev/serial/by-id first, then USB serial adapters (ttyUSB, ttyACM)
// and Bluetooth serial links (rfcomm), each list sorted.
std::vector<std::string> listSerialDevices();

} // namespace vistrel
