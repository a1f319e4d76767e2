// SPDX-License-Identifier: MIT
#include "control/record_file.h"

namespace vistrel {

std::unique_ptr<RecordFile> RecordFile::openForAppend(const std::string& path) {
    FileHandle file(std::fopen(path.c_str(), "ab"));
    if (!file) {
        return nullptr;
    }
    return std::unique_ptr<RecordFile>(new RecordFile(std::move(file)));
}

bool RecordFile::writeLine(std::string_view utf8) {
    buffer_.clear();
    encoder_.append(buffer_, utf8);
    buffer_.append("\r\n");
    const bool written =
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) == buffer_.size();
    return std::fflush(file_.get()) == 0 && written;
}

} // namespace vistrel
