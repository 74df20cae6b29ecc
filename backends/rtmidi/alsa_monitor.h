#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CKivMidiDevice;
class CMidiInDeviceA;

// A port of the ALSA sequencer: client and port number.
struct AlsaAddress {
    int client = -1;
    int port = -1;

    bool Valid() const { return client >= 0 && port >= 0; }
    bool operator==(const AlsaAddress&) const = default;
};

// The address at the end of a port name as RtMidi gives it on ALSA ("Client:Port 24:0"); an invalid
// address when the name ends otherwise.
AlsaAddress AlsaAddressOfPortName(const std::string& name);

// One event of the sequencer's announce port (client 0, port 1), as far as the monitor needs it.
struct AlsaAnnounce {
    enum class Kind {
        PortStart,     // address: the new port
        PortChange,    // address: the port whose name or kind changed
        PortExit,      // address: the port that went away
        ClientExit,    // address.client: the client that went away
        Unsubscribed,  // sender and dest: the connection that ended
        Overrun,       // announce events were lost
    };
    Kind kind = Kind::Overrun;
    AlsaAddress address;
    AlsaAddress sender;
    AlsaAddress dest;
};

// What the monitor asks the sequencer. The backend's own client implements it on ALSA; tests give theirs.
// Any thread.
class IAlsaSequencer {
  public:
    virtual ~IAlsaSequencer() = default;
    // "client name:port name" of the port at address (the name RtMidi gives it, without the numbers);
    // empty when there is no such port.
    virtual std::string PortName(AlsaAddress address) = 0;
    // The first port of the client named clientName; invalid when there is none.
    virtual AlsaAddress FindClientPort(const std::string& clientName) = 0;
    // True while the connection from sender to dest exists.
    virtual bool Subscribed(AlsaAddress sender, AlsaAddress dest) = 0;
};

class CAlsaPortWatch;

// Watches the ALSA sequencer on behalf of the backend's ports. The kernel ends a connection when either of
// its ports goes away and does not make it again when a port of the same name and numbers comes back (an
// interface plugged in again, a program started again), so a port name that is still offered says nothing
// about the connection; the monitor reads the announce port and marks every port whose connection an event
// concerns (CKivMidiDevice::MarkConnectionChanged), then wakes the input ports, whose next pump lets their
// owner check the marked ones. Whether a connection exists is asked of the sequencer itself.
class CAlsaMonitor {
  public:
    // The process's monitor, with a client of its own that reads the announce port on a thread; opened on
    // first use, none when the sequencer cannot be opened (or this program was built without ALSA).
    static std::shared_ptr<CAlsaMonitor> Get();

    // A monitor that reads nothing itself: whoever reads the announce events hands them to Feed.
    explicit CAlsaMonitor(std::shared_ptr<IAlsaSequencer> sequencer);
    ~CAlsaMonitor();
    CAlsaMonitor(const CAlsaMonitor&) = delete;
    CAlsaMonitor& operator=(const CAlsaMonitor&) = delete;

    IAlsaSequencer& Sequencer() { return *sequencer_; }
    // Any thread: one announce event. Marks the ports it concerns and, when there are any, wakes the input
    // ports.
    void Feed(const AlsaAnnounce& event);

  private:
    friend class CAlsaPortWatch;

    void Register(CAlsaPortWatch& watch);
    void Unregister(CAlsaPortWatch& watch);
    // With mutex_ held: whether event concerns the connection of watch.
    bool Concerns(const CAlsaPortWatch& watch, const AlsaAnnounce& event,
                  const std::string& startedName) const;

    std::shared_ptr<IAlsaSequencer> sequencer_;
    std::mutex mutex_;
    std::vector<CAlsaPortWatch*> watches_;
    // The reading thread of the process's monitor, and how to make it stop.
    std::function<void()> stopReading_;
    std::thread reader_;
};

// The connection of one of the backend's ports on ALSA, as the monitor sees it: our port, the port it is
// connected to, and the name under which that port is offered (which a port coming back has again). Made
// with the backend's port and kept as long as it; attached while the port is open.
class CAlsaPortWatch {
  public:
    // From the port to the other (output) or from the other to the port (input).
    enum class Direction { Out, In };

    // Marks device when an event concerns it; wakes waker (the port itself, for an input port) whenever
    // an event concerned any port. offeredName is the name the port was opened by.
    CAlsaPortWatch(std::shared_ptr<CAlsaMonitor> monitor, Direction direction, std::string offeredName,
                   CKivMidiDevice& device, CMidiInDeviceA* waker);
    ~CAlsaPortWatch();
    CAlsaPortWatch(const CAlsaPortWatch&) = delete;
    CAlsaPortWatch& operator=(const CAlsaPortWatch&) = delete;

    // The port has just been connected: ownClient is the name of its own sequencer client, otherName
    // RtMidi's name of the port it was connected to. False, staying detached, when either address cannot
    // be found.
    bool Attach(const std::string& ownClient, const std::string& otherName);
    void Detach();
    bool Attached() const;
    // True while attached and the connection exists.
    bool Present() const;

  private:
    friend class CAlsaMonitor;

    std::shared_ptr<CAlsaMonitor> monitor_;
    Direction direction_;
    std::string offeredName_;
    CKivMidiDevice& device_;
    CMidiInDeviceA* waker_;
    // Guarded by the monitor's mutex.
    AlsaAddress own_;
    AlsaAddress other_;
};
