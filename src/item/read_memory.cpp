// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "components/protocol.h"
#include "dialect/read_memory_request.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"

namespace vistrel {

void VistrelItem::ReadMemory(Protocol& protocol, std::int32_t lengthSize, pugi::xml_node snapShot) {
    clearOutcome();

    buildReadMemoryRequest(request_, address_, static_cast<std::uint32_t>(length_), lengthSize,
                           protocol.family());

    SnapshotRecord record(snapShot);
    record.set("name", name_);
    record.setHex("addr", address_);
    record.setHex("send", request_);

    try {
        exchange(protocol, request_, reply_);
    } catch (const Error& error) {
        keepError(error, record, "error");
        // A refusal with a known reason is an answer, not a broken exchange:
        // the item shows it and the list does not count it as a failure.
        if (isKnownRefusal(error.number())) {
            return;
        }
        throw;
    }

    // The protocol object should refuse wrong replies itself; one that slips
    // through must not turn into a value.
    const ReplyVerdict verdict =
        checkReadMemoryReply(reply_.bytes(), static_cast<std::size_t>(length_));
    if (verdict != ReplyVerdict::Good) {
        Error error = replyCheckError(verdict, reply_.text(), "ReadMemory");
        keepError(error, record, "error");
        throw error;
    }

    takeValueFromReply(1);
    record.setHex("receive", reply_);
    record.setHex("value", value_);
}

} // namespace vistrel
