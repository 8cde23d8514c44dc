#pragma once
// The band window's timers on a simulated clock, for the page side's state
// machines: periodic like window timers, restarted by a second start, fired
// in due order as time advances.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "page/page_host.h"

namespace qm::testing {

class SimulatedTimers : public PageHost {
public:
    // Called for every tick; set by the test to the component's timer handler.
    std::function<void(std::uint32_t id)> onTick;

    void StartTimer(std::uint32_t id, std::uint32_t intervalMs) override {
        timers_[id] = Timer{intervalMs, now_ + intervalMs, ++generation_};
        starts.push_back({id, intervalMs});
    }
    void KillTimer(std::uint32_t id) override {
        timers_.erase(id);
        ++kills[id];
    }
    void CheckVisible() override { ++visibilityChecks; }

    bool Running(std::uint32_t id) const { return timers_.count(id) != 0; }
    std::uint64_t Now() const { return now_; }

    // Moves the clock forward, firing every tick that falls due on the way.
    void Advance(std::uint64_t ms) {
        std::uint64_t end = now_ + ms;
        for (;;) {
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it) {
                if (it->second.due <= end &&
                    (next == timers_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == timers_.end()) break;
            std::uint32_t id = next->first;
            now_ = next->second.due;
            std::uint64_t generation = next->second.generation;
            ++ticks[id];
            if (onTick) onTick(id);
            auto again = timers_.find(id);
            // Still the same timer (not killed or restarted by the tick): next period.
            if (again != timers_.end() && again->second.generation == generation) {
                again->second.due += again->second.interval;
            }
        }
        now_ = end;
    }

    struct Start {
        std::uint32_t id;
        std::uint32_t intervalMs;
    };
    std::vector<Start> starts;
    std::map<std::uint32_t, int> kills;
    std::map<std::uint32_t, int> ticks;
    int visibilityChecks = 0;

private:
    struct Timer {
        std::uint32_t interval;
        std::uint64_t due;
        std::uint64_t generation;
    };
    std::map<std::uint32_t, Timer> timers_;
    std::uint64_t now_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace qm::testing
