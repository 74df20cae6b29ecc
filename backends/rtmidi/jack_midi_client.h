#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A JACK client of the backend's own with one MIDI port, whose process callback hands the port's buffer to
// a handler. It ends in the one order that is safe while the server's process thread runs: the client is
// deactivated (after which the process thread no longer runs its callback, nor is it in the middle of it),
// then closed, which unregisters the port. Only then may the handler and whatever it uses go.
class CJackMidiClient {
    // Only Open makes clients.
    struct Key {};

  public:
    enum class Direction { In, Out };

    // What the client does once per period while it is active, on JACK's process thread: buffer is the
    // port's MIDI buffer for frames frames.
    class IHandler {
      public:
        virtual ~IHandler() = default;
        virtual void Process(void* buffer, std::uint32_t frames) = 0;
    };

    // Opens a client named clientName (JACK may add a number to a name in use) with a MIDI port named
    // portName that receives (In) or sends (Out), not active yet; none on failure, with the reason in error.
    // The handler must outlive the client.
    static std::unique_ptr<CJackMidiClient> Open(const std::string& clientName, const std::string& portName,
                                                 Direction direction, IHandler& handler, std::string& error);

    CJackMidiClient(Key, void* client, Direction direction, IHandler& handler);
    // Deactivates the client, then closes it.
    ~CJackMidiClient();
    CJackMidiClient(const CJackMidiClient&) = delete;
    CJackMidiClient& operator=(const CJackMidiClient&) = delete;

    // From now on the handler runs once per period.
    bool Activate(std::string& error);
    // When this returns, the handler has finished its last run and runs no more, and the server has ended
    // the port's connections.
    void Deactivate();
    // Connects the port with the port named other: other sends to an input port, an output port sends to
    // other.
    bool Connect(const std::string& other, std::string& error);

    // The port's full name, "client:port".
    const std::string& PortName() const { return portName_; }
    // False once the server has shut the client down.
    bool Alive() const { return alive_.load(); }
    // The full names of the server's MIDI ports that send (sources) or that receive, in the server's order.
    std::vector<std::string> PortNames(bool sources) const;
    // The server's period: frames per period, frames per second; 0 once the server has shut the client
    // down.
    std::uint32_t BufferFrames() const;
    std::uint32_t SampleRate() const;

  private:
    static int OnProcess(std::uint32_t frames, void* self);
    static void OnShutdown(void* self);

    void* client_;
    void* port_ = nullptr;
    Direction direction_;
    IHandler& handler_;
    std::string portName_;
    bool active_ = false;
    std::atomic<bool> alive_{true};
};

// The full names of the server's MIDI ports that send (sources) or that receive, in the server's order;
// none, with the reason in error when given, when no client can be opened.
std::vector<std::string> JackMidiPortNames(bool sources, std::string* error = nullptr);
