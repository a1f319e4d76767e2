// SPDX-License-Identifier: MIT
// Arbitrary adapter output: the reply parser reads it in both line formats
// without a crash, and every message it keeps is data it was given.
#include "link/elm_reply.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const bool klineHeaders : {false, true}) {
        vistrel::ElmLineFormat format;
        format.klineHeaders = klineHeaders;
        const vistrel::ElmReply reply = vistrel::parseElmReply(text, format);
        for (const vistrel::ByteString& message : reply.messages) {
            if (message.empty() || message.length() > size) {
                std::abort();
            }
        }
        if ((reply.message == vistrel::ElmMessage::None) != reply.words.empty()) {
            std::abort();
        }
    }
    return 0;
}
