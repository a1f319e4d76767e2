// SPDX-License-Identifier: MIT
#include "dialect/uds_identifier_reply.h"

#include "dialect/uds_requests.h"

namespace vistrel {

std::optional<IdentifierData> splitIdentifierReply(std::span<const std::uint8_t> reply,
                                                   std::span<const AskedIdentifier> asked) {
    constexpr std::uint8_t kPositive = uds::kReadDataByIdentifier + uds::kPositiveReplyOffset;
    if (reply.empty() || reply[0] != kPositive) {
        return std::nullopt;
    }
    IdentifierData data(asked.size());
    std::size_t at = 1;
    while (at < reply.size()) {
        if (reply.size() - at < 2) {
            return std::nullopt;
        }
        const auto identifier = static_cast<std::uint16_t>(reply[at] << 8 | reply[at + 1]);
        at += 2;
        std::size_t which = 0;
        while (which < asked.size() &&
               (asked[which].identifier != identifier || data[which].has_value())) {
            ++which;
        }
        if (which == asked.size() || reply.size() - at < asked[which].size) {
            return std::nullopt;
        }
        data[which] = reply.subspan(at, asked[which].size);
        at += asked[which].size;
    }
    return data;
}

} // namespace vistrel
