// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace vistrel {

// The text of examples/demo-ecu.xml, compiled in at build time.
std::string_view demoEcuDescription() noexcept;

// The name under which the built-in description appears in messages.
inline constexpr const char* kDemoEcuSourceName = "demo-ecu.xml (built in)";

// The text of examples/demo-ecu-uds.xml, the demo car's UDS twin, which
// sim:uds and vistrel-ecu --ecu uds serve.
std::string_view demoUdsEcuDescription() noexcept;
inline constexpr const char* kDemoUdsName = "uds";
inline constexpr const char* kDemoUdsSourceName = "demo-ecu-uds.xml (built in)";

} // namespace vistrel
