// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// Text as spreadsheets and editors save or copy it, in the UTF-8 that the
// item list works in: a UTF-8 byte-order mark is dropped, text with a UTF-16
// byte-order mark ("Unicode text") is decoded, and text that is not valid
// UTF-8 is read as windows-1252, the code page such files come in. A byte
// that none of these can read becomes U+FFFD, never lost in silence.
std::string decodeUserText(std::string_view bytes);

} // namespace vistrel
