#pragma once

#include <string>

#include "child_process.h"

// A JACK server with the dummy driver for one test, in synchronous mode (the default mode can lose a MIDI
// event when a client is late) and without real-time scheduling. Its name comes from a small fixed pool,
// claimed with a lock file so that parallel runs, also from other work trees, never share one: JACK keeps
// at most eight servers in its registry, and a server that died uncleanly keeps its slot until one of the
// same name starts again. Starting sets JACK_DEFAULT_SERVER in this process, so that every JACK client made
// here, and every program started from here, uses the server.
class CJackTestServer {
  public:
    // Two servers at a time on the machine: more of them, with their clients, overload two cores, and an
    // overloaded server in synchronous mode stops serving its clients properly.
    static constexpr int kPoolSize = 2;

    CJackTestServer() = default;
    ~CJackTestServer() { Stop(); }
    CJackTestServer(const CJackTestServer&) = delete;
    CJackTestServer& operator=(const CJackTestServer&) = delete;

    // Claims a name and starts the server; true once clients can connect. On failure Problem says why.
    bool Start();
    // Stops the server cleanly (SIGTERM and its end) and releases the name.
    void Stop();

    const std::string& Name() const { return name_; }
    const std::string& Problem() const { return problem_; }

  private:
    bool ClaimName();
    void ReleaseName();

    std::string name_;
    int lock_ = -1;
    CChildProcess server_;
    std::string problem_;
};
