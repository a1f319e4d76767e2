// SPDX-License-Identifier: MIT
#include "cli_process.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vistrel::testing {
namespace {

constexpr unsigned kHangLimitSeconds = 60;

// The parent's environment with the locale fixed, so that numbers and
// messages do not depend on the machine running the tests.
std::vector<std::string> childEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("LC_") && !text.starts_with("LANG=") &&
            !text.starts_with("LANGUAGE=")) {
            entries.emplace_back(text);
        }
    }
    entries.emplace_back("LC_ALL=C.UTF-8");
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& text : texts) {
        out.push_back(text.data());
    }
    out.push_back(nullptr);
    return out;
}

// Runs in the child after fork: only calls that are safe there.
[[noreturn]] void execCli(const std::filesystem::path& directory, char** argv, char** envp) {
    if (chdir(directory.c_str()) != 0) {
        _exit(126);
    }
    alarm(kHangLimitSeconds);
    execve(VISTREL_CLI_BINARY, argv, envp);
    _exit(127);
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

CliProcess::CliProcess(const std::vector<std::string>& args,
                       const std::filesystem::path& directory) {
    std::vector<std::string> argvTexts{VISTREL_CLI_BINARY};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    auto envTexts = childEnvironment();
    auto argv = pointers(argvTexts);
    auto envp = pointers(envTexts);
    const auto outPath = capture_.path() / "out";
    const auto errPath = capture_.path() / "err";
    pid_ = fork();
    if (pid_ == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0) {
            _exit(126);
        }
        execCli(directory, argv.data(), envp.data());
    }
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void CliProcess::sendSignal(int signal) const {
    kill(pid_, signal);
}

CliRun CliProcess::wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return {exitCodeOf(status), readFile(capture_.path() / "out"),
            readFile(capture_.path() / "err")};
}

CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& directory) {
    return CliProcess(args, directory).wait();
}

CliRun runCliOnTerminal(const std::vector<std::string>& args,
                        const std::filesystem::path& directory, unsigned short width) {
    std::vector<std::string> argvTexts{VISTREL_CLI_BINARY};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    auto envTexts = childEnvironment();
    auto argv = pointers(argvTexts);
    auto envp = pointers(envTexts);
    winsize size{};
    size.ws_col = width;
    size.ws_row = 40;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid == 0) {
        execCli(directory, argv.data(), envp.data());
    }
    if (pid < 0) {
        throw NoTerminal(std::string("no pseudo-terminal to run the command on: ") +
                         std::strerror(errno));
    }
    CliRun run;
    char chunk[4096];
    ssize_t got = 0;
    // The terminal reports an error once the child has closed its side.
    while ((got = read(terminal, chunk, sizeof chunk)) > 0) {
        run.out.append(chunk, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = exitCodeOf(status);
    return run;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace vistrel::testing
