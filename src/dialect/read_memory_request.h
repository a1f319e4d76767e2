// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/diagnostic_family.h"

#include <cstdint>

namespace vistrel {

// ReadMemoryByAddress of size bytes at address, spelled in the family's
// way: KWP2000 23 address size, UDS 23 ALFID address size. Both answer
// 63 and the data.
void buildReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                            std::int32_t lengthSize, DiagnosticFamily family);

} // namespace vistrel
