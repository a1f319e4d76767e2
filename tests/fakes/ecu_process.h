// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vistrel::testing {

// The real vistrel-ecu serving on a pseudo-terminal, for the length of a
// test: started with the arguments given after the mode (--kline or --elm)
// and --pty, ended with
// SIGTERM. The device path is the first line the program prints.
class EcuProcess {
public:
    explicit EcuProcess(const std::vector<std::string>& args, const char* mode = "--kline") {
        std::vector<std::string> texts{VISTREL_ECU_BINARY, mode, "--pty"};
        texts.insert(texts.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& text : texts) {
            argv.push_back(text.data());
        }
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        if (failed != 0) {
            throw std::runtime_error("cannot start vistrel-ecu");
        }
        device_ = nextLine();
    }
    ~EcuProcess() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        ::close(out_);
    }
    EcuProcess(const EcuProcess&) = delete;
    EcuProcess& operator=(const EcuProcess&) = delete;

    const std::string& device() const noexcept { return device_; }

    // The next line of standard output; "" when none comes within the
    // time (generous: the machine running the tests may be busy).
    std::string nextLine(std::chrono::seconds within = std::chrono::seconds(20)) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + within;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd{out_, POLLIN, 0};
            if (::poll(&fd, 1, 100) == 1 && ::read(out_, &c, 1) == 1) {
                if (c == '\n') {
                    return line;
                }
                line += c;
            }
        }
        return {};
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

} // namespace vistrel::testing
