// SPDX-License-Identifier: MIT
#pragma once

#include "control/message_port.h"

#include <string>
#include <vector>

namespace vistrel::testing {

// A message port that shows nothing and remembers every message, in order.
class RecordingMessagePort : public MessagePort {
public:
    struct Shown {
        std::string text;
        std::string title;
    };
    std::vector<Shown> shown;
    void showMessage(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
};

} // namespace vistrel::testing
