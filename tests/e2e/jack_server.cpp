#include "jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

void QuietJack(const char*) {}

bool ServerAnswers(const std::string& name) {
    jack_status_t status{};
    jack_client_t* client =
        jack_client_open("tq550-e2e-check", static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                         &status, name.c_str());
    if (!client) return false;
    jack_client_close(client);
    return true;
}

}  // namespace

bool CJackTestServer::ClaimName() {
    // Try every name of the pool at once; when all are taken, wait for one.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(600);
    for (;;) {
        for (int i = 1; i <= kPoolSize; ++i) {
            const std::string name = "tq550-test-" + std::to_string(i);
            const std::string path = "/tmp/" + name + ".lock";
            const int lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (lock < 0) continue;
            // A server that answers although nobody holds its name belongs to no test of ours (one left by
            // some other program): leave that name alone.
            if (flock(lock, LOCK_EX | LOCK_NB) == 0) {
                if (!ServerAnswers(name)) {
                    name_ = name;
                    lock_ = lock;
                    return true;
                }
                flock(lock, LOCK_UN);
            }
            close(lock);
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

void CJackTestServer::ReleaseName() {
    if (lock_ >= 0) close(lock_);
    lock_ = -1;
}

bool CJackTestServer::Start() {
    jack_set_error_function(QuietJack);
    jack_set_info_function(QuietJack);
    if (!ClaimName()) {
        problem_ = "no JACK server name of the test pool became free";
        return false;
    }
    const std::string log = "/tmp/" + name_ + ".log";
    if (!server_.Start(
            "/usr/bin/jackd",
            {"-S", "-n", name_, "--no-realtime", "-t", "5000", "-d", "dummy", "-r", "48000", "-p", "256"},
            log,
            // A server whose clients died with a crashed test can hang in its shutdown; its registry
            // slot is taken over when the name is used again.
            SIGKILL)) {
        problem_ = "jackd cannot be started";
        ReleaseName();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ServerAnswers(name_)) {
        if (!server_.Running()) {
            problem_ = "jackd ended at start; see " + log;
            ReleaseName();
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            problem_ = "jackd did not answer within 20 s; see " + log;
            Stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    return true;
}

void CJackTestServer::Stop() {
    if (server_.Running()) server_.Terminate(std::chrono::seconds(15));
    ReleaseName();
}
