#pragma once
// How long a capture waits for its page: it finishes at the first tick at
// which the page is complete, and at the latest after its ticks of grace run
// out (the 31st tick of 500 ms, 15.5 seconds after the capture was made).

#include <cstdint>

namespace qm {

class ReadinessWatch {
public:
    static constexpr std::int32_t kGraceTicks = 30;
    static constexpr std::uint32_t kTickMs = 500;
    static constexpr std::int32_t kReadyStateComplete = 4;

    // One tick with the browser's ready state. True exactly once: the
    // capture is to finish now, and the watch is over.
    bool Tick(std::int32_t readyState);

    std::int32_t ReadyTicksLeft = kGraceTicks;
    std::int32_t Finished = 0;
    // Finished because the ticks ran out, not because the page completed.
    std::int32_t TimedOut = 0;
};

}  // namespace qm
