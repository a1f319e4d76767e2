// SPDX-License-Identifier: MIT
#pragma once

namespace vistrel {

// The diagnostic protocol family a link speaks: KWP2000 (ISO 14230-3) or
// UDS (ISO 14229-1). The reading methods plan the same way for both; the
// family decides how their requests are spelled and their replies checked.
enum class DiagnosticFamily { Kwp2000, Uds };

} // namespace vistrel
