// SPDX-License-Identifier: MIT
#include "dialect/uds_requests.h"

#include <algorithm>

namespace vistrel {
namespace {

void appendIdentifier(ByteString& request, std::uint16_t identifier) {
    request.append(static_cast<std::uint8_t>(identifier >> 8));
    request.append(static_cast<std::uint8_t>(identifier & 0xFF));
}

// The first count bytes of address: an address longer than a nibble can
// announce is cut where the format byte says it ends.
void appendAddress(ByteString& request, const ByteString& address, std::size_t count) {
    for (std::size_t i = 0; i < count && i < address.length(); ++i) {
        request.append(address.byte(i));
    }
}

void appendSize(ByteString& request, std::uint32_t size, std::int32_t lengthSize) {
    if (lengthSize == 2) {
        request.append(static_cast<std::uint8_t>(size / 256));
    }
    request.append(static_cast<std::uint8_t>(size % 256));
}

} // namespace

std::uint8_t addressAndLengthFormat(std::size_t addressBytes, std::int32_t lengthSize) {
    const auto sizeBytes = static_cast<std::uint8_t>(lengthSize == 2 ? 2 : 1);
    // A nibble holds at most 15; an address written longer is cut there by
    // the request too, so the two agree.
    const auto address = static_cast<std::uint8_t>(std::min<std::size_t>(addressBytes, 15));
    return static_cast<std::uint8_t>(sizeBytes << 4 | address);
}

void buildUdsReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                               std::int32_t lengthSize) {
    request.clear();
    request.append(uds::kReadMemoryByAddress);
    request.append(addressAndLengthFormat(address.length(), lengthSize));
    appendAddress(request, address, 15);
    appendSize(request, size, lengthSize);
}

void buildDefineByMemoryRequest(ByteString& request, std::uint16_t identifier,
                                std::span<const MemoryElement> elements, std::int32_t lengthSize) {
    request.clear();
    request.append(uds::kDynamicallyDefineDataIdentifier);
    request.append(uds::kDefineByMemoryAddress);
    appendIdentifier(request, identifier);
    if (elements.empty()) {
        return;
    }
    const std::size_t width = std::min<std::size_t>(elements.front().address->length(), 15);
    request.append(addressAndLengthFormat(width, lengthSize));
    for (const MemoryElement& element : elements) {
        appendAddress(request, *element.address, width);
        appendSize(request, element.size, lengthSize);
    }
}

void buildClearIdentifierRequest(ByteString& request, std::uint16_t identifier) {
    request.clear();
    request.append(uds::kDynamicallyDefineDataIdentifier);
    request.append(uds::kClearDynamicallyDefined);
    appendIdentifier(request, identifier);
}

void buildReadIdentifiersRequest(ByteString& request, std::span<const std::uint16_t> identifiers) {
    request.clear();
    request.append(uds::kReadDataByIdentifier);
    for (const std::uint16_t identifier : identifiers) {
        appendIdentifier(request, identifier);
    }
}

void buildPeriodicRequest(ByteString& request, std::uint8_t mode,
                          std::span<const std::uint16_t> identifiers) {
    request.clear();
    request.append(uds::kReadDataByPeriodicIdentifier);
    request.append(mode);
    for (const std::uint16_t identifier : identifiers) {
        request.append(static_cast<std::uint8_t>(identifier & 0xFF));
    }
}

} // namespace vistrel
