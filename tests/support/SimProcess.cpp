// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

std::runtime_error Failure(const std::string& what)
{
    return std::runtime_error("korvant-sim: " + what);
}

std::runtime_error SystemFailure(const std::string& what)
{
    return Failure(what + ": " + std::strerror(errno));
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Forks and executes the stand-in with the given descriptors as its stdin, stdout and
// (when >= 0) stderr. Everything the child needs is prepared before fork(), because a
// test process may have threads and the child may then call only async-signal-safe
// functions.
pid_t Spawn(const std::vector<std::string>& arguments, int in, int out, int err)
{
    const std::string path = SimProcess::ExecutablePath();
    std::vector<std::string> words{path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        throw SystemFailure("fork");
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::dup2(in, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0 ||
            (err >= 0 && ::dup2(err, STDERR_FILENO) < 0))
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

}  // namespace

std::string SimProcess::ExecutablePath()
{
    const char* fromEnvironment = std::getenv("KORVANT_SIM");
    if (fromEnvironment && fromEnvironment[0] != '\0')
        return fromEnvironment;
    return KORVANT_SIM_PATH;
}

SimProcess::SimProcess(const std::vector<std::string>& arguments, Milliseconds timeout)
{
    int control[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, control) != 0)
        throw SystemFailure("socketpair");
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(control[0]);
        ::close(control[1]);
        throw SystemFailure("pipe2");
    }
    FStdin = control[0];
    FStdout = output[0];

    std::vector<std::string> all{"--exit-on-eof"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    try {
        FPid = Spawn(all, control[1], output[1], -1);
    } catch (...) {
        ::close(control[1]);
        ::close(output[1]);
        ::close(FStdin);
        ::close(FStdout);
        throw;
    }
    ::close(control[1]);
    ::close(output[1]);

    const auto line = ReadLine(timeout);
    constexpr std::string_view kServing = "korvant-sim: serving ";
    if (!line || !line->starts_with(kServing)) {
        const int code = Stop(std::chrono::seconds(5));
        ::close(FStdin);
        ::close(FStdout);
        throw Failure(line ? "unexpected first line '" + *line + "'"
                           : "did not name its device (exit code " + std::to_string(code) + ")");
    }
    FFirstLine = *line;
    const std::string rest = line->substr(kServing.size());
    FDevicePath = rest.substr(0, rest.find(' '));
}

SimProcess::~SimProcess()
{
    try {
        Stop();
    } catch (...) {
        // A destructor must not throw; Stop() already escalated to SIGKILL.
    }
    ::close(FStdin);
    ::close(FStdout);
}

std::optional<std::string> SimProcess::ReadLine(Milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto newline = FPending.find('\n'); newline != std::string::npos) {
            std::string line = FPending.substr(0, newline);
            FPending.erase(0, newline + 1);
            return line;
        }
        pollfd p{FStdout, POLLIN, 0};
        const int ready = ::poll(&p, 1, MillisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[1024];
        const ssize_t n = ::read(FStdout, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;  // the stand-in ended
        FPending.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string SimProcess::Command(const std::string& line, Milliseconds timeout)
{
    if (FExitCode)
        throw Failure("cannot send '" + line + "': it has ended");
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(FStdin, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw SystemFailure("cannot send '" + line + "'");
        done += static_cast<std::size_t>(n);
    }
    auto answer = ReadLine(timeout);
    if (!answer)
        throw Failure("no answer to '" + line + "'");
    if (line == "reopen" && answer->starts_with("ok serving ")) {
        const std::string rest = answer->substr(std::string_view("ok serving ").size());
        FDevicePath = rest.substr(0, rest.find(' '));
    }
    return *answer;
}

SimProcess::StatsMap SimProcess::Stats()
{
    const std::string answer = Command("stats");
    if (!answer.starts_with("ok "))
        throw Failure("stats answered '" + answer + "'");
    StatsMap stats;
    std::istringstream words(answer.substr(3));
    std::string word;
    while (words >> word) {
        const auto equals = word.find('=');
        if (equals == std::string::npos)
            throw Failure("stats answered '" + answer + "'");
        stats[word.substr(0, equals)] = std::stoll(word.substr(equals + 1));
    }
    return stats;
}

void SimProcess::Signal(int signal) const
{
    if (!FExitCode)
        ::kill(FPid, signal);
}

bool SimProcess::Reap(bool block)
{
    if (FExitCode)
        return true;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(FPid, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == FPid) {
        FExitCode = ExitCodeOf(status);
        return true;
    }
    if (done < 0) {
        FExitCode = -1;  // not our child any more; nothing left to wait for
        return true;
    }
    return false;
}

std::optional<int> SimProcess::WaitForExit(Milliseconds timeout)
{
    // The stand-in's stdout reaches end of file when it exits; answers still unread are
    // kept, the rest is discarded.
    const auto deadline = Clock::now() + timeout;
    while (!Reap(false)) {
        if (Clock::now() >= deadline)
            return std::nullopt;
        pollfd p{FStdout, POLLIN, 0};
        if (::poll(&p, 1, std::min(MillisecondsUntil(deadline), 50)) > 0) {
            char buffer[1024];
            const ssize_t n = ::read(FStdout, buffer, sizeof buffer);
            if (n > 0)
                FPending.append(buffer, static_cast<std::size_t>(n));
            else if (n == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));  // closed, exit imminent
        }
    }
    return FExitCode;
}

int SimProcess::Stop(Milliseconds timeout)
{
    if (FExitCode)
        return *FExitCode;
    ::kill(FPid, SIGTERM);
    if (const auto code = WaitForExit(timeout))
        return *code;
    ::kill(FPid, SIGKILL);
    Reap(true);
    return *FExitCode;
}

SimProcess::Finished SimProcess::Run(const std::vector<std::string>& arguments, Milliseconds timeout)
{
    int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};  // stdin, stdout, stderr
    const auto closeAll = [&pipes] {
        for (auto& pair : pipes)
            for (int& fd : pair)
                if (fd >= 0)
                    ::close(std::exchange(fd, -1));
    };
    pid_t pid = -1;
    try {
        for (auto& pair : pipes)
            if (::pipe2(pair, O_CLOEXEC) != 0)
                throw SystemFailure("pipe2");
        pid = Spawn(arguments, pipes[0][0], pipes[1][1], pipes[2][1]);
    } catch (...) {
        closeAll();
        throw;
    }
    const int outFd = std::exchange(pipes[1][0], -1);
    const int errFd = std::exchange(pipes[2][0], -1);
    closeAll();  // the child's ends, and stdin, which is thus at end of file from the start

    Finished finished;
    const auto deadline = Clock::now() + timeout;
    bool outOpen = true;
    bool errOpen = true;
    while ((outOpen || errOpen) && Clock::now() < deadline) {
        pollfd fds[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
        if (::poll(fds, 2, MillisecondsUntil(deadline)) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            bool& open = i == 0 ? outOpen : errOpen;
            if (!open || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[1024];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0)
                (i == 0 ? finished.Out : finished.Err).append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                open = false;
        }
    }
    if (outOpen || errOpen)
        ::kill(pid, SIGKILL);
    ::close(outFd);
    ::close(errFd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    finished.ExitCode = (outOpen || errOpen) ? -1 : ExitCodeOf(status);
    return finished;
}
