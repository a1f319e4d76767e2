// SPDX-License-Identifier: MIT
#include "reading/uds_identifier_steps.h"

#include "components/error.h"
#include "components/negative_response.h"
#include "components/protocol.h"
#include "dialect/uds_identifier_reply.h"
#include "dialect/uds_requests.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"

#include <vector>

namespace vistrel {
namespace {

// One recorded exchange: request under send, reply under receive, a failure
// under failed (then thrown).
ByteString recordedExchange(Protocol& protocol, const ByteString& request, SnapshotRecord& record,
                            const char* send, const char* receive, const char* failed) {
    ByteString reply;
    record.setHex(send, request);
    try {
        exchange(protocol, request, reply);
    } catch (const Error& failure) {
        record.set(failed, failure.description());
        throw;
    }
    record.setHex(receive, reply);
    return reply;
}

} // namespace

void clearIdentifier(Protocol& protocol, std::uint16_t identifier, SnapshotRecord& record) {
    ByteString request;
    buildClearIdentifierRequest(request, identifier);
    try {
        recordedExchange(protocol, request, record, "ClearSend", "ClearReceive", "ClearError");
    } catch (const Error& failure) {
        if (!isRefusal(failure)) {
            throw;
        }
    }
}

void defineIdentifier(Protocol& protocol, std::uint16_t identifier,
                      std::span<VistrelItem* const> items, std::int32_t lengthSize,
                      SnapshotRecord& record) {
    std::vector<MemoryElement> elements;
    ByteString request;
    std::size_t from = 0;
    while (from < items.size()) {
        const std::size_t width = items[from]->addressByte().length();
        elements.clear();
        std::size_t to = from;
        for (; to < items.size() && items[to]->addressByte().length() == width; ++to) {
            elements.push_back(
                {&items[to]->addressByte(), static_cast<std::uint32_t>(items[to]->length())});
        }
        buildDefineByMemoryRequest(request, identifier, elements, lengthSize);
        const ByteString reply =
            recordedExchange(protocol, request, record, "DefSend", "DefReceive", "DefError");
        if (reply.length() < 4 ||
            reply.byte(0) != uds::kDynamicallyDefineDataIdentifier + uds::kPositiveReplyOffset ||
            reply.byte(2) != request.byte(2) || reply.byte(3) != request.byte(3)) {
            Error failure = replyCheckError(ReplyVerdict::WrongService, reply.text(),
                                            "DynamicallyDefineDataIdentifier");
            record.set("DefError", failure.description());
            throw failure;
        }
        from = to;
    }
}

ByteString readIdentifier(Protocol& protocol, std::uint16_t identifier, std::size_t size,
                          SnapshotRecord& record) {
    ByteString request;
    const std::uint16_t asked[] = {identifier};
    buildReadIdentifiersRequest(request, asked);
    const ByteString reply =
        recordedExchange(protocol, request, record, "ReadSend", "ReadReceive", "ReadError");
    const AskedIdentifier expected[] = {{identifier, size}};
    const auto data = splitIdentifierReply(reply.bytes(), expected);
    if (!data || !data->front()) {
        const bool ownButShort =
            reply.length() >= 3 && reply.byte(0) == request.byte(0) + uds::kPositiveReplyOffset &&
            reply.byte(1) == request.byte(1) && reply.byte(2) == request.byte(2);
        Error failure = ownButShort ? replyTooShortError(request, reply, "ReadDataByIdentifier")
                                    : replyCheckError(ReplyVerdict::WrongService, reply.text(),
                                                      "ReadDataByIdentifier");
        record.set("ReadError", failure.description());
        throw failure;
    }
    return ByteString(std::vector<std::uint8_t>(data->front()->begin(), data->front()->end()));
}

void takeValues(std::span<VistrelItem* const> items, std::span<const std::uint8_t> data) {
    std::size_t at = 0;
    for (VistrelItem* item : items) {
        item->takeValue(data.subspan(at));
        at += static_cast<std::size_t>(item->length());
    }
}

bool isRefusal(const Error& failure) noexcept {
    return isNegativeResponse(failure.number());
}

std::size_t bytesOf(std::span<VistrelItem* const> items) noexcept {
    std::size_t bytes = 0;
    for (const VistrelItem* item : items) {
        bytes += static_cast<std::size_t>(item->length());
    }
    return bytes;
}

} // namespace vistrel
