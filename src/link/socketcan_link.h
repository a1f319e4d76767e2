// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/can_settings.h"
#include "link/message_link.h"

#include <memory>
#include <optional>
#include <string>

namespace vistrel {

// Why this system cannot make CAN sockets (the kernel lacks AF_CAN), or
// nothing when it can.
std::optional<std::string> missingCanSockets();

// Linux SocketCAN on an interface such as can0: the kernel's ISO-TP socket
// where the module is loaded, with our keys as its options; otherwise a raw
// CAN socket filtered on rx under our own ISO-TP transport. Throws Error
// when the interface does not exist or is down.
std::unique_ptr<MessageLink> openSocketCan(const CanSettings& settings);

} // namespace vistrel
