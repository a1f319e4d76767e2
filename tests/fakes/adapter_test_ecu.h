// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace vistrel::testing {

// The ECU behind the virtual adapter in the adapter tests: twelve bytes at
// 01A2B3 (a read of 10 needs more than one CAN frame) and a silent range.
inline constexpr std::string_view kAdapterTestEcu = R"(<ecu>
  <memory address="01A2B3">12 34 56 78 9A BC DE F0 11 22 33 44</memory>
  <silent address="01A2C0" length="4"/>
</ecu>)";

} // namespace vistrel::testing
