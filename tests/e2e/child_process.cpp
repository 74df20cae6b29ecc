#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

CChildProcess::~CChildProcess() {
    if (Running()) Terminate();
    if (output_ >= 0) close(output_);
}

bool CChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& errorFile, int deathSignal) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int error =
        errorFile.empty() ? -1 : open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (error >= 0) close(error);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls until exec. A child must not die of a closed pipe, and must not
        // outlive a test that ends abnormally.
        signal(SIGPIPE, SIG_IGN);
        prctl(PR_SET_PDEATHSIG, deathSignal);
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (error >= 0) dup2(error, STDERR_FILENO);
        execve(program.c_str(), argv.data(), environ);
        _exit(127);
    }
    close(pipeEnds[1]);
    if (error >= 0) close(error);
    pid_ = pid;
    output_ = pipeEnds[0];
    buffer_.clear();
    status_.reset();
    return true;
}

bool CChildProcess::Running() {
    if (pid_ < 0 || status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

bool CChildProcess::ReadSome(std::chrono::milliseconds timeout) {
    if (output_ < 0) return false;
    pollfd entry{output_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char chunk[4096];
    const ssize_t count = read(output_, chunk, sizeof chunk);
    if (count <= 0) {
        close(output_);
        output_ = -1;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(count));
    return true;
}

std::optional<std::string> CChildProcess::WaitForLine(const std::string& prefix,
                                                      std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (std::size_t start = 0, end; (end = buffer_.find('\n', start)) != std::string::npos;
             start = end + 1) {
            if (buffer_.compare(start, prefix.size(), prefix) == 0) {
                std::string line = buffer_.substr(start, end - start);
                buffer_.erase(0, end + 1);
                return line;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || output_ < 0) return std::nullopt;
        ReadSome(left);
    }
}

std::string CChildProcess::ReadAll(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_ >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        ReadSome(left);
    }
    std::string all;
    all.swap(buffer_);
    return all;
}

std::optional<int> CChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

std::optional<int> CChildProcess::Terminate(std::chrono::milliseconds timeout) {
    if (!Running()) return status_;
    kill(pid_, SIGTERM);
    if (auto status = Wait(timeout)) return status;
    kill(pid_, SIGKILL);
    return Wait(std::chrono::seconds(5));
}
