// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

namespace vistrel {

// The real clocks and the process's current directory, for every view.
class SystemPlatform final : public PlatformPort {
public:
    std::uint32_t milliseconds() const override;
    LocalDateTime now() const override;
    std::string currentDirectory() const override;
};

} // namespace vistrel
