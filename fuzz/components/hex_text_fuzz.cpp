// SPDX-License-Identifier: MIT
// Hexadecimal text from outside (addresses, masks, replies): either a clear
// Error or bytes that give back the same text in upper case.
#include "components/byte_string.h"
#include "components/error.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vistrel::ByteString bytes;
    try {
        bytes = vistrel::ByteString::fromText(input);
    } catch (const vistrel::Error&) {
        return 0;
    }
    std::string upper(input);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const std::string text = bytes.text();
    if (text != upper || bytes.length() * 2 != size ||
        vistrel::ByteString::fromText(text) != bytes) {
        std::abort();
    }
    return 0;
}
