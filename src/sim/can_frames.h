// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// The request carried by one ISO 15765-2 single frame written as hexadecimal
// text: the PCI byte (high nibble 0, low nibble the length 1 to 7), then the
// data; padding after the data is ignored. Nothing for any other text, a
// frame longer than the 8 bytes of a CAN frame, or data shorter than its
// length.
std::optional<ByteString> singleFrameRequest(std::string_view hex);

// The frames that carry a reply, as upper-case hexadecimal text, each frame
// padded with 00 to 8 bytes: one single frame when the reply fits in 7 bytes,
// otherwise a first frame and its consecutive frames one after the other.
std::string replyFrames(const ByteString& reply);

} // namespace vistrel
