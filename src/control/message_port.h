// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vistrel {

// Shows a message box with one OK button: the control's failures of Open,
// Save and the other commands, and its hidden keys.
class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
};

// Title of the message boxes that the system shows.
inline constexpr const char* kApplicationTitle = "vistrel";

} // namespace vistrel
