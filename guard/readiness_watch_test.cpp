#include "guard/readiness_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qm {
namespace {

// The tick (1-based) at which the watch says "finish now", for a browser that
// reports `states` tick by tick (the last state repeats); 0 if never in 100.
int FinishingTick(const std::vector<std::int32_t>& states, ReadinessWatch& watch) {
    for (int tick = 1; tick <= 100; ++tick) {
        std::int32_t state = states[std::min<std::size_t>(tick - 1, states.size() - 1)];
        if (watch.Tick(state)) return tick;
    }
    return 0;
}

TEST(ReadinessWatch, FinishesWhenCompleteOrWhenGraceRunsOut) {
    struct Case {
        const char* label;
        std::vector<std::int32_t> states;
        int tick;
        std::int32_t timedOut;
    };
    const Case cases[] = {
        {"complete at once (a cancelled navigation)", {4}, 1, 0},
        {"loading, then complete at the fifth tick", {1, 1, 3, 3, 4}, 5, 0},
        {"never complete: the 31st tick, 15.5 s", {1}, 31, 1},
        {"interactive is not complete", {3}, 31, 1},
        {"complete on the very last tick of grace",
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
          1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4},
         31,
         0},
        {"an unreadable state (failure) counts as loading", {-1}, 31, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ReadinessWatch watch;
        EXPECT_EQ(FinishingTick(c.states, watch), c.tick);
        EXPECT_EQ(watch.Finished, 1);
        EXPECT_EQ(watch.TimedOut, c.timedOut);
    }
}

TEST(ReadinessWatch, SaysFinishOnlyOnce) {
    ReadinessWatch watch;
    EXPECT_TRUE(watch.Tick(4));
    EXPECT_FALSE(watch.Tick(4));
    EXPECT_FALSE(watch.Tick(1));
    EXPECT_EQ(watch.ReadyTicksLeft, 30);
}

}  // namespace
}  // namespace qm
