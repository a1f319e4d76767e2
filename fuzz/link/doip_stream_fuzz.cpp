// SPDX-License-Identifier: MIT
// Arbitrary bytes from a DoIP connection, cut at a point the input chooses:
// the stream reader either gives messages whose length its type allows and
// that encode back to the very bytes read, or stops with a fault and stays
// stopped; announcements among them read without a crash.
#include "link/doip_discovery.h"
#include "link/doip_message.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t cut = std::min<std::size_t>(data[0], size - 1) + 1;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    vistrel::doip::StreamReader reader;
    std::size_t consumed = 0;
    bool faulted = false;
    for (std::size_t at = 0; at < stream.size() && !faulted; at += cut) {
        reader.push(stream.subspan(at, std::min(cut, stream.size() - at)));
        try {
            while (const auto message = reader.next()) {
                const auto bytes =
                    vistrel::doip::encode(message->version, message->type, message->payload);
                if (consumed + bytes.size() > stream.size() ||
                    !std::equal(bytes.begin(), bytes.end(), stream.begin() + consumed) ||
                    vistrel::doip::checkHeader(std::span(bytes).first<8>())) {
                    std::abort();
                }
                consumed += bytes.size();
                (void)vistrel::readAnnouncement(*message, "0.0.0.0");
            }
        } catch (const vistrel::doip::StreamFault&) {
            faulted = true;
        }
    }
    if (faulted) {
        try {
            reader.next();
            std::abort();
        } catch (const vistrel::doip::StreamFault&) {
        }
    }
    return 0;
}
