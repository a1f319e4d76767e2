#include "itemlist/file_replace.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vistrel {
namespace {

// Large enough that a file of thousands of items takes a few dozen writes.
constexpr std::size_t kBufferSize = std::size_t{64} << 10;

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

} // namespace

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {
    fd_ = createTemporary(path_, temporary_);
    if (fd_ < 0) {
        failWrite(path_, errno);
    }
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) == 0 && ::fchmod(fd_, existing.st_mode & 07777) != 0) {
        error_ = errno;
    }
    buffer_.reserve(kBufferSize);
}

FileReplacement::~FileReplacement() {
    discard();
}

void FileReplacement::write(std::string_view bytes) noexcept {
    if (buffer_.size() + bytes.size() > kBufferSize) {
        flush();
    }
    if (bytes.size() >= kBufferSize) {
        writeThrough(bytes);
    } else {
        buffer_.append(bytes);
    }
}

void FileReplacement::commit() {
    flush();
    if (error_ == 0 && ::fsync(fd_) != 0) {
        error_ = errno;
    }
    if (::close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    if (error_ == 0 && ::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error_ = errno;
    }
    if (error_ != 0) {
        discard();
        failWrite(path_, error_);
    }
    temporary_.clear();
}

void FileReplacement::flush() noexcept {
    writeThrough(buffer_);
    buffer_.clear();
}

void FileReplacement::writeThrough(std::string_view bytes) noexcept {
    while (error_ == 0 && !bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void FileReplacement::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace vistrel
