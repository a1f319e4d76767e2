// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the measurement description reader as a file
// that every /include names again, so includes of itself, loops and deep
// chains are tried too; whatever it reads is then mapped to items. Every
// input must end in a description or a syntax error, never a crash or hang.
#include "components/error.h"
#include "itemlist/a2l_mapping.h"
#include "itemlist/a2l_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const vistrel::A2lFileSource sameFileEverywhere =
        [&bytes](const std::filesystem::path& path) -> std::optional<std::string> {
        if (path.filename() == "absent.a2l") {
            return std::nullopt;
        }
        return bytes;
    };
    try {
        const vistrel::A2lDescription description =
            vistrel::readA2l("fuzz.a2l", sameFileEverywhere);
        for (const long long offset : {0LL, -0x80000000LL}) {
            const auto import = vistrel::importMeasurements(
                description, {offset, 3}, [](const vistrel::A2lMeasurement&) { return true; });
            if (import.items.size() + import.leftOut.size() != description.measurements.size()) {
                __builtin_trap(); // every measurement is either imported or said to be left out
            }
            for (const auto& item : import.items) {
                vistrel::itemLine(item, {});
            }
        }
    } catch (const vistrel::Error&) {
        // a syntax error or an unreadable include: the expected refusal
    }
    return 0;
}
