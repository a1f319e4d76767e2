// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/child_process.h"
#include "fakes/scratch_directory.h"
#include "fakes/text_files.h"

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pty.h>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::testing {

struct CliRun {
    // The exit code, or 128 + the signal that ended the process.
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline constexpr unsigned kHangLimitSeconds = 60;

inline std::vector<std::string> cliArguments(std::vector<std::string> args) {
    args.insert(args.begin(), VISTREL_CLI_BINARY);
    return args;
}

// The real vistrel-cli binary, started in a directory with no input. A run
// that hangs is killed after a minute.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::filesystem::path& directory)
        : cli_(cliArguments(args), {::open("/dev/null", O_RDONLY), capture("out"), capture("err")},
               directory.c_str(), kHangLimitSeconds) {}

    void sendSignal(int signal) const { cli_.signal(signal); }
    CliRun wait() {
        const int exitCode = cli_.wait();
        return {exitCode, readFile(capture_.path() / "out"), readFile(capture_.path() / "err")};
    }

private:
    int capture(const char* name) const {
        return ::open((capture_.path() / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }

    ScratchDirectory capture_;
    ChildProcess cli_;
};

inline CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& directory) {
    return CliProcess(args, directory).wait();
}

// The same on a pseudo-terminal of the given width: standard output and
// error both arrive in out. Nothing where the system gives no
// pseudo-terminal (some containers).
inline std::optional<CliRun> runCliOnTerminal(const std::vector<std::string>& args,
                                              const std::filesystem::path& directory,
                                              unsigned short width) {
    winsize size{};
    size.ws_col = width;
    size.ws_row = 40;
    int terminal = -1;
    int user = -1;
    if (::openpty(&terminal, &user, nullptr, nullptr, &size) != 0) {
        return std::nullopt;
    }
    ChildProcess cli(cliArguments(args), {user, user, user}, directory.c_str(), kHangLimitSeconds);
    CliRun run;
    char chunk[4096];
    ssize_t got = 0;
    // The terminal reports an error once the child has closed its side.
    while ((got = ::read(terminal, chunk, sizeof chunk)) > 0) {
        run.out.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(terminal);
    run.exitCode = cli.wait();
    return run;
}

inline const std::filesystem::path kExamples = VISTREL_EXAMPLES_DIR;

// The recordings the command wrote into dir.
inline std::vector<std::filesystem::path> recordingFiles(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with("vistrel_")) {
            files.push_back(entry.path());
        }
    }
    return files;
}

// A small ECU: a fixed identification, a refused area, a silent one.
inline std::string ecuDescription(std::string_view faults = "") {
    return "<ecu title=\"Bench\" subtitle=\"ECU\">"
           "<memory address=\"010000\">56 49 53</memory>"
           "<memory address=\"020000\">C0 FF</memory>"
           "<refuse address=\"020000\" length=\"2\" service=\"23\" nrc=\"22\"/>"
           "<memory address=\"030000\">00 00</memory>"
           "<silent address=\"030000\" length=\"2\"/>" +
           std::string(faults) + "</ecu>";
}

inline const std::string kIdentLine = "010000\t3\tBE\tIdent\t\t1\t0\t1\tH\t1\r\n";
inline const std::string kRefusedLine = "020000\t2\tBE\tLocked\t\t1\t0\t1\tH\t1\r\n";
inline const std::string kSilentLine = "030000\t2\tBE\tAsleep\t\t1\t0\t1\tH\t1\r\n";

} // namespace vistrel::testing
