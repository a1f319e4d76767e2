// SPDX-License-Identifier: MIT
#include "dialect/read_memory_request.h"

#include "dialect/kwp_requests.h"
#include "dialect/uds_requests.h"

namespace vistrel {

void buildReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                            std::int32_t lengthSize, DiagnosticFamily family) {
    if (family == DiagnosticFamily::Uds) {
        buildUdsReadMemoryRequest(request, address, size, lengthSize);
    } else {
        buildReadMemoryRequest(request, address, size, lengthSize);
    }
}

} // namespace vistrel
