#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/midi_in_device.h"
#include "midi/midi_out_device.h"
#include "midi/midi_test_support.h"
#include "rtmidi/alsa_monitor.h"

// The ALSA sequencer as the kernel keeps it, as far as the backend uses it: numbered clients with numbered
// ports, connections, and the events the announce port tells of them, held until Deliver hands them to
// the monitor (as its reading thread would, a little later). Like the kernel, it gives a new client the
// lowest free number from 128 on, ends the connections of a port that goes away without telling of them
// one by one, and tells of connections ended on purpose.
class CFakeSequencer : public IAlsaSequencer {
  public:
    int OpenClient(const std::string& name, int number = -1) {
        if (number < 0)
            for (number = 128; clients_.count(number) != 0;)
                ++number;
        clients_[number] = name;
        return number;
    }
    AlsaAddress AddPort(int client, const std::string& name) {
        int port = 0;
        while (ports_.count({client, port}) != 0)
            ++port;
        ports_[{client, port}] = name;
        Announce({AlsaAnnounce::Kind::PortStart, {client, port}, {}, {}});
        return {client, port};
    }
    void CloseClient(int client) {
        for (auto it = ports_.begin(); it != ports_.end();) {
            if (it->first.first != client) {
                ++it;
                continue;
            }
            const AlsaAddress port{client, it->first.second};
            std::erase_if(connections_, [&](const auto& c) { return c.first == port || c.second == port; });
            Announce({AlsaAnnounce::Kind::PortExit, port, {}, {}});
            it = ports_.erase(it);
        }
        clients_.erase(client);
        Announce({AlsaAnnounce::Kind::ClientExit, {client, 0}, {}, {}});
    }
    void Connect(AlsaAddress sender, AlsaAddress dest) { connections_.emplace_back(sender, dest); }
    void Disconnect(AlsaAddress sender, AlsaAddress dest) {
        if (std::erase(connections_, std::make_pair(sender, dest)) != 0)
            Announce({AlsaAnnounce::Kind::Unsubscribed, {}, sender, dest});
    }

    // RtMidi's name of the port: "client:port 129:0".
    std::string RtMidiName(AlsaAddress address) {
        return PortName(address) + " " + std::to_string(address.client) + ":" + std::to_string(address.port);
    }
    // The port offered under name (names here are unique, so without " #2").
    AlsaAddress FindOffered(const std::string& name) {
        for (const auto& [address, port] : ports_)
            if (PortName({address.first, address.second}) == name) return {address.first, address.second};
        return {};
    }
    std::vector<AlsaAnnounce> TakeAnnounces() { return std::exchange(announces_, {}); }

    std::string PortName(AlsaAddress address) override {
        const auto port = ports_.find({address.client, address.port});
        return port == ports_.end() ? std::string() : clients_[address.client] + ":" + port->second;
    }
    AlsaAddress FindClientPort(const std::string& clientName) override {
        for (const auto& [address, port] : ports_)
            if (clients_[address.first] == clientName) return {address.first, address.second};
        return {};
    }
    bool Subscribed(AlsaAddress sender, AlsaAddress dest) override {
        return std::find(connections_.begin(), connections_.end(), std::make_pair(sender, dest)) !=
               connections_.end();
    }

  private:
    void Announce(const AlsaAnnounce& event) { announces_.push_back(event); }

    std::map<int, std::string> clients_;
    std::map<std::pair<int, int>, std::string> ports_;
    std::vector<std::pair<AlsaAddress, AlsaAddress>> connections_;
    std::vector<AlsaAnnounce> announces_;
};

// A sequencer, its monitor and what the ports of the tests did.
struct CFakeAlsa {
    // Hands the announce events so far to the monitor.
    void Deliver() {
        for (const AlsaAnnounce& event : sequencer->TakeAnnounces())
            monitor->Feed(event);
    }
    std::string NextClientName() { return "TQ-550 Librarian test-" + std::to_string(++clients); }

    std::shared_ptr<CFakeSequencer> sequencer = std::make_shared<CFakeSequencer>();
    std::shared_ptr<CAlsaMonitor> monitor = std::make_shared<CAlsaMonitor>(sequencer);
    std::vector<Bytes> written;
    int opens = 0;
    int clients = 0;
};

// Ports that do on the fake sequencer what the backend's ports do through RtMidi on ALSA: a client of
// their own for each opening, a port of their own connected to the other, a watch attached meanwhile.
class CFakeAlsaOutDevice : public CMidiOutDevice {
  public:
    CFakeAlsaOutDevice(CFakeAlsa& alsa, std::string name)
        : CMidiOutDevice(std::move(name)),
          alsa_(alsa),
          watch_(alsa.monitor, CAlsaPortWatch::Direction::Out, Name(), *this, nullptr) {
        SetWireRateMultiple(0);
    }
    ~CFakeAlsaOutDevice() override { CMidiOut::Close(); }

    AlsaAddress Own() const { return own_; }

  protected:
    bool OpenPort(const std::string& name) override {
        ++alsa_.opens;
        const std::string client = alsa_.NextClientName();
        client_ = alsa_.sequencer->OpenClient(client);
        other_ = alsa_.sequencer->FindOffered(name);
        if (!other_.Valid()) {
            alsa_.sequencer->CloseClient(client_);
            return false;
        }
        own_ = alsa_.sequencer->AddPort(client_, "out");
        alsa_.sequencer->Connect(own_, other_);
        watch_.Attach(client, alsa_.sequencer->RtMidiName(other_));
        return true;
    }
    void ClosePort() override {
        watch_.Detach();
        alsa_.sequencer->Disconnect(own_, other_);
        alsa_.sequencer->CloseClient(client_);
    }
    bool PortPresent() override { return watch_.Present(); }
    // A message to a port no longer connected goes nowhere, without an error.
    bool WritePort(std::span<const std::uint8_t> bytes) override {
        if (alsa_.sequencer->Subscribed(own_, other_)) alsa_.written.emplace_back(bytes.begin(), bytes.end());
        return true;
    }

  private:
    CFakeAlsa& alsa_;
    CAlsaPortWatch watch_;
    int client_ = -1;
    AlsaAddress own_;
    AlsaAddress other_;
};

class CFakeAlsaInDevice : public CMidiInDevice {
  public:
    CFakeAlsaInDevice(CFakeAlsa& alsa, std::string name, CMidiArrivalSignal& arrival)
        : CMidiInDevice(std::move(name), arrival),
          alsa_(alsa),
          watch_(alsa.monitor, CAlsaPortWatch::Direction::In, Name(), *this, this) {}
    ~CFakeAlsaInDevice() override { Shutdown(); }

    AlsaAddress Own() const { return own_; }

    // What the other port sends reaches this one while they are connected.
    void Emit(AlsaAddress from, std::span<const std::uint8_t> bytes) {
        if (alsa_.sequencer->Subscribed(from, own_)) Record(bytes);
    }

  protected:
    bool OpenPort(const std::string& name) override {
        ++alsa_.opens;
        clientName_ = alsa_.NextClientName();
        client_ = alsa_.sequencer->OpenClient(clientName_);
        if (alsa_.sequencer->FindOffered(name).Valid()) return true;
        alsa_.sequencer->CloseClient(client_);
        return false;
    }
    void ClosePort() override { alsa_.sequencer->CloseClient(client_); }
    bool StartPort() override {
        other_ = alsa_.sequencer->FindOffered(Name());
        if (!other_.Valid()) return false;
        own_ = alsa_.sequencer->AddPort(client_, "in");
        alsa_.sequencer->Connect(other_, own_);
        watch_.Attach(clientName_, alsa_.sequencer->RtMidiName(other_));
        return true;
    }
    void StopPort() override {
        watch_.Detach();
        alsa_.sequencer->Disconnect(other_, own_);
    }
    bool PortPresent() override { return watch_.Present(); }

  private:
    CFakeAlsa& alsa_;
    CAlsaPortWatch watch_;
    std::string clientName_;
    int client_ = -1;
    AlsaAddress own_;
    AlsaAddress other_;
};
