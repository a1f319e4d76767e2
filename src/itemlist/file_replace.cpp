// SPDX-License-Identifier: MIT
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
// As many links as the system itself follows before it gives up.
constexpr int kMaxLinks = 40;

[[noreturn]] void failWrite(const std::string& path, int error) {
    throw Error(kFileWriteError,
                "Cannot write the file " + path + " (" + std::strerror(error) + ")",
                "saveConfigXML");
}

// The file that a path names once every symbolic link on its last part is
// followed; a link to nothing names the file it would create.
std::filesystem::path followLinks(const std::filesystem::path& path) {
    std::filesystem::path target = path;
    std::error_code error;
    for (int link = 0; link < kMaxLinks && std::filesystem::is_symlink(target, error); ++link) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) {
            break;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
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

bool writeAll(int fd, std::string_view bytes, off_t at) noexcept {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        at += written;
    }
    return true;
}

bool readAll(int fd, std::string& bytes) {
    char chunk[65536];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, chunk, sizeof chunk, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
        at += got;
    }
}

} // namespace

FileReplacement::FileReplacement(std::string path)
    : path_(std::move(path)), target_(followLinks(path_)) {
    if (!openTemporary()) {
        const int reason = error_ != 0 ? error_ : errno;
        error_ = 0;
        if (!openInPlace()) {
            failWrite(path_, reason);
        }
    }
    buffer_.reserve(kBufferSize);
}

FileReplacement::~FileReplacement() {
    discard();
}

bool FileReplacement::openTemporary() {
    fd_ = createTemporary(target_, temporary_);
    if (fd_ < 0) {
        temporary_.clear();
        return false;
    }
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) != 0) {
        return true; // a new file: the defaults of the user and the umask
    }
    // The replacement must belong to whom the file belonged; a user who may
    // not give it away rewrites the file in place instead.
    struct stat made {};
    const bool sameOwner = ::fstat(fd_, &made) == 0 && made.st_uid == existing.st_uid &&
                           made.st_gid == existing.st_gid;
    if ((!sameOwner && ::fchown(fd_, existing.st_uid, existing.st_gid) != 0) ||
        ::fchmod(fd_, existing.st_mode & 07777) != 0) {
        error_ = errno;
        discard();
        return false;
    }
    return true;
}

bool FileReplacement::openInPlace() {
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return false;
    }
    fd_ = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
    inPlace_ = fd_ >= 0;
    return inPlace_;
}

void FileReplacement::write(std::string_view bytes) noexcept {
    // In place, every byte waits in memory until commit: the file is touched
    // only once the whole of its new content is there.
    if (!inPlace_ && buffer_.size() + bytes.size() > kBufferSize) {
        flush();
    }
    if (!inPlace_ && bytes.size() >= kBufferSize) {
        writeThrough(bytes);
        return;
    }
    try {
        buffer_.append(bytes);
    } catch (const std::bad_alloc&) {
        error_ = error_ != 0 ? error_ : ENOMEM;
    }
}

void FileReplacement::commit() {
    if (inPlace_) {
        commitInPlace();
        return;
    }
    flush();
    if (error_ == 0 && ::fsync(fd_) != 0) {
        error_ = errno;
    }
    if (::close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    if (error_ == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
    }
    if (error_ != 0) {
        discard();
        failWrite(path_, error_);
    }
    temporary_.clear();
}

// The earlier bytes are kept in memory and the room for the longer of the two
// contents is reserved before the first byte changes, so that a full disk or
// a size limit refuses the save up front; a write that still fails puts the
// earlier bytes back.
void FileReplacement::commitInPlace() {
    std::string earlier;
    const auto newSize = static_cast<off_t>(buffer_.size());
    if (error_ == 0 && !readAll(fd_, earlier)) {
        error_ = errno;
    }
    const auto room = std::max(newSize, static_cast<off_t>(earlier.size()));
    if (error_ == 0 && room > 0) {
        error_ = ::posix_fallocate(fd_, 0, room);
    }
    if (error_ == 0 &&
        (!writeAll(fd_, buffer_, 0) || ::ftruncate(fd_, newSize) != 0 || ::fsync(fd_) != 0)) {
        error_ = errno;
        if (writeAll(fd_, earlier, 0)) {
            (void)::ftruncate(fd_, static_cast<off_t>(earlier.size()));
        }
    }
    if (::close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    if (error_ != 0) {
        failWrite(path_, error_);
    }
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
