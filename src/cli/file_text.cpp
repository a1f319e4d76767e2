// SPDX-License-Identifier: MIT
#include "cli/file_text.h"

#include "cli/exit_status.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vistrel::cli {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

UsageError fileError(const char* what, const std::string& path, int error) {
    return UsageError(std::string("cannot ") + what + " " + path + ": " + std::strerror(error));
}

} // namespace

std::string readTextFile(const std::string& path) {
    const FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw fileError("read", path, errno);
    }
    std::string text;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        text.append(chunk, got);
    }
    if (std::ferror(file.get())) {
        throw fileError("read", path, errno);
    }
    return text;
}

void writeTextFile(const std::string& path, std::string_view text) {
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (raw == nullptr) {
        throw fileError("write", path, errno);
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), raw) == text.size();
    const int writeError = errno;
    // The data reaches the disk only when the close succeeds.
    const bool closed = std::fclose(raw) == 0;
    if (!written || !closed) {
        throw fileError("write", path, written ? errno : writeError);
    }
}

} // namespace vistrel::cli
