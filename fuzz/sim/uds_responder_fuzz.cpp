// SPDX-License-Identifier: MIT
// Any requests to the UDS twin of the demo car, in its extended session: an
// answer, a refusal or silence, and periodic frames that fit one CAN frame,
// never anything worse. The input is cut into requests at every 0xFF byte;
// the first byte of each lets that many 10 ms pass first, so that time-outs,
// security delays and periodic rates come into play. A bare key request
// (27 LL+1) gets the right key for the last seed, so that unlocked memory
// is reached too.
#include "sim/ecu_description.h"
#include "sim/seed_key.h"
#include "sim/uds_responder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vistrel::EcuDescription description = vistrel::loadEcuDescription("uds");
    vistrel::UdsResponder ecu(description);
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    ecu.setClock([&now] { return now; });
    vistrel::ByteString reply;
    const std::uint8_t extended[] = {0x10, 0x03};
    ecu.answer(extended, reply);
    std::vector<std::uint8_t> seed;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != 0xFF) {
            continue;
        }
        if (i > start) {
            now += std::chrono::milliseconds(10 * data[start]);
            std::vector<std::uint8_t> request(data + start + 1, data + i);
            if (request.size() == 2 && request[0] == 0x27 && request[1] % 2 == 0 && !seed.empty()) {
                const auto key = vistrel::toyKey(request[1] - 1, seed);
                request.insert(request.end(), key.begin(), key.end());
            }
            ecu.answer(request, reply);
            if (reply.length() > 2 && reply.byte(0) == 0x67 && reply.byte(1) % 2 == 1) {
                seed.assign(reply.bytes().begin() + 2, reply.bytes().end());
            }
            if (reply.length() > 0xFFF) {
                std::abort();
            }
        }
        for (const vistrel::ByteString& frame : ecu.periodicFrames()) {
            if (frame.empty() || frame.length() > 8) {
                std::abort();
            }
        }
        start = i + 1;
    }
    return 0;
}
