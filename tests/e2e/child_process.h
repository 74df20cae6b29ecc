#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A program started by a test, with its standard output on a pipe (standard error is inherited unless
// given a file). Destroying it terminates the program if it still runs.
class CChildProcess {
  public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts program with arguments (argv[0] is program). False when it cannot be started. Should this
    // process end without terminating the program, the program gets deathSignal.
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& errorFile = {}, int deathSignal = 15 /* SIGTERM */);
    bool Running();
    pid_t Pid() const { return pid_; }

    // Reads standard output until a line beginning with prefix arrives (gives that line) or timeout.
    std::optional<std::string> WaitForLine(const std::string& prefix, std::chrono::milliseconds timeout);
    // Everything the program wrote to standard output until it ended (or timeout).
    std::string ReadAll(std::chrono::milliseconds timeout);
    // Waits for the end; gives the exit status (128 + signal for a signal), or none on time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // SIGTERM, then the end within timeout (SIGKILL after that); gives the exit status.
    std::optional<int> Terminate(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  private:
    bool ReadSome(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    std::optional<int> status_;
};
