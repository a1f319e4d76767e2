// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/scratch_directory.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vistrel::testing {

struct CliRun {
    // The exit code, or 128 + the signal that ended the process.
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The real vistrel-cli binary, started in a directory with the C.UTF-8
// locale and no input. A run that hangs is killed after a minute.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::filesystem::path& directory);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    void sendSignal(int signal) const;
    CliRun wait();

private:
    ScratchDirectory capture_;
    pid_t pid_ = -1;
};

CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& directory);

// Where the system gives no pseudo-terminal (some containers): a test that
// needs one is skipped with the reason.
struct NoTerminal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The same on a pseudo terminal of the given width: standard output and
// error both arrive in out. Throws NoTerminal.
CliRun runCliOnTerminal(const std::vector<std::string>& args,
                        const std::filesystem::path& directory, unsigned short width);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& text);

} // namespace vistrel::testing
