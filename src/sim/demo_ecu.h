// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace vistrel {

// The text of examples/demo-ecu.xml, compiled in at build time.
std::string_view demoEcuDescription() noexcept;

// The name under which the built-in description appears in messages.
inline constexpr const char* kDemoEcuSourceName = "demo-ecu.xml (built in)";

} // namespace vistrel
