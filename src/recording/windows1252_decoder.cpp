// SPDX-License-Identifier: MIT
#include "recording/windows1252_decoder.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <iconv.h>

namespace vistrel {
namespace {

iconv_t asIconv(void* descriptor) {
    return static_cast<iconv_t>(descriptor);
}

} // namespace

Windows1252Decoder::Windows1252Decoder() : descriptor_(iconv_open("UTF-8", "WINDOWS-1252")) {
    if (asIconv(descriptor_) == reinterpret_cast<iconv_t>(-1)) {
        throw Error(kRecordingFileError, "Code page windows-1252 not available",
                    "Windows1252Decoder");
    }
}

Windows1252Decoder::~Windows1252Decoder() {
    iconv_close(asIconv(descriptor_));
}

std::string Windows1252Decoder::decode(std::string_view bytes) {
    // ASCII reads the same in both encodings: most files never reach iconv.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(bytes);
    }
    const iconv_t cd = asIconv(descriptor_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    // One byte never takes more than three bytes of UTF-8.
    std::string buffer(3 * bytes.size(), '\0');
    while (!bytes.empty()) {
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        bytes.remove_prefix(bytes.size() - inLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        out.push_back('?');
        bytes.remove_prefix(1);
    }
    return out;
}

} // namespace vistrel
