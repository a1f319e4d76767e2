// SPDX-License-Identifier: MIT
#pragma once

namespace vistrel {

// Which configuration file dialog the user asked for.
enum class DialogMode { Open, Save };

} // namespace vistrel
