// SPDX-License-Identifier: MIT
#include "components/utf8_decoder.h"

#include "components/error.h"

#include <algorithm>
#include <iconv.h>

namespace vistrel {
namespace {

iconv_t asIconv(void* descriptor) {
    return static_cast<iconv_t>(descriptor);
}

} // namespace

Utf8Decoder::Utf8Decoder(const char* encoding, std::size_t unitSize, std::string standIn,
                         std::int32_t errorNumber)
    : descriptor_(iconv_open("UTF-8", encoding)), unitSize_(unitSize),
      standIn_(std::move(standIn)) {
    if (asIconv(descriptor_) == reinterpret_cast<iconv_t>(-1)) {
        throw Error(errorNumber, std::string("Encoding ") + encoding + " not available",
                    "Utf8Decoder");
    }
}

Utf8Decoder::~Utf8Decoder() {
    iconv_close(asIconv(descriptor_));
}

std::string Utf8Decoder::decode(std::string_view bytes) {
    // ASCII bytes read the same in every single-byte code page: most texts
    // never reach iconv.
    if (unitSize_ == 1 && std::all_of(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) {
        return std::string(bytes);
    }
    const iconv_t cd = asIconv(descriptor_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    // A unit never takes more than four bytes of UTF-8.
    std::string buffer(4 * bytes.size() + 4, '\0');
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
        out += standIn_;
        bytes.remove_prefix(std::min(unitSize_, bytes.size()));
    }
    return out;
}

} // namespace vistrel
