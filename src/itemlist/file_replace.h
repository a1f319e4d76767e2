// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vistrel {

// Makes the file at a path hold exactly the bytes written through this
// object, all or nothing. A symbolic link is followed: its target is the file
// replaced, and the link stays. The bytes go to a temporary file beside the
// target, which replaces the target on commit, once complete and on disk;
// the target keeps its owner, group and permissions. Where no such temporary
// file can be made (a directory the user may not write into) or the owner
// could not be kept, a writable target is rewritten in place instead, from a
// complete copy of the new bytes and with the room for them reserved first.
// Until commit succeeds the earlier file is untouched; a replacement that is
// dropped or fails leaves no temporary file behind.
class FileReplacement {
public:
    // Throws Error kFileWriteError when the file can be neither replaced nor
    // rewritten.
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Buffered, so that small pieces cost no system call each. A failure is
    // kept for commit to report; later writes are then ignored.
    void write(std::string_view bytes) noexcept;
    // Throws Error kFileWriteError when any write, the flush to disk or the
    // replacement failed.
    void commit();

private:
    bool openTemporary();
    bool openInPlace();
    void commitInPlace();
    void flush() noexcept;
    void writeThrough(std::string_view bytes) noexcept;
    void discard() noexcept;

    std::string path_;             // as given, for messages
    std::filesystem::path target_; // the file itself, links followed
    std::filesystem::path temporary_;
    bool inPlace_ = false;
    int fd_ = -1;
    // errno of the first failure, 0 while all went well.
    int error_ = 0;
    std::string buffer_;
};

} // namespace vistrel
