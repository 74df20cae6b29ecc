#pragma once

#include <chrono>
#include <map>

// Deadlines by id. A steady clock cannot wrap, so a wait never ends early or late when the system's tick
// count would have wrapped.
class DeadlineTimer {
  public:
    using Clock = std::chrono::steady_clock;

    void Start(int id, std::chrono::milliseconds duration) { entries_[id] = {Clock::now(), duration}; }
    // True when the id has no deadline or its time has passed.
    bool Expired(int id) const {
        auto it = entries_.find(id);
        return it == entries_.end() || Clock::now() >= it->second.start + it->second.duration;
    }
    // Time since Start; zero for an id without deadline.
    std::chrono::milliseconds Elapsed(int id) const {
        auto it = entries_.find(id);
        if (it == entries_.end()) return std::chrono::milliseconds(0);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - it->second.start);
    }
    // Time left before the deadline; zero when it has passed or there is none.
    Clock::duration Remaining(int id) const {
        auto it = entries_.find(id);
        if (it == entries_.end()) return Clock::duration::zero();
        const auto left = it->second.start + it->second.duration - Clock::now();
        return left > Clock::duration::zero() ? left : Clock::duration::zero();
    }

  private:
    struct Entry {
        Clock::time_point start;
        std::chrono::milliseconds duration;
    };
    std::map<int, Entry> entries_;
};
