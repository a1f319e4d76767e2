// SPDX-License-Identifier: MIT
#include "dialect/kwp_requests.h"

#include "components/negative_response.h"

namespace vistrel {
namespace {

// The define mode that the ECU expects, and the memory block that follows
// the size.
constexpr std::uint8_t kDefineByMemoryAddress = 0xD0;
constexpr std::uint8_t kMemoryBlock = 0x00;

} // namespace

void buildReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                            std::int32_t lengthSize) {
    request.clear();
    request.append(kwp::kReadMemoryByAddress);
    request.append(address);
    if (lengthSize == 2) {
        request.append(static_cast<std::uint8_t>(size / 256));
    }
    request.append(static_cast<std::uint8_t>(size % 256));
}

void buildDefineRequest(ByteString& request, std::uint8_t identifier, std::uint8_t position,
                        std::uint8_t size, const ByteString& address) {
    request.clear();
    request.append(kwp::kDynamicallyDefineLocalIdentifier);
    request.append(identifier);
    request.append(kDefineByMemoryAddress);
    request.append(position);
    request.append(size);
    request.append(kMemoryBlock);
    request.append(address);
}

} // namespace vistrel
