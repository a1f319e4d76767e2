// SPDX-License-Identifier: MIT
#include "reading/read_tally.h"

#include "components/error.h"
#include "components/negative_response.h"
#include "components/protocol.h"
#include "item/vistrel_item.h"

namespace vistrel {

void ReadTally::count(const Error& failure) {
    lastFailure = failure.description();
    ++failures;
}

void ReadTally::failEach(const std::vector<std::shared_ptr<VistrelItem>>& items,
                         const Error& failure) {
    for (const auto& each : items) {
        each->takeError(failure);
        count(failure);
    }
}

void ReadTally::countAgain(const VistrelItem& item) {
    if (!isKnownRefusal(item.errorCode())) {
        count(Error(item.errorCode(), item.errorText()));
    }
}

void ReadTally::readByAddress(VistrelItem& item, Protocol& protocol, std::int32_t lengthSize,
                              pugi::xml_node snapShot) {
    try {
        item.ReadMemory(protocol, lengthSize, snapShot);
    } catch (const Error& failure) {
        count(failure);
    }
}

std::size_t replyLengthLimit(const Protocol& protocol) {
    const std::size_t limit = protocol.maxReplyLength();
    return limit == 0 ? kSafeReplyLength : limit;
}

} // namespace vistrel
