#include "rtmidi/jack_monitor.h"

#include <mutex>

#ifdef TQ_HAVE_JACK
#include <jack/jack.h>
#include <unistd.h>
#endif

#include "rtmidi/midi_system_probe.h"

#ifdef TQ_HAVE_JACK

std::shared_ptr<CJackMonitor> CJackMonitor::Get() {
    static std::mutex mutex;
    static std::weak_ptr<CJackMonitor> current;
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<CJackMonitor> monitor = current.lock();
    if (monitor && monitor->Alive()) return monitor;
    SilenceMidiLibraries();
    jack_status_t status{};
    const std::string name = "TQ-550 Librarian monitor " + std::to_string(static_cast<long>(getpid()));
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client) return nullptr;
    monitor.reset(new CJackMonitor(client));
    jack_on_shutdown(client, &CJackMonitor::OnShutdown, monitor.get());
    if (jack_activate(client) != 0) return nullptr;
    current = monitor;
    return monitor;
}

CJackMonitor::CJackMonitor(void* client) : client_(client) {}

CJackMonitor::~CJackMonitor() {
    auto* client = static_cast<jack_client_t*>(client_);
    if (Alive()) jack_deactivate(client);
    jack_client_close(client);
}

void CJackMonitor::OnShutdown(void* self) {
    static_cast<CJackMonitor*>(self)->alive_.store(false);
}

bool CJackMonitor::PortExists(const std::string& name) const {
    if (!Alive()) return false;
    return jack_port_by_name(static_cast<jack_client_t*>(client_), name.c_str()) != nullptr;
}

bool CJackMonitor::Connected(const std::string& from, const std::string& to) const {
    if (!Alive()) return false;
    jack_port_t* port = jack_port_by_name(static_cast<jack_client_t*>(client_), from.c_str());
    return port && jack_port_connected_to(port, to.c_str()) != 0;
}

#else

std::shared_ptr<CJackMonitor> CJackMonitor::Get() {
    return nullptr;
}
CJackMonitor::CJackMonitor(void* client) : client_(client) {}
CJackMonitor::~CJackMonitor() = default;
void CJackMonitor::OnShutdown(void*) {}
bool CJackMonitor::PortExists(const std::string&) const {
    return false;
}
bool CJackMonitor::Connected(const std::string&, const std::string&) const {
    return false;
}

#endif
