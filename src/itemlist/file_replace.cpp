#include "itemlist/file_replace.h"

#include "components/error.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vistrel {
namespace {

[[noreturn]] void failWrite(const std::string& path, int error) {
    throw Error(kFileWriteError,
                "Cannot write the file " + path + " (" + std::strerror(error) + ")",
                "saveConfigXML");
}

// A name beside the target that no other writer uses: the process id and a
// counter, with O_EXCL as the final guard.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    static std::atomic<unsigned> counter{0};
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += '.';
        name += std::to_string(::getpid());
        name += '.';
        name += std::to_string(counter++);
        name += ".tmp";
        temporary = target.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

void replaceFileContents(const std::string& path, std::string_view contents) {
    const std::filesystem::path target(path);
    std::filesystem::path temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        failWrite(path, errno);
    }
    struct stat existing {};
    bool ok = true;
    if (::stat(path.c_str(), &existing) == 0) {
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, contents) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        failWrite(path, error);
    }
}

} // namespace vistrel
