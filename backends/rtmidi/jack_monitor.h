#pragma once

#include <atomic>
#include <memory>
#include <string>

// A JACK client of the backend's own that looks at the graph on behalf of the output ports: whether a port
// still exists, whether it is connected to another. One client serves the whole process while some port
// needs it.
class CJackMonitor {
  public:
    // The process's monitor, opened on first use (again after the server went away); none when no JACK
    // server runs.
    static std::shared_ptr<CJackMonitor> Get();

    ~CJackMonitor();
    CJackMonitor(const CJackMonitor&) = delete;
    CJackMonitor& operator=(const CJackMonitor&) = delete;

    // False once the server has shut the client down.
    bool Alive() const { return alive_.load(); }
    bool PortExists(const std::string& name) const;
    // True when the port named from exists and is connected to the port named to.
    bool Connected(const std::string& from, const std::string& to) const;

  private:
    explicit CJackMonitor(void* client);
    static void OnShutdown(void* self);

    void* client_;
    std::atomic<bool> alive_{true};
};
