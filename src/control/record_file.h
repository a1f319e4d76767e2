// SPDX-License-Identifier: MIT
#pragma once

#include "engine/code_page.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace vistrel {

// The open recording file: lines of windows-1252 text ending with CR LF,
// appended to whatever the file held. Each line is handed to the operating
// system as soon as it is written, so a crash of the host loses at most the
// line being written.
class RecordFile {
public:
    // nullptr when the file can be neither opened nor created.
    static std::unique_ptr<RecordFile> openForAppend(const std::string& path);

    // False when the line could not be written whole.
    bool writeLine(std::string_view utf8);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using FileHandle = std::unique_ptr<std::FILE, Closer>;

    explicit RecordFile(FileHandle file) : file_(std::move(file)) {}

    FileHandle file_;
    Windows1252Encoder encoder_{Windows1252Encoder::Unrepresentable::QuestionMark};
    std::string buffer_;
};

} // namespace vistrel
