#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

// Tells the user-interface thread that input has arrived: every input port notifies it after it has handed
// a message over for delivery. A waiter blocks until a notification newer than the last one it saw, or
// until its time-out; a program with an event loop of its own also installs a waker, which is called on
// the notifying thread and must only wake that loop.
class CMidiArrivalSignal {
  public:
    // Any thread.
    void Notify();
    // The number of notifications so far.
    std::uint64_t Sequence() const;
    // Blocks until Sequence() differs from seen or timeout has passed; gives Sequence() then.
    std::uint64_t WaitNewer(std::uint64_t seen, std::chrono::microseconds timeout);
    // Installs (or, with an empty function, removes) the waker.
    void SetWaker(std::function<void()> waker);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t sequence_ = 0;
    std::function<void()> waker_;
};
