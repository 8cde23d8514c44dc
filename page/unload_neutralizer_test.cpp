#include "page/unload_neutralizer.h"

#include <gtest/gtest.h>

#include "page/testing/simulated_timers.h"

namespace qm {
namespace {

// A browser that turns busy during the ticks listed (1-based, counted by the
// neutralizer's reads) and counts the passes that cleared its page.
class Page : public NeutralizerPage {
public:
    bool IsBusy() override { return busy; }
    bool ClearDocument() override {
        ++clears;
        return hasDocument;
    }
    bool busy = false;
    bool hasDocument = true;
    int clears = 0;
};

class UnloadNeutralizerTest : public ::testing::Test {
protected:
    UnloadNeutralizerTest() {
        timers.onTick = [this](std::uint32_t id) {
            ASSERT_EQ(id, IDT_CLEARONUNLOAD);
            ++ticks;
            if (busyFromTick && ticks >= busyFromTick) page.busy = true;
            neutralizer.OnTimer();
        };
    }

    Settings settings;
    testing::SimulatedTimers timers;
    Page page;
    UnloadNeutralizer neutralizer{settings, timers, page};
    int ticks = 0;
    int busyFromTick = 0;
};

TEST_F(UnloadNeutralizerTest, SchedulingChecksTheBarAndStartsAPhaseOnlyWhenOn) {
    settings.ClearOnUnload = 0;
    neutralizer.ScheduleUnloadNeutralizer();
    EXPECT_EQ(timers.visibilityChecks, 1);
    EXPECT_TRUE(timers.starts.empty());

    settings.ClearOnUnload = 1;
    neutralizer.ScheduleUnloadNeutralizer();
    EXPECT_EQ(timers.visibilityChecks, 2);
    ASSERT_EQ(timers.starts.size(), 1u);
    EXPECT_EQ(timers.starts[0].id, 114u);
    EXPECT_EQ(timers.starts[0].intervalMs, 100u);
    EXPECT_EQ(neutralizer.ClearOnUnloadTries, 90);
}

TEST_F(UnloadNeutralizerTest, APhaseThatNeverSeesTheBrowserBusyEndsAfter91Ticks) {
    neutralizer.ScheduleUnloadNeutralizer();
    timers.Advance(60000);
    EXPECT_EQ(ticks, 91);
    EXPECT_EQ(page.clears, 0) << "the page is untouched";
    EXPECT_FALSE(timers.Running(IDT_CLEARONUNLOAD));
    EXPECT_EQ(timers.kills[IDT_CLEARONUNLOAD], 1);
}

TEST_F(UnloadNeutralizerTest, TheFirstBusyTickClearsThePageAndEndsThePhase) {
    busyFromTick = 12;
    neutralizer.ScheduleUnloadNeutralizer();
    timers.Advance(60000);
    EXPECT_EQ(ticks, 12);
    EXPECT_EQ(page.clears, 1);
    EXPECT_EQ(timers.Now(), 60000u);
    EXPECT_FALSE(timers.Running(IDT_CLEARONUNLOAD));
}

TEST_F(UnloadNeutralizerTest, BusyWithoutDocumentKeepsPolling) {
    busyFromTick = 1;
    page.hasDocument = false;
    neutralizer.ScheduleUnloadNeutralizer();
    timers.Advance(60000);
    EXPECT_EQ(ticks, 91);
    EXPECT_EQ(page.clears, 91);
}

TEST_F(UnloadNeutralizerTest, ARestartWhilePollingStartsTheCountAgain) {
    neutralizer.ScheduleUnloadNeutralizer();
    timers.Advance(5000);
    EXPECT_EQ(ticks, 50);
    EXPECT_EQ(neutralizer.ClearOnUnloadTries, 40);
    neutralizer.ScheduleUnloadNeutralizer();
    EXPECT_EQ(neutralizer.ClearOnUnloadTries, 90);
    timers.Advance(60000);
    EXPECT_EQ(ticks, 50 + 91);
}

TEST_F(UnloadNeutralizerTest, SwitchedOffWhilePollingTheNextTickEndsThePhase) {
    busyFromTick = 3;
    neutralizer.ScheduleUnloadNeutralizer();
    timers.Advance(150);
    settings.ClearOnUnload = 0;
    timers.Advance(60000);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(page.clears, 0);
    EXPECT_FALSE(timers.Running(IDT_CLEARONUNLOAD));
}

TEST_F(UnloadNeutralizerTest, WindowLoadClearsAtOnceBusyOrNot) {
    struct Case {
        std::int32_t clearOnUnload;
        bool busy;
        int clears;
    };
    const Case cases[] = {{1, false, 1}, {1, true, 1}, {0, false, 0}, {0, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "ClearOnUnload " << c.clearOnUnload << " busy " << c.busy);
        settings.ClearOnUnload = c.clearOnUnload;
        page.busy = c.busy;
        page.clears = 0;
        neutralizer.WindowLoaded();
        EXPECT_EQ(page.clears, c.clears);
        EXPECT_TRUE(timers.starts.empty()) << "the pass at load starts no phase";
    }
}

TEST_F(UnloadNeutralizerTest, APassWaitsForBusyUnlessImmediate) {
    EXPECT_FALSE(neutralizer.ClearOnUnloadTick(false));
    EXPECT_EQ(page.clears, 0);
    EXPECT_TRUE(neutralizer.ClearOnUnloadTick(true));
    page.busy = true;
    EXPECT_TRUE(neutralizer.ClearOnUnloadTick(false));
    page.hasDocument = false;
    EXPECT_FALSE(neutralizer.ClearOnUnloadTick(false));
    EXPECT_EQ(page.clears, 3);
}

TEST(UnloadEventName, TheTwoUnloadEventsWhateverTheirCase) {
    struct Case {
        const wchar_t* name;
        bool unload;
    };
    const Case cases[] = {
        {L"onunload", true},         {L"onbeforeunload", true},
        {L"OnUnload", true},         {L"ONBEFOREUNLOAD", true},
        {L"onload", false},          {L"unload", false},
        {L"onunload ", false},       {L"", false},
        {L"onbeforeunloadx", false}, {L"on\u0130nload", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsUnloadEventName(c.name), c.unload);
}

}  // namespace
}  // namespace qm
