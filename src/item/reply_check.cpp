// SPDX-License-Identifier: MIT
#include "item/reply_check.h"

namespace vistrel {

ReplyVerdict checkReadMemoryReply(std::span<const std::uint8_t> reply,
                                  std::size_t length) noexcept {
    if (reply.empty() || reply[0] != kReadMemoryPositiveReply) {
        return ReplyVerdict::WrongService;
    }
    return reply.size() >= length + 1 ? ReplyVerdict::Good : ReplyVerdict::Incomplete;
}

Error replyCheckError(ReplyVerdict verdict, std::string_view replyText, std::string source) {
    if (verdict == ReplyVerdict::Incomplete) {
        return Error(reply_error::kIncompleteReply,
                     "Incomplet reply (" + std::string(replyText) + ")", std::move(source));
    }
    return Error(reply_error::kAnswerFormatIllegal,
                 "Answer format illegal (" + std::string(replyText) + ")", std::move(source));
}

Error replyTooShortError(const ByteString& request, const ByteString& reply, std::string source) {
    return Error(ErrorKind::Protocol, kReplyTooShortError,
                 "Reply to short : request=(" + request.text() + ") reply=(" + reply.text() + ")",
                 std::move(source));
}

} // namespace vistrel
