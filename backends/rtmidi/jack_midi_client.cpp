#include "rtmidi/jack_midi_client.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <pthread.h>

#include <cerrno>
#include <cstdio>

#include "rtmidi/midi_system_probe.h"
#include "rtmidi/own_client_name.h"

namespace {

std::vector<std::string> PortNamesOf(jack_client_t* client, bool sources) {
    std::vector<std::string> names;
    if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                            sources ? JackPortIsOutput : JackPortIsInput)) {
        for (const char** port = ports; *port; ++port)
            names.emplace_back(*port);
        jack_free(ports);
    }
    return names;
}

jack_client_t* OpenClient(const std::string& name, std::string& error) {
    SilenceMidiLibraries();
    jack_status_t status{};
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client) return client;
    if (status & JackServerFailed) {
        error = "no JACK server is running";
    } else {
        char code[16];
        std::snprintf(code, sizeof code, "%#x", static_cast<unsigned>(status));
        error = std::string("the JACK server refused a client (status ") + code + ")";
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CJackMidiClient> CJackMidiClient::Open(const std::string& clientName,
                                                       const std::string& portName, Direction direction,
                                                       IHandler& handler, std::string& error) {
    jack_client_t* client = OpenClient(clientName, error);
    if (!client) return nullptr;
    auto self = std::make_unique<CJackMidiClient>(Key{}, client, direction, handler);
    const unsigned long flags = direction == Direction::In ? JackPortIsInput : JackPortIsOutput;
    auto* port = jack_port_register(client, portName.c_str(), JACK_DEFAULT_MIDI_TYPE, flags, 0);
    if (!port) {
        error = "JACK did not make the port \"" + portName + "\"";
        return nullptr;
    }
    self->port_ = port;
    self->portName_ = jack_port_name(port);
    jack_set_process_callback(client, &CJackMidiClient::OnProcess, self.get());
    jack_on_shutdown(client, &CJackMidiClient::OnShutdown, self.get());
    return self;
}

CJackMidiClient::CJackMidiClient(Key, void* client, Direction direction, IHandler& handler)
    : client_(client), direction_(direction), handler_(handler) {}

CJackMidiClient::~CJackMidiClient() {
    Deactivate();
    // Closing unregisters the port; the process thread is no longer there to use it.
    jack_client_close(static_cast<jack_client_t*>(client_));
}

bool CJackMidiClient::Activate(std::string& error) {
    if (active_) return true;
    if (!Alive() || jack_activate(static_cast<jack_client_t*>(client_)) != 0) {
        error = "JACK did not activate the client of \"" + portName_ + "\"";
        return false;
    }
    active_ = true;
    return true;
}

void CJackMidiClient::Deactivate() {
    if (!active_) return;
    active_ = false;
    // A client that the server has shut down has no process thread any more.
    if (Alive()) jack_deactivate(static_cast<jack_client_t*>(client_));
}

bool CJackMidiClient::Connect(const std::string& other, std::string& error) {
    const bool in = direction_ == Direction::In;
    const std::string& from = in ? other : portName_;
    const std::string& to = in ? portName_ : other;
    const int result = jack_connect(static_cast<jack_client_t*>(client_), from.c_str(), to.c_str());
    if (result == 0 || result == EEXIST) return true;
    error = "JACK did not connect \"" + from + "\" to \"" + to + "\"";
    return false;
}

std::vector<std::string> CJackMidiClient::PortNames(bool sources) const {
    return Alive() ? PortNamesOf(static_cast<jack_client_t*>(client_), sources) : std::vector<std::string>();
}

std::uint32_t CJackMidiClient::BufferFrames() const {
    return Alive() ? jack_get_buffer_size(static_cast<jack_client_t*>(client_)) : 0;
}

std::uint32_t CJackMidiClient::SampleRate() const {
    return Alive() ? jack_get_sample_rate(static_cast<jack_client_t*>(client_)) : 0;
}

int CJackMidiClient::OnProcess(std::uint32_t frames, void* self) {
    // When the client is deactivated JACK cancels its process thread, and the cancellation is asynchronous:
    // held off here, so that the handler is never cut off halfway (with a count of callbacks under way
    // left raised, for one). It takes effect as soon as the handler has returned.
    int state = PTHREAD_CANCEL_ENABLE;
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &state);
    auto* client = static_cast<CJackMidiClient*>(self);
    client->handler_.Process(jack_port_get_buffer(static_cast<jack_port_t*>(client->port_), frames), frames);
    pthread_setcancelstate(state, nullptr);
    return 0;
}

void CJackMidiClient::OnShutdown(void* self) {
    static_cast<CJackMidiClient*>(self)->alive_.store(false);
}

std::vector<std::string> JackMidiPortNames(bool sources, std::string* error) {
    std::string failure;
    jack_client_t* client = OpenClient(OwnClientName(), failure);
    if (!client) {
        if (error) *error = failure;
        return {};
    }
    std::vector<std::string> names = PortNamesOf(client, sources);
    jack_client_close(client);
    return names;
}
