#include "components/negative_response.h"
#include "components/protocol.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"

namespace vistrel {
namespace {

// Positive reply to ReadDataByLocalIdentifier.
constexpr std::uint8_t kReadDataPositiveReply =
    kwp::kReadDataByLocalIdentifier + kwp::kPositiveReplyOffset;

// Define-by-memory-address mode and the position of the record in the
// identifier, as the ECU expects them in the define request.
constexpr std::uint8_t kDefineByMemoryAddress = 0xD0;
constexpr std::uint8_t kFirstPosition = 0x01;
constexpr std::uint8_t kMemoryBlock = 0x00;

} // namespace

void VistrelItem::ReadDynamicallyDefined(Protocol& protocol, pugi::xml_node snapShot) {
    clearOutcome();

    request_.clear();
    request_.append(kwp::kDynamicallyDefineLocalIdentifier);
    request_.append(kwp::kDynamicIdentifier);
    request_.append(kDefineByMemoryAddress);
    request_.append(kFirstPosition);
    request_.append(static_cast<std::uint8_t>(length_));
    request_.append(kMemoryBlock);
    request_.append(address_);

    SnapshotRecord record(snapShot);
    record.set("name", name_);
    record.setHex("addr", address_);
    record.setHex("DefSend", request_);

    // A failed exchange stays in the item (shown as its text) and is not
    // reported: with this method the list carries on with the next item.
    try {
        protocol.SendReceive(request_, reply_);
    } catch (const Error& error) {
        keepError(error, record, "DefError");
        return;
    }
    record.setHex("DefReceive", reply_);

    request_.clear();
    request_.append(kwp::kReadDataByLocalIdentifier);
    request_.append(kwp::kDynamicIdentifier);
    record.setHex("ReadSend", request_);

    try {
        protocol.SendReceive(request_, reply_);
    } catch (const Error& error) {
        keepError(error, record, "ReadError");
        return;
    }

    // 61 E0 then the data; some ECUs put one more byte after the identifier.
    const auto length = static_cast<std::size_t>(length_);
    const std::size_t r = reply_.length();
    if (r < length + 2) {
        std::string text =
            "Reply to short : request=(" + request_.text() + ") reply=(" + reply_.text() + ")";
        setError(kReplyTooShortError, text);
        throw Error(kReplyTooShortError, std::move(text), "ReadDynamicallyDefined");
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

} // namespace vistrel
