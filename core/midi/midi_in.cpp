#include "midi/midi_in.h"

// ---- CEventRing ----

void CMidiIn::CEventRing::Reset() {
    ResetIndexes();
    codes_.fill(kEventNone);
}

bool CMidiIn::CEventRing::Push(std::int32_t code) {
    const std::uint32_t write = write_.load(std::memory_order_relaxed);
    if (write - read_.load(std::memory_order_acquire) >= kCapacity) return false;
    codes_[write % kCapacity] = code;
    write_.store(write + 1, std::memory_order_release);
    return true;
}

std::int32_t CMidiIn::CEventRing::Peek() const {
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return kEventNone;
    return codes_[read % kCapacity];
}

std::int32_t CMidiIn::CEventRing::Pop() {
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return kEventNone;
    const std::int32_t code = codes_[read % kCapacity];
    codes_[read % kCapacity] = kEventNone;
    read_.store(read + 1, std::memory_order_release);
    return code;
}

// ---- CPacketRing ----

void CMidiIn::CPacketRing::Reset() {
    ResetIndexes();
    for (CMidiPacket& packet : packets_)
        packet.Reset();
}

CMidiPacket* CMidiIn::CPacketRing::NextToFill() {
    const std::uint32_t write = write_.load(std::memory_order_relaxed);
    if (write - read_.load(std::memory_order_acquire) >= kCapacity) return nullptr;
    return &packets_[write % kCapacity];
}

void CMidiIn::CPacketRing::Publish() {
    write_.store(write_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

CMidiPacket* CMidiIn::CPacketRing::NextToConsume() {
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return nullptr;
    return &packets_[read % kCapacity];
}

void CMidiIn::CPacketRing::Release() {
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    packets_[read % kCapacity].Reset();
    read_.store(read + 1, std::memory_order_release);
}

// ---- CMidiIn ----

CMidiIn::~CMidiIn() {
    running_.store(false);
    JoinEventThread();
}

bool CMidiIn::OpenByName(const std::string& name) {
    if (open_) Close();
    running_.store(false);
    open_ = OpenPort(name);
    return open_;
}

bool CMidiIn::Reopen(const std::string& name) {
    Close();
    return OpenByName(name);
}

bool CMidiIn::Start() {
    if (!open_) return false;
    if (running_.load()) return true;
    events_.Reset();
    packets_.Reset();
    stopRequested_ = false;
    running_.store(true);
    if (!StartPort()) {
        running_.store(false);
        return false;
    }
    eventThread_ = std::thread([this] { RunEventThread(); });
    return true;
}

bool CMidiIn::Stop() {
    if (!running_.load()) return true;
    // From here on the callback records nothing; wait for a call that saw running before it was cleared.
    running_.store(false);
    StopPort();
    for (int pending = callbacks_.load(); pending != 0; pending = callbacks_.load())
        callbacks_.wait(pending);
    JoinEventThread();
    return open_;
}

bool CMidiIn::Close() {
    if (!open_) return false;
    if (!Stop()) return false;
    ClosePort();
    open_ = false;
    return true;
}

void CMidiIn::Record(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (bytes[0] == 0xF0) {
        RecordLong(bytes);
        return;
    }
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 3; ++i)
        packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    RecordShort(packed);
}

void CMidiIn::RecordShort(std::uint32_t packed) {
    CCallbackGuard guard(*this);
    if (!running_.load()) return;
    if (!events_.Push(static_cast<std::int32_t>(packed & 0x00FFFFFF)))
        droppedFull_.fetch_add(1, std::memory_order_relaxed);
}

void CMidiIn::RecordLong(std::span<const std::uint8_t> bytes) {
    CCallbackGuard guard(*this);
    if (!running_.load()) return;
    if (bytes.size() > CMidiPacket::kSize) {
        droppedOversized_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    // Both rings are written by this thread only, so the room seen here cannot shrink before the pushes.
    CMidiPacket* packet = events_.Full() ? nullptr : packets_.NextToFill();
    if (!packet) {
        droppedFull_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    packet->Assign(bytes);
    packets_.Publish();
    events_.Push(kEventLongData);
}

void CMidiIn::RecordEvent(std::int32_t code) {
    // kEventLongData announces a filled packet, which only RecordLong has: recorded here, it would hand the
    // next packet to the wrong event and let a later message overtake earlier ones.
    if (code >= kEventNone || code == kEventLongData) return;
    CCallbackGuard guard(*this);
    if (!running_.load()) return;
    if (!events_.Push(code)) droppedFull_.fetch_add(1, std::memory_order_relaxed);
}

void CMidiIn::RunEventThread() {
    for (;;) {
        const bool stopping = !running_.load();
        Drain();
        if (stopping) return;
        std::unique_lock<std::mutex> lock(wakeMutex_);
        wake_.wait_for(lock, kDrainPeriod, [this] { return stopRequested_; });
    }
}

void CMidiIn::Drain() {
    for (;;) {
        const std::int32_t code = events_.Peek();
        if (code == kEventNone) return;
        if (code >= 0) {
            if (!OnShortData(static_cast<std::uint32_t>(code))) return;
            events_.Pop();
            continue;
        }
        if (code == kEventLongData) {
            // The packet was published before its code, so it is there; an empty one is not delivered.
            CMidiPacket* packet = packets_.NextToConsume();
            if (packet && packet->Recorded() != 0 && !OnLongData(packet->Bytes())) return;
            if (packet) packets_.Release();
            events_.Pop();
            continue;
        }
        events_.Pop();
        switch (code) {
            case kEventOpen:
                OnOpen();
                break;
            case kEventClose:
                OnClose();
                break;
            case kEventError:
                OnError();
                break;
            case kEventLongError:
                OnLongError();
                break;
            case kEventMoreData:
                OnMoreData();
                break;
            default:
                break;
        }
    }
}

void CMidiIn::JoinEventThread() {
    if (!eventThread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    eventThread_.join();
}
