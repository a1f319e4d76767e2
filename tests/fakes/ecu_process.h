// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/child_process.h"

#include <fcntl.h>
#include <optional>
#include <poll.h>

namespace vistrel::testing {

// The real vistrel-ecu serving on a pseudo-terminal, for the length of a
// test: started with the arguments given after the mode (--kline, --elm or
// --slcan) and --pty, ended with SIGTERM. The device path is the first line
// the program prints. With --socketcand or --doip it serves on a free TCP port
// instead, and the first line is 127.0.0.1:PORT.
class EcuProcess {
public:
    explicit EcuProcess(const std::vector<std::string>& args, const char* mode = "--kline") {
        std::vector<std::string> texts{VISTREL_ECU_BINARY, mode};
        if (std::string_view(mode) == "--socketcand" || std::string_view(mode) == "--doip") {
            texts.insert(texts.end(), {"--port", "0"});
        } else {
            texts.push_back("--pty");
        }
        texts.insert(texts.end(), args.begin(), args.end());
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("pipe");
        }
        out_ = out[0];
        ecu_.emplace(texts, std::array{::open("/dev/null", O_RDONLY), out[1], STDERR_FILENO});
        device_ = nextLine();
    }
    ~EcuProcess() {
        ecu_->signal(SIGTERM);
        ecu_->wait();
        ::close(out_);
    }
    // "" when the program printed no path in time.
    const std::string& device() const noexcept { return device_; }

    // The next line the program prints ("" when none comes in time): a
    // K-line ECU prints its new device when it serves again after a hang-up.
    // Generous waits, as the machine running the tests may be busy.
    std::string nextLine(int waitMs = 20000) {
        char chunk[256];
        ssize_t got = 0;
        pollfd ready{out_, POLLIN, 0};
        while (printed_.find('\n') == std::string::npos && ::poll(&ready, 1, waitMs) == 1 &&
               (got = ::read(out_, chunk, sizeof chunk)) > 0) {
            printed_.append(chunk, static_cast<std::size_t>(got));
        }
        std::string line = printed_.substr(0, printed_.find('\n'));
        printed_.erase(0, line.size() + 1);
        return line;
    }

    // Every whole line printed so far (with --log, the requests), without
    // waiting for more.
    std::vector<std::string> linesSoFar() {
        std::vector<std::string> lines;
        for (std::string line; (line = nextLine(0)) != "";) {
            lines.push_back(line);
        }
        return lines;
    }

private:
    int out_ = -1;
    std::optional<ChildProcess> ecu_;
    std::string printed_;
    std::string device_;
};

} // namespace vistrel::testing
