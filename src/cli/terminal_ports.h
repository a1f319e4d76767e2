#pragma once

#include "control/ports.h"
#include "itemlist/message_port.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace vistrel::cli {

// The polling timer of a host without an event loop: the command's own loop
// ticks the control while the switch is on.
class LoopTimer : public TimerPort {
public:
    void setTimerEnabled(bool enabled) override { enabled_ = enabled; }
    bool enabled() const noexcept { return enabled_; }

private:
    bool enabled_ = false;
};

// A clipboard of this process only: Copy leaves its text here for the
// command to print, and a list file's text is put here for Paste.
class MemoryClipboard : public ClipboardPort {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

// Message boxes become lines on the error stream; the count tells a command
// whether an operation had something to complain about.
class StreamMessages : public MessagePort {
public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    void showMessage(const std::string& text, const std::string& title) override;
    std::size_t count() const noexcept { return count_; }

private:
    std::ostream& out_;
    std::size_t count_ = 0;
};

// File dialogs answered from the command line: the next open dialog yields
// the path given, once; a save dialog is never answered.
class AnswerDialogs : public FileDialogPort {
public:
    void answerNextOpen(std::string path) { nextOpen_ = std::move(path); }
    std::optional<std::string> openFileName(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileName(const FileDialogOptions& options) override;

private:
    std::optional<std::string> nextOpen_;
};

} // namespace vistrel::cli
