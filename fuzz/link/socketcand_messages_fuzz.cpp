// SPDX-License-Identifier: MIT
// Arbitrary bytes from a socketcand connection: cut into messages and read
// as frames (the tester's side) and as send commands (the server's side)
// without a crash, and every send command read is one the text form gives
// back.
#include "link/socketcand_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vistrel::SocketcandReader reader;
    std::vector<std::string> messages;
    const std::size_t third = size / 3;
    reader.push({data, third}, messages);
    reader.push({data + third, size - third}, messages);
    for (const auto& message : messages) {
        if (const auto frame = vistrel::parseSocketcandFrame(message); frame && frame->length > 8) {
            std::abort();
        }
        if (const auto frame = vistrel::parseSocketcandSend(message)) {
            std::vector<std::string> again;
            const std::string text = vistrel::socketcandSendText(*frame);
            vistrel::SocketcandReader().push(
                {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, again);
            if (again.size() != 1 || vistrel::parseSocketcandSend(again[0]) != frame) {
                std::abort();
            }
        }
    }
    return 0;
}
