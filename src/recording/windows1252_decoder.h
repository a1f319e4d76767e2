// SPDX-License-Identifier: MIT
#pragma once

#include "components/utf8_decoder.h"

#include <string>
#include <string_view>

namespace vistrel {

// Turns windows-1252 text, the code page of the recording files, into
// UTF-8 through iconv. The five bytes that the code page leaves undefined
// become "?" rather than stopping the conversion.
class Windows1252Decoder {
public:
    // Throws Error when the system offers no windows-1252 conversion.
    Windows1252Decoder();

    std::string decode(std::string_view bytes) { return decoder_.decode(bytes); }

private:
    Utf8Decoder decoder_;
};

} // namespace vistrel
