// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace vistrel {

// What turns an ECU's security seed into its key: the carmaker's algorithm,
// which only the user has, as a program of their own.
class KeyProgram {
public:
    virtual ~KeyProgram() = default;
    // The key for this seed at this security level. Throws Error
    // (uds_error::kKeyProgramFailed) saying why there is none; the text
    // never holds the seed or the key.
    virtual ByteString keyFor(std::uint8_t level, const ByteString& seed) = 0;
};

// Runs PROGRAM LL SEEDHEX without a shell (the program found on the PATH
// like any command, its two arguments as they are) and takes the first line
// of its standard output as the key in hexadecimal. A program that cannot be
// started, ends with a status other than 0, is killed by a signal, prints
// no hexadecimal or runs longer than the limit (it is killed then) is
// reported with its exit status or the first line of its standard error.
std::unique_ptr<KeyProgram> spawnedKeyProgram(std::string program, std::chrono::milliseconds limit);

} // namespace vistrel
