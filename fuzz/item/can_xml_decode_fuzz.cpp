// SPDX-License-Identifier: MIT
// A batch reply text of any form handed to one item.
#include "components/error.h"
#include "fuzzed_item.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vistrel::VistrelItem item = vistrel::fuzzing::fuzzedItem(input);
    const std::string reply = input.ConsumeRemainingBytesAsString();
    const std::int32_t codeBefore = item.errorCode();
    try {
        if (item.CanXmlDecode(reply)) {
            __builtin_trap();
        }
    } catch (const vistrel::Error&) {
        if (item.errorCode() != codeBefore) {
            __builtin_trap();
        }
    }
    vistrel::fuzzing::checkOutcome(item);
    return 0;
}
