// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace vistrel::cli {

// The item lines of examples/demo-items.tsv, compiled in at build time: the
// list read when the command line names none.
std::string_view demoItemsText() noexcept;

} // namespace vistrel::cli
