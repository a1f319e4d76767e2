#include "cli/terminal_ports.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vistrel::cli {

void StreamMessages::showMessage(const std::string& text, const std::string& title) {
    // Message texts break lines with CR LF; a terminal wants LF alone.
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            plain += text[i];
        }
    }
    out_ << title << ": " << plain << '\n' << std::flush;
    ++count_;
}

std::optional<std::string> AnswerDialogs::openFileName(const FileDialogOptions& /*options*/) {
    return std::exchange(nextOpen_, std::nullopt);
}

std::optional<std::string> AnswerDialogs::saveFileName(const FileDialogOptions& /*options*/) {
    return std::nullopt;
}

std::uint32_t SystemPlatform::milliseconds() const {
    // A 32-bit millisecond counter that wraps, like the system tick count.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

LocalDateTime SystemPlatform::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string SystemPlatform::currentDirectory() const {
    std::error_code failed;
    const auto here = std::filesystem::current_path(failed);
    // A directory removed under the process has no path: files then go
    // where a relative name leads.
    return failed ? std::string(".") : here.string();
}

} // namespace vistrel::cli
