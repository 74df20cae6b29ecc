#include "rtmidi/alsa_sequencer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "rtmidi/midi_system_probe.h"

namespace {

// The sequencer's information records, freed with their owner.
template <typename T, void (*Free)(T*)>
struct InfoDeleter {
    void operator()(T* info) const { Free(info); }
};
using ClientInfo =
    std::unique_ptr<snd_seq_client_info_t, InfoDeleter<snd_seq_client_info_t, snd_seq_client_info_free>>;
using PortInfo =
    std::unique_ptr<snd_seq_port_info_t, InfoDeleter<snd_seq_port_info_t, snd_seq_port_info_free>>;
using Subscription = std::unique_ptr<snd_seq_port_subscribe_t,
                                     InfoDeleter<snd_seq_port_subscribe_t, snd_seq_port_subscribe_free>>;

ClientInfo NewClientInfo() {
    snd_seq_client_info_t* info = nullptr;
    return ClientInfo(snd_seq_client_info_malloc(&info) == 0 ? info : nullptr);
}

PortInfo NewPortInfo() {
    snd_seq_port_info_t* info = nullptr;
    return PortInfo(snd_seq_port_info_malloc(&info) == 0 ? info : nullptr);
}

AlsaAddress AddressOf(const snd_seq_addr_t& address) {
    return {address.client, address.port};
}

snd_seq_addr_t SeqAddress(AlsaAddress address) {
    snd_seq_addr_t result{};
    result.client = static_cast<unsigned char>(address.client);
    result.port = static_cast<unsigned char>(address.port);
    return result;
}

bool InRange(AlsaAddress address) {
    return address.Valid() && address.client <= 255 && address.port <= 255;
}

}  // namespace

std::optional<AlsaAnnounce> AnnounceOf(const snd_seq_event_t& event) {
    AlsaAnnounce announce;
    switch (event.type) {
        case SND_SEQ_EVENT_PORT_START:
            announce.kind = AlsaAnnounce::Kind::PortStart;
            break;
        case SND_SEQ_EVENT_PORT_CHANGE:
            announce.kind = AlsaAnnounce::Kind::PortChange;
            break;
        case SND_SEQ_EVENT_PORT_EXIT:
            announce.kind = AlsaAnnounce::Kind::PortExit;
            break;
        case SND_SEQ_EVENT_CLIENT_EXIT:
            announce.kind = AlsaAnnounce::Kind::ClientExit;
            break;
        case SND_SEQ_EVENT_PORT_UNSUBSCRIBED:
            announce.kind = AlsaAnnounce::Kind::Unsubscribed;
            announce.sender = AddressOf(event.data.connect.sender);
            announce.dest = AddressOf(event.data.connect.dest);
            return announce;
        default:
            return std::nullopt;
    }
    announce.address = AddressOf(event.data.addr);
    return announce;
}

std::shared_ptr<CAlsaSequencer> CAlsaSequencer::Open() {
    SilenceMidiLibraries();
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) return nullptr;
    // The prefix of the program's own clients keeps it out of the port lists.
    const std::string name = "TQ-550 Librarian monitor " + std::to_string(static_cast<long>(getpid()));
    snd_seq_set_client_name(sequencer, name.c_str());
    const int port =
        snd_seq_create_simple_port(sequencer, "announce", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                   SND_SEQ_PORT_TYPE_APPLICATION);
    int wake[2] = {-1, -1};
    if (port < 0 ||
        snd_seq_connect_from(sequencer, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0 ||
        pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        snd_seq_close(sequencer);
        return nullptr;
    }
    return std::make_shared<CAlsaSequencer>(Key{}, sequencer, wake[0], wake[1]);
}

CAlsaSequencer::CAlsaSequencer(Key, snd_seq_t* sequencer, int wakeRead, int wakeWrite)
    : sequencer_(sequencer), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

CAlsaSequencer::~CAlsaSequencer() {
    snd_seq_close(sequencer_);
    close(wakeRead_);
    close(wakeWrite_);
}

std::string CAlsaSequencer::PortName(AlsaAddress address) {
    if (!InRange(address)) return {};
    ClientInfo client = NewClientInfo();
    PortInfo port = NewPortInfo();
    if (!client || !port) return {};
    std::lock_guard<std::mutex> lock(mutex_);
    if (snd_seq_get_any_client_info(sequencer_, address.client, client.get()) < 0 ||
        snd_seq_get_any_port_info(sequencer_, address.client, address.port, port.get()) < 0)
        return {};
    return std::string(snd_seq_client_info_get_name(client.get())) + ":" +
           snd_seq_port_info_get_name(port.get());
}

AlsaAddress CAlsaSequencer::FindClientPort(const std::string& clientName) {
    ClientInfo client = NewClientInfo();
    PortInfo port = NewPortInfo();
    if (!client || !port) return {};
    std::lock_guard<std::mutex> lock(mutex_);
    snd_seq_client_info_set_client(client.get(), -1);
    while (snd_seq_query_next_client(sequencer_, client.get()) >= 0) {
        if (clientName != snd_seq_client_info_get_name(client.get())) continue;
        const int number = snd_seq_client_info_get_client(client.get());
        snd_seq_port_info_set_client(port.get(), number);
        snd_seq_port_info_set_port(port.get(), -1);
        if (snd_seq_query_next_port(sequencer_, port.get()) < 0) return {};
        return {number, snd_seq_port_info_get_port(port.get())};
    }
    return {};
}

bool CAlsaSequencer::Subscribed(AlsaAddress sender, AlsaAddress dest) {
    if (!InRange(sender) || !InRange(dest)) return false;
    snd_seq_port_subscribe_t* raw = nullptr;
    if (snd_seq_port_subscribe_malloc(&raw) != 0) return false;
    Subscription subscription(raw);
    const snd_seq_addr_t from = SeqAddress(sender);
    const snd_seq_addr_t to = SeqAddress(dest);
    snd_seq_port_subscribe_set_sender(raw, &from);
    snd_seq_port_subscribe_set_dest(raw, &to);
    std::lock_guard<std::mutex> lock(mutex_);
    return snd_seq_get_port_subscription(sequencer_, raw) == 0;
}

bool CAlsaSequencer::ReadAnnounces(const std::function<void(const AlsaAnnounce&)>& handler) {
    if (stopped_.load()) return false;
    std::vector<pollfd> descriptors(1);
    descriptors[0] = {wakeRead_, POLLIN, 0};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int count = snd_seq_poll_descriptors_count(sequencer_, POLLIN);
        if (count > 0) {
            descriptors.resize(1 + static_cast<std::size_t>(count));
            snd_seq_poll_descriptors(sequencer_, descriptors.data() + 1, static_cast<unsigned int>(count),
                                     POLLIN);
        }
    }
    // A stop writes to the pipe, so the second is only a bound.
    poll(descriptors.data(), descriptors.size(), 1000);
    if (stopped_.load()) return false;
    std::vector<AlsaAnnounce> announces;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (bool overrun = false;;) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(sequencer_, &event);
            if (result == -ENOSPC) {
                // The kernel dropped events that did not fit: any port may have changed.
                if (overrun) break;
                overrun = true;
                announces.push_back(AlsaAnnounce{AlsaAnnounce::Kind::Overrun, {}, {}, {}});
                continue;
            }
            if (result < 0) break;
            if (event)
                if (std::optional<AlsaAnnounce> announce = AnnounceOf(*event)) announces.push_back(*announce);
        }
    }
    for (const AlsaAnnounce& announce : announces)
        handler(announce);
    return !stopped_.load();
}

void CAlsaSequencer::Stop() {
    stopped_.store(true);
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
}
