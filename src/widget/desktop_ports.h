// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

class QWidget;

namespace vistrel {

// Message boxes with one OK button, modal over the control.
class MessageBoxPort final : public MessagePort {
public:
    explicit MessageBoxPort(QWidget& parent) : parent_(parent) {}
    void showMessage(const std::string& text, const std::string& title) override;

private:
    QWidget& parent_;
};

// The system clipboard, plain text only.
class SystemClipboard final : public ClipboardPort {
public:
    std::string text() const override;
    void setText(const std::string& text) override;
};

} // namespace vistrel
