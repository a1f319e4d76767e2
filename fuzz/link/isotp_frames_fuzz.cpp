// SPDX-License-Identifier: MIT
// Arbitrary frames from the ECU's id: the transport takes whatever they make
// as replies without a crash, an overrun or a hang, and no reply is longer
// than one transfer can be.
#include "components/error.h"
#include "input_bus.h"
#include "link/isotp_transport.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace vistrel;

using fuzzing::InputBus;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto owned = std::make_unique<InputBus>(data, size);
    const InputBus& bus = *owned;
    IsoTpSettings settings;
    settings.blockSize = 2;
    IsoTpTransport transport(std::move(owned), settings);
    while (!bus.exhausted()) {
        try {
            if (const auto reply = transport.receiveMessage(std::chrono::milliseconds(150));
                reply && reply->length() > isotp::kMaxMessage) {
                std::abort();
            }
        } catch (const Error&) {
        }
    }
    return 0;
}
