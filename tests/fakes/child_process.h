// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <csignal>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vistrel::testing {

// A program run by a test, with standard input, output and error on the
// given descriptors (the parent's copies above 2 are closed) and the C.UTF-8
// locale, so that numbers and messages do not depend on the machine running
// the tests. A hang limit in seconds (0: none) ends a run that would
// otherwise block the whole suite; one still running at the end is killed.
class ChildProcess {
public:
    ChildProcess(std::vector<std::string> args, std::array<int, 3> streams,
                 const char* directory = ".", unsigned hangLimit = 0) {
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string_view text(*entry);
            if (!text.starts_with("LC_") && !text.starts_with("LANG")) {
                env.emplace_back(text);
            }
        }
        env.emplace_back("LC_ALL=C.UTF-8");
        const auto argv = pointers(args);
        const auto envp = pointers(env);
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only calls that are safe after fork.
            for (int fd = 0; fd < 3; ++fd) {
                if (::dup2(streams[fd], fd) < 0) {
                    ::_exit(126);
                }
            }
            if (::chdir(directory) != 0) {
                ::_exit(126);
            }
            ::alarm(hangLimit);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        for (const int fd : std::set<int>(streams.begin(), streams.end())) {
            if (fd > 2) {
                ::close(fd);
            }
        }
        if (pid_ < 0) {
            throw std::runtime_error("fork failed");
        }
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            signal(SIGKILL);
            wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int number) const { ::kill(pid_, number); }
    // The exit code, or 128 + the signal that ended the process.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    static std::vector<char*> pointers(std::vector<std::string>& texts) {
        std::vector<char*> out;
        for (auto& text : texts) {
            out.push_back(text.data());
        }
        out.push_back(nullptr);
        return out;
    }

    pid_t pid_ = -1;
};

} // namespace vistrel::testing
