// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// The form under which a key is stored and looked up, so that two names that
// differ only in letter case are the same key: the Unicode case folding of
// the UTF-8 text, for every letter that has a case (Ω and ω, Œ and œ). Bytes
// that are not UTF-8 are kept as they are, so folding never fails.
std::string foldKey(std::string_view key);

} // namespace vistrel
