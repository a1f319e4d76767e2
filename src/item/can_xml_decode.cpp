// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "item/reply_check.h"
#include "item/vistrel_item.h"

namespace vistrel {
namespace {

// A reply that ends before the bytes its first byte calls for cannot be
// judged; the caller learns it and the item keeps its state.
[[noreturn]] void rejectTruncated(std::string_view replyString) {
    throw replyCheckError(ReplyVerdict::WrongService, replyString, "CanXmlDecode");
}

} // namespace

bool VistrelItem::CanXmlDecode(std::string_view replyString) {
    const ByteString reply = ByteString::fromText(replyString);
    if (reply.empty()) {
        rejectTruncated(replyString);
    }

    if (reply.byte(0) != kwp::kNegativeReply) {
        const ReplyVerdict verdict =
            checkReadMemoryReply(reply.bytes(), static_cast<std::size_t>(length_));
        if (verdict != ReplyVerdict::Good) {
            const Error error = replyCheckError(verdict, replyString);
            setError(error.number(), error.description());
            return false;
        }
        const auto n = static_cast<std::size_t>(length_);
        value_ = reply.mid(1, n);
        setError(0, {});
        return false;
    }

    if (reply.length() < 2) {
        rejectTruncated(replyString);
    }
    if (reply.byte(1) != kwp::kReadMemoryByAddress) {
        setError(nrc_error::kIllegalNegativeReply,
                 "Illegal negative reply (" + std::string(replyString) + ")");
        return false;
    }
    if (reply.length() < 3) {
        rejectTruncated(replyString);
    }
    const Error refusal = negativeResponseError(reply.byte(1), reply.byte(2));
    setError(refusal.number(), refusal.description());
    return false;
}

} // namespace vistrel
