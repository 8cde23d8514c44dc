#include "band/flash_alert.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::band {
namespace {

// Ticks until the alert stops its timer; one letter per tick: D dark,
// n normal (after a change), . nothing to repaint.
std::string RunOut(FlashAlert& alert, int limit = 40) {
    std::string ticks;
    for (int i = 0; i < limit; ++i) {
        FlashAlert::Tick tick = alert.OnTick();
        ticks += !tick.repaint ? '.' : alert.dark() ? 'D' : 'n';
        if (tick.stopTimer) break;
    }
    return ticks;
}

TEST(FlashAlert, EightTogglesThenTheTimerStops) {
    FlashAlert alert;
    alert.Start();
    EXPECT_TRUE(alert.running());
    EXPECT_EQ(RunOut(alert), "DnDnDnDn.");
    EXPECT_FALSE(alert.dark());
    EXPECT_FALSE(alert.running());
}

TEST(FlashAlert, ASecondStartWhileBlinkingEndsOnTheNormalBackground) {
    const struct {
        int ticksBeforeRestart;
        const char* rest;
    } cases[] = {
        // Restarted while dark: an odd number of toggles in all, so the
        // last tick brings the normal background back.
        {3, "nDnDnDnDn"},
        {2, "DnDnDnDn."},
        {7, "nDnDnDnDn"},
        {0, "DnDnDnDn."},
    };
    for (const auto& c : cases) {
        FlashAlert alert;
        alert.Start();
        for (int i = 0; i < c.ticksBeforeRestart; ++i) alert.OnTick();
        alert.Start();
        EXPECT_EQ(RunOut(alert), c.rest) << "restart after " << c.ticksBeforeRestart;
        EXPECT_FALSE(alert.dark());
    }
}

TEST(FlashAlert, ATickWithoutAStartChangesNothing) {
    FlashAlert alert;
    FlashAlert::Tick tick = alert.OnTick();
    EXPECT_TRUE(tick.stopTimer);
    EXPECT_FALSE(tick.repaint);
    EXPECT_FALSE(alert.dark());
}

}  // namespace
}  // namespace qm::band
