// SPDX-License-Identifier: MIT
// Any bytes as a request to the demo ECU: an answer or an Error, never
// anything worse. The input is cut into requests at every 0xFF byte so that a
// definition and a read can meet in one run.
#include "components/error.h"
#include "sim/simulated_ecu.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto ecu = vistrel::SimulatedEcu::demo();
    vistrel::ByteString reply;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0xFF) {
            const vistrel::ByteString request(std::vector<std::uint8_t>(data + start, data + i));
            try {
                ecu->SendReceive(request, reply);
            } catch (const vistrel::Error&) {
            }
            start = i + 1;
        }
    }
    return 0;
}
