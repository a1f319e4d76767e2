// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "components/protocol.h"
#include "dialect/kwp_requests.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"

namespace vistrel {
namespace {

constexpr std::uint8_t kFirstPosition = 0x01;

} // namespace

void VistrelItem::ReadDynamicallyDefined(Protocol& protocol, pugi::xml_node snapShot) {
    clearOutcome();
    SnapshotRecord record(snapShot);
    // A failed exchange stays in the item (shown as its text) and is not
    // reported: with this method the list carries on with the next item.
    try {
        sendDefinition(protocol, kwp::kDynamicIdentifier, kFirstPosition, record);
    } catch (const Error&) {
        return;
    }

    request_.clear();
    request_.append(kwp::kReadDataByLocalIdentifier);
    request_.append(kwp::kDynamicIdentifier);
    record.setHex("ReadSend", request_);

    try {
        exchange(protocol, request_, reply_);
    } catch (const Error& error) {
        keepError(error, record, "ReadError");
        return;
    }

    // 61 E0 then the data; some ECUs put one more byte after the identifier.
    const auto length = static_cast<std::size_t>(length_);
    const std::size_t r = reply_.length();
    if (r < length + 2) {
        Error error = replyTooShortError(request_, reply_);
        setError(error.number(), error.description());
        throw error;
    }
    // A reply that is not the positive one (a negative reply the protocol
    // object let through) must not turn into a value.
    if (reply_.byte(0) != kReadDataPositiveReply) {
        Error error =
            replyCheckError(ReplyVerdict::WrongService, reply_.text(), "ReadDynamicallyDefined");
        keepError(error, record, "ReadError");
        throw error;
    }
    takeValueFromReply(r == length + 2 ? 2 : 3);
    record.setHex("ReadReceive", reply_);
    record.setHex("value", value_);
}

void VistrelItem::definePosition(Protocol& protocol, std::uint8_t identifier, std::uint8_t position,
                                 pugi::xml_node snapShot) {
    clearOutcome();
    SnapshotRecord record(snapShot);
    sendDefinition(protocol, identifier, position, record);
}

void VistrelItem::sendDefinition(Protocol& protocol, std::uint8_t identifier, std::uint8_t position,
                                 SnapshotRecord& record) {
    buildDefineRequest(request_, identifier, position, static_cast<std::uint8_t>(length_),
                       address_);
    record.set("name", name_);
    record.setHex("addr", address_);
    record.setHex("DefSend", request_);
    try {
        exchange(protocol, request_, reply_);
    } catch (const Error& error) {
        keepError(error, record, "DefError");
        throw;
    }
    record.setHex("DefReceive", reply_);
}

} // namespace vistrel
