// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"

#include <memory>
#include <string>
#include <string_view>

namespace vistrel {

// The protocol object that a link string names: "sim" (the built-in demo
// car), "sim:FILE" (an ECU description), "kline:DEVICE,key=value...", "elm:DEVICE,key=value...",
// KWP2000 on CAN: "slcan:DEVICE,...", "socketcand:HOST[:PORT],...", "socketcan:IFACE,...", and
// UDS over IP: "doip:HOST[:PORT],...".
// The whole string is checked first and no device is opened here: a real link opens its device on
// InitCommunication, so a missing cable is a failed step that the cycle retries. Throws
// LinkStringError for a bad link string and Error for an ECU description that cannot be used.
std::shared_ptr<Protocol> makeLink(std::string_view linkString);

// The kinds makeLink knows, for messages and choosers.
inline constexpr std::string_view kLinkKinds[] = {"sim",        "kline",     "elm", "slcan",
                                                  "socketcand", "socketcan", "doip"};

// The forms of every kind's link string, for the --link help of each
// program: "sim, sim:FILE, kline:DEVICE[,key=value]..., ...,
// socketcand:HOST[:PORT][,key=value]..., socketcan:IFACE[,key=value]...".
std::string linkStringForms();

// The keys that choose the diagnostic family and shape UDS, for the same
// help: which kinds take diag, security, key, rate, prx, ext and rxext.
std::string diagnosticKeysHelp();

} // namespace vistrel
