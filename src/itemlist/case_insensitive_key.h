#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// The form under which a key is stored and looked up, so that two names that
// differ only in letter case are the same key. Folds the ASCII letters and
// the accented capitals of Latin-1 (U+00C0 to U+00DE) in UTF-8 text; every
// other byte is kept, so folding never fails on text that is not UTF-8.
std::string foldKey(std::string_view key);

} // namespace vistrel
