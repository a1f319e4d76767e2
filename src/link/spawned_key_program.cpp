// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "link/key_program.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vistrel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSource = "KeyProgram";
// A key is a few dozen bytes; anything far beyond is not one, and is not
// kept in memory.
constexpr std::size_t kMostOutput = 4096;

Error failure(const std::string& program, const std::string& why) {
    return Error(ErrorKind::Usage, uds_error::kKeyProgramFailed,
                 "security access: the key program " + program + " " + why, kSource);
}

// A pipe whose ends close themselves, in this process and in the child
// (the child gets its copies through dup2, which clears close-on-exec).
struct Pipe {
    std::array<int, 2> ends{-1, -1};
    Pipe() {
        if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
            throw Error(ErrorKind::Usage, uds_error::kKeyProgramFailed,
                        std::string("security access: no pipe for the key program (") +
                            std::strerror(errno) + ")",
                        kSource);
        }
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeEnd(int which) {
        if (ends[static_cast<std::size_t>(which)] >= 0) {
            ::close(ends[static_cast<std::size_t>(which)]);
            ends[static_cast<std::size_t>(which)] = -1;
        }
    }
};

// What the program printed, until both pipes close or the deadline passes.
struct Output {
    std::string out;
    std::string err;
    bool timedOut = false;
};

Output collect(int outFd, int errFd, Clock::time_point deadline) {
    Output output;
    std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    std::array<std::string*, 2> into{&output.out, &output.err};
    int open = 2;
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            output.timedOut = true;
            return output;
        }
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR) {
            output.timedOut = true;
            return output;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            std::array<char, 512> buffer{};
            const ssize_t got = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (got <= 0) {
                fds[i].fd = -1;
                --open;
                continue;
            }
            if (into[i]->size() < kMostOutput) {
                into[i]->append(buffer.data(), static_cast<std::size_t>(got));
            }
        }
    }
    return output;
}

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.pop_back();
    }
    return line;
}

// The key in the program's first line: hexadecimal digits, spaces between
// bytes allowed; nothing when the line is no key.
std::optional<ByteString> keyIn(const std::string& line) {
    std::string digits;
    for (const char c : line) {
        if (c != ' ' && c != '\t') {
            digits += c;
        }
    }
    if (digits.empty() || digits.size() % 2 != 0) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (hexDigitValue(c) < 0) {
            return std::nullopt;
        }
    }
    return ByteString::fromText(digits);
}

// The program's exit status once it ended by deadline; past it the program
// is killed and nothing is returned. A program may close its output and go
// on running: the limit holds for its end, not for its output.
std::optional<int> awaitEnd(pid_t pid, Clock::time_point deadline) {
    constexpr auto kPoll = std::chrono::milliseconds(2);
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            return status;
        }
        if (ended < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        ::poll(nullptr, 0, static_cast<int>(kPoll.count()));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return std::nullopt;
}

class SpawnedKeyProgram : public KeyProgram {
public:
    SpawnedKeyProgram(std::string program, std::chrono::milliseconds limit)
        : program_(std::move(program)), limit_(limit) {}

    ByteString keyFor(std::uint8_t level, const ByteString& seed) override {
        Pipe out;
        Pipe err;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out.ends[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err.ends[1], 2);
        std::string levelText = hexPadded(level, 2);
        std::string seedText = seed.text();
        std::vector<char*> argv{program_.data(), levelText.data(), seedText.data(), nullptr};
        pid_t pid = 0;
        const int spawned =
            ::posix_spawnp(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            throw failure(program_,
                          std::string("cannot be started (") + std::strerror(spawned) + ")");
        }
        out.closeEnd(1);
        err.closeEnd(1);
        const auto deadline = Clock::now() + limit_;
        const Output output = collect(out.ends[0], err.ends[0], deadline);
        const std::optional<int> status = awaitEnd(pid, output.timedOut ? Clock::now() : deadline);
        const std::string errLine = firstLine(output.err);
        const std::string because = errLine.empty() ? "" : ": " + errLine;
        if (!status) {
            throw failure(program_, "gave no key within " + std::to_string(limit_.count()) +
                                        " ms and was stopped");
        }
        if (WIFSIGNALED(*status)) {
            throw failure(program_,
                          "was ended by signal " + std::to_string(WTERMSIG(*status)) + because);
        }
        if (WIFEXITED(*status) && WEXITSTATUS(*status) != 0) {
            throw failure(program_, "failed with exit status " +
                                        std::to_string(WEXITSTATUS(*status)) + because);
        }
        if (auto key = keyIn(firstLine(output.out))) {
            return std::move(*key);
        }
        throw failure(program_, "printed no key in hexadecimal on its first line" + because);
    }

private:
    std::string program_;
    std::chrono::milliseconds limit_;
};

} // namespace

std::unique_ptr<KeyProgram> spawnedKeyProgram(std::string program,
                                              std::chrono::milliseconds limit) {
    return std::make_unique<SpawnedKeyProgram>(std::move(program), limit);
}

} // namespace vistrel
