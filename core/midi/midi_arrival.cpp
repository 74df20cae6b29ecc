#include "midi/midi_arrival.h"

void CMidiArrivalSignal::Notify() {
    std::function<void()> waker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++sequence_;
        waker = waker_;
    }
    changed_.notify_all();
    if (waker) waker();
}

std::uint64_t CMidiArrivalSignal::Sequence() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sequence_;
}

std::uint64_t CMidiArrivalSignal::WaitNewer(std::uint64_t seen, std::chrono::microseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return sequence_ != seen; });
    return sequence_;
}

void CMidiArrivalSignal::SetWaker(std::function<void()> waker) {
    std::lock_guard<std::mutex> lock(mutex_);
    waker_ = std::move(waker);
}
