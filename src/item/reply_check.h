// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "components/error_numbers.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vistrel {

// The positive reply of ReadMemoryByAddress: the service byte plus 0x40.
inline constexpr std::uint8_t kReadMemoryPositiveReply = 0x63;
// The positive reply of ReadDataByLocalIdentifier.
inline constexpr std::uint8_t kReadDataPositiveReply = 0x61;

enum class ReplyVerdict { Good, WrongService, Incomplete };

// Whether reply is a positive ReadMemoryByAddress reply holding at least
// length value bytes after its service byte.
ReplyVerdict checkReadMemoryReply(std::span<const std::uint8_t> reply, std::size_t length) noexcept;

// The error of a reply that is not Good: 2002 "Incomplet reply (...)" or 2003
// "Answer format illegal (...)", replyText being the reply as the caller shows it.
Error replyCheckError(ReplyVerdict verdict, std::string_view replyText, std::string source = {});

// Error 1 "Reply to short : request=(...) reply=(...)": a dynamically defined
// read whose reply cannot hold the value it was asked for.
Error replyTooShortError(const ByteString& request, const ByteString& reply,
                         std::string source = "ReadDynamicallyDefined");

} // namespace vistrel
