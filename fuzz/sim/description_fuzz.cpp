// SPDX-License-Identifier: MIT
// Any text as an ECU description: it is accepted or refused with Error,
// never anything worse. Image files resolve in a folder that does not exist.
#include "components/error.h"
#include "sim/simulated_ecu.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto ecu = vistrel::SimulatedEcu::fromText(text, "fuzz.xml", "/nonexistent");
        vistrel::ByteString reply;
        ecu->SendReceive(vistrel::ByteString::fromText("2300000004"), reply);
    } catch (const vistrel::Error&) {
    }
    return 0;
}
