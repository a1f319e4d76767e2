// SPDX-License-Identifier: MIT
// Arbitrary adapter output: the reply parser reads it in both line formats,
// as received and with the unprintable bytes left out as the link does,
// without a crash, and every message it keeps is data it was given.
#include "link/elm_reply.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view received(reinterpret_cast<const char*>(data), size);
    const std::string printed = vistrel::printedText(received);
    if (printed.size() > size) {
        std::abort();
    }
    for (const auto& [text, klineHeaders] : {std::pair{received, false}, std::pair{received, true},
                                             std::pair{std::string_view(printed), true}}) {
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
