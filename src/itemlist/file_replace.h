#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vistrel {

// Makes the file at a path hold exactly the bytes written through this
// object, all or nothing: they go to a temporary file beside the target,
// which replaces the target on commit, once complete and on disk. The target
// keeps its permissions. Until commit succeeds the earlier file is untouched;
// a replacement that is dropped or fails leaves no temporary file behind.
class FileReplacement {
public:
    // Throws Error kFileWriteError when the temporary file cannot be made.
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
    void flush() noexcept;
    void writeThrough(std::string_view bytes) noexcept;
    void discard() noexcept;

    std::string path_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    // errno of the first failure, 0 while all went well.
    int error_ = 0;
    std::string buffer_;
};

} // namespace vistrel
