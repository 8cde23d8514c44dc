#include "guard/guard.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/testing/memory_file_system.h"
#include "guard/record_bounds.h"
#include "log/activity_log.h"

namespace qm {
namespace {

const char kModule[] = "C:\\qm\\quellmark.dll";
const char kLog[] = "C:\\qm\\qml.dat";
const wchar_t kPage[] = L"http://www.news.example/today.html";

class FakeCapture : public Capture {
public:
    FakeCapture(std::int32_t level, std::vector<FakeCapture*>& released)
        : level_(level), released_(released) {
        record_.sourceUrl = kPage;
        // A watched window of "Record Only" is not stopped.
        record_.stopped = level == 2 ? 1 : 0;
    }
    PopupRecord& record() override { return record_; }
    std::int32_t captureLevel() const override { return level_; }
    void release() override { released_.push_back(this); }
    void endNow() override {
        ++ends;
        if (onEnd) onEnd(*this);
    }

    std::function<void(FakeCapture&)> onEnd;
    int ends = 0;

private:
    std::int32_t level_;
    PopupRecord record_;
    std::vector<FakeCapture*>& released_;
};

// A note as the host saw it, with copies of its texts ("-" for no rule).
struct SeenNote {
    DecisionNote::Step step;
    std::uint32_t window;
    DecisionNote::Because because;
    NewWindowOutcome outcome;
    std::int32_t held;
    DecisionNote::Ending ending;
    std::int32_t counted;
    std::int32_t timeLimit;
    std::wstring url;
    std::string white;
    std::string black;
};

class FakeHost : public GuardHost {
public:
    bool IsBandWindowVisible() override { return visible; }
    bool IsCtrlHeld() override { return ctrlHeld; }
    std::wstring PageAddress() override { return page; }
    std::wstring LocationName() override { return L"Today's news"; }
    std::wstring LocationUrl() override { return page; }
    void KillClickTimer() override { ++clickTimerKills; }
    Capture* CreateCapture(std::int32_t level) override {
        if (failCaptures) return nullptr;
        captures.push_back(std::make_unique<FakeCapture>(level, released));
        return captures.back().get();
    }
    void OpenInNewWindow(const PopupRecord& record) override { reopened.push_back(record.url); }
    void AddRecord(const PopupRecord& record) override { shown.push_back(&record); }
    void RemoveRecord(const PopupRecord& record) override { removed.push_back(&record); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void StartFlash() override { ++flashes; }
    void CheckVisible() override { ++visibilityChecks; }
    void Decided(const DecisionNote& note) override {
        notes.push_back({note.step, note.window, note.because, note.outcome, note.held, note.ending,
                         note.counted, note.timeLimit, std::wstring(note.url),
                         note.whiteRule ? std::string(*note.whiteRule) : "-",
                         note.blackRule ? std::string(*note.blackRule) : "-"});
    }

    bool visible = true;
    bool ctrlHeld = false;
    bool failCaptures = false;
    std::wstring page = kPage;
    int clickTimerKills = 0;
    int flashes = 0;
    int visibilityChecks = 0;
    std::vector<std::unique_ptr<FakeCapture>> captures;
    std::vector<FakeCapture*> released;
    std::vector<std::wstring> reopened;
    std::vector<const PopupRecord*> shown;
    std::vector<const PopupRecord*> removed;
    std::vector<std::string> statuses;
    std::vector<SeenNote> notes;
};

class GuardTest : public ::testing::Test {
protected:
    void AddRule(std::uint16_t flags, const char* popup, const char* source) {
        rules.append(Rule{static_cast<std::uint16_t>(flags | On), "rule", popup, source});
    }

    // A popup captured, navigated to `url`, and finished the way a capture finishes.
    NewWindowDecision CaptureAndFinish(const wchar_t* url, bool* cancelled = nullptr) {
        NewWindowDecision decision = guard.OnNewWindow2();
        if (decision.outcome != NewWindowOutcome::Captured) return decision;
        bool cancel = guard.DecideCapturedNavigation(*decision.capture, url);
        if (cancelled) *cancelled = cancel;
        Finish(*decision.capture);
        return decision;
    }

    void Finish(Capture& capture) {
        Guard::CaptureVerdict verdict = guard.TakeCaptureVerdict();
        if (verdict.userWanted) capture.record().url = verdict.addressToOpen;
        guard.ConcludeCapture(capture, verdict.userWanted);
    }

    std::size_t LogLines() const { return SplitLogLines(files.contents(kLog)).size(); }

    FakeHost host;
    Settings settings;
    RuleSet rules;
    testing::MemoryFileSystem files;
    Guard guard{host, settings, rules, files, kModule};
};

TEST_F(GuardTest, HiddenBarLetsEverythingPassUntouched) {
    host.visible = false;
    settings.CompleteBlock = 1;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::PassedThrough);
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_TRUE(host.captures.empty());
    EXPECT_EQ(host.clickTimerKills, 0);
}

TEST_F(GuardTest, FirstDecisionOutcomes) {
    struct Case {
        const char* label;
        std::int32_t level;
        std::int32_t completeBlock;
        std::int32_t click;
        std::int32_t plugin;
        bool whiteSource;
        NewWindowOutcome expected;
        DecisionNote::Because because;
    };
    using B = DecisionNote::Because;
    const Case cases[] = {
        {"no protection", 0, 1, 0, 0, false, NewWindowOutcome::Allowed, B::NoProtection},
        {"a real click", 2, 1, 1, 0, false, NewWindowOutcome::Allowed, B::Click},
        {"over a plug-in", 2, 1, 0, 1, false, NewWindowOutcome::Allowed, B::PluginHover},
        {"white-listed source page", 2, 1, 0, 0, true, NewWindowOutcome::Allowed, B::WhiteRule},
        {"block all", 2, 1, 0, 0, false, NewWindowOutcome::Cancelled, B::BlockAll},
        {"full protection", 2, 0, 0, 0, false, NewWindowOutcome::Captured, B::Level},
        {"record only", 1, 0, 0, 0, false, NewWindowOutcome::Captured, B::Level},
    };
    for (const Case& c : cases) {
        FakeHost host;
        Settings settings;
        settings.GuardLevel = c.level;
        settings.CompleteBlock = c.completeBlock;
        RuleSet rules;
        if (c.whiteSource) {
            rules.append(Rule{SourceExact | White | On, "src", "", "http://www.news.example/"});
        }
        Guard guard(host, settings, rules, files, kModule);
        guard.ClickTriggered = c.click;
        guard.ClickTimerRunning = c.click;
        guard.OverPluginObject = c.plugin;
        NewWindowDecision decision = guard.OnNewWindow2();
        EXPECT_EQ(decision.outcome, c.expected) << c.label;
        bool allowed = c.expected == NewWindowOutcome::Allowed;
        EXPECT_EQ(host.statuses,
                  allowed ? std::vector<std::string>{"session statistics: 0 stopped popups"}
                          : std::vector<std::string>{})
            << c.label;
        EXPECT_EQ(guard.ClickTriggered, allowed ? 0 : c.click) << c.label;
        EXPECT_EQ(host.clickTimerKills, allowed ? 1 : 0) << c.label;
        EXPECT_EQ(guard.Captures.size(), c.expected == NewWindowOutcome::Captured ? 1u : 0u)
            << c.label;
        EXPECT_EQ(guard.StoppedCount, 0) << c.label;
        EXPECT_TRUE(guard.Records.empty()) << c.label;
        // The band says why, with the flags it read before acting on them.
        ASSERT_EQ(host.notes.size(), 1u) << c.label;
        const SeenNote& note = host.notes[0];
        EXPECT_EQ(note.step, DecisionNote::Step::NewWindow) << c.label;
        EXPECT_EQ(note.window, 1u) << c.label;
        EXPECT_EQ(note.outcome, c.expected) << c.label;
        EXPECT_EQ(note.because, c.because) << c.label;
        EXPECT_EQ(note.white, c.because == B::WhiteRule ? "src" : "-") << c.label;
    }
}

TEST_F(GuardTest, TheBandsOwnReopeningIsNotCalledAClick) {
    guard.ClickTriggered = 1;
    guard.Reopening = 1;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    guard.ClickTriggered = 1;
    guard.Reopening = 0;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    ASSERT_EQ(host.notes.size(), 2u);
    EXPECT_EQ(host.notes[0].because, DecisionNote::Because::Reopening);
    EXPECT_EQ(host.notes[1].because, DecisionNote::Because::Click);
}

// Holding Ctrl lets a window through at either protection level, even
// with "Block ALL new windows", and a black rule for its address cannot
// stop it; at "No Protection" it changes nothing.
TEST_F(GuardTest, HeldCtrlLetsTheWindowThroughAtEveryLevel) {
    enum RuleKind { NoRule, WhiteSource, BlackPopup };
    enum Status { NoStatus, Statistics, CtrlHeld };
    struct Case {
        std::int32_t level;
        std::int32_t blockAll;
        RuleKind rule;
        bool ctrl;
        NewWindowOutcome outcome;
        DecisionNote::Because because;
        std::size_t records;
        std::int32_t stopped;
        Status status;
    };
    using B = DecisionNote::Because;
    using O = NewWindowOutcome;
    const Case cases[] = {
        {0, 0, NoRule, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 0, NoRule, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 0, WhiteSource, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 0, WhiteSource, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 0, BlackPopup, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 0, BlackPopup, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, NoRule, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, NoRule, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, WhiteSource, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, WhiteSource, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, BlackPopup, false, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {0, 1, BlackPopup, true, O::Allowed, B::NoProtection, 0, 0, Statistics},
        {1, 0, NoRule, false, O::Captured, B::Level, 1, 0, Statistics},
        {1, 0, NoRule, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {1, 0, WhiteSource, false, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {1, 0, WhiteSource, true, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {1, 0, BlackPopup, false, O::Captured, B::Level, 0, 0, NoStatus},
        {1, 0, BlackPopup, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {1, 1, NoRule, false, O::Cancelled, B::BlockAll, 0, 0, NoStatus},
        {1, 1, NoRule, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {1, 1, WhiteSource, false, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {1, 1, WhiteSource, true, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {1, 1, BlackPopup, false, O::Cancelled, B::BlockAll, 0, 0, NoStatus},
        {1, 1, BlackPopup, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {2, 0, NoRule, false, O::Captured, B::Level, 1, 1, Statistics},
        {2, 0, NoRule, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {2, 0, WhiteSource, false, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {2, 0, WhiteSource, true, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {2, 0, BlackPopup, false, O::Captured, B::Level, 1, 1, Statistics},
        {2, 0, BlackPopup, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {2, 1, NoRule, false, O::Cancelled, B::BlockAll, 0, 0, NoStatus},
        {2, 1, NoRule, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
        {2, 1, WhiteSource, false, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {2, 1, WhiteSource, true, O::Allowed, B::WhiteRule, 0, 0, Statistics},
        {2, 1, BlackPopup, false, O::Cancelled, B::BlockAll, 0, 0, NoStatus},
        {2, 1, BlackPopup, true, O::Allowed, B::Key, 0, 0, CtrlHeld},
    };
    const char* const ruleNames[] = {"no rule", "white source", "black popup"};
    for (const Case& c : cases) {
        std::string label = "level " + std::to_string(c.level) +
                            (c.blockAll ? ", block all, " : ", ") + ruleNames[c.rule] +
                            (c.ctrl ? ", Ctrl held" : ", Ctrl up");
        FakeHost host;
        host.ctrlHeld = c.ctrl;
        testing::MemoryFileSystem files;
        Settings settings;
        settings.GuardLevel = c.level;
        settings.CompleteBlock = c.blockAll;
        RuleSet rules;
        if (c.rule == WhiteSource) {
            rules.append(Rule{SourceExact | White | On, "src", "", "http://www.news.example/"});
        } else if (c.rule == BlackPopup) {
            rules.append(Rule{PopupDomain | On, "Ads", "ads.example", ""});
        }
        Guard guard(host, settings, rules, files, kModule);
        NewWindowDecision decision = guard.OnNewWindow2();
        EXPECT_EQ(decision.outcome, c.outcome) << label;
        ASSERT_EQ(host.notes.size(), 1u) << label;
        EXPECT_EQ(host.notes[0].because, c.because) << label;
        if (decision.outcome == O::Captured) {
            guard.DecideCapturedNavigation(*decision.capture, L"http://ads.example/win.html");
            Guard::CaptureVerdict verdict = guard.TakeCaptureVerdict();
            guard.ConcludeCapture(*decision.capture, verdict.userWanted);
        }
        EXPECT_EQ(guard.Records.size(), c.records) << label;
        EXPECT_EQ(SplitLogLines(files.contents(kLog)).size(), c.records) << label;
        EXPECT_EQ(guard.StoppedCount, c.stopped) << label;
        EXPECT_EQ(host.flashes, c.stopped) << label;
        EXPECT_TRUE(host.reopened.empty()) << label;
        EXPECT_TRUE(guard.Captures.empty()) << label;
        std::string statistics =
            "session statistics: " + std::to_string(c.stopped) + " stopped popups";
        std::vector<std::string> shown;
        if (c.status == Statistics) shown.push_back(statistics);
        if (c.status == CtrlHeld) shown.push_back("popup allowed: Ctrl held");
        EXPECT_EQ(host.statuses, shown) << label;
        // What the caption comes back to after the tooltip timer.
        EXPECT_EQ(guard.statusText, c.status == NoStatus ? "" : statistics) << label;
    }
}

TEST_F(GuardTest, HeldCtrlDecidesOnlyWhatNothingElseLetThrough) {
    host.ctrlHeld = true;
    host.visible = false;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::PassedThrough);
    host.visible = true;
    guard.ClickTriggered = 1;
    guard.ClickTimerRunning = 1;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    EXPECT_EQ(guard.ClickTimerRunning, 0);
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    ASSERT_EQ(host.notes.size(), 3u);
    EXPECT_EQ(host.notes[0].because, DecisionNote::Because::BarHidden);
    EXPECT_EQ(host.notes[1].because, DecisionNote::Because::Click);
    EXPECT_EQ(host.notes[2].because, DecisionNote::Because::Key);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"session statistics: 0 stopped popups",
                                                       "popup allowed: Ctrl held"}));
}

TEST_F(GuardTest, CtrlAllowedWindowKeepsTheCountForTheCaptionToComeBackTo) {
    CaptureAndFinish(L"http://ads.example/win.html");
    ASSERT_EQ(guard.StoppedCount, 1);
    host.ctrlHeld = true;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    EXPECT_EQ(guard.StoppedCount, 1);
    EXPECT_EQ(guard.Records.size(), 1u);
    EXPECT_EQ(LogLines(), 1u);
    EXPECT_EQ(host.flashes, 1);
    EXPECT_EQ(host.statuses.back(), "popup allowed: Ctrl held");
    EXPECT_EQ(guard.statusText, "session statistics: 1 stopped popups");
}

TEST_F(GuardTest, HiddenBarAndFailedCaptureAreNotedToo) {
    host.visible = false;
    guard.OnNewWindow2();
    host.visible = true;
    host.failCaptures = true;
    guard.OnNewWindow2();
    ASSERT_EQ(host.notes.size(), 2u);
    EXPECT_EQ(host.notes[0].because, DecisionNote::Because::BarHidden);
    EXPECT_EQ(host.notes[0].outcome, NewWindowOutcome::PassedThrough);
    EXPECT_EQ(host.notes[1].because, DecisionNote::Because::NoCapture);
    EXPECT_EQ(host.notes[1].outcome, NewWindowOutcome::NotCaptured);
    EXPECT_EQ(host.notes[1].window, 2u);
}

TEST_F(GuardTest, EveryStepOfACaptureIsNotedWithItsReason) {
    using B = DecisionNote::Because;
    using E = DecisionNote::Ending;
    struct Case {
        const char* label;
        std::int32_t level;
        const wchar_t* anchor;
        bool timedOut;
        B navigation;
        std::int32_t held;
        E ending;
        B concluded;
        std::int32_t counted;
        const char* white;
        const char* black;
        // A black-listed popup at "Record Only" is concluded without its address.
        const wchar_t* concludedUrl = L"http://x.example/p";
    };
    const wchar_t* none = L"";
    const Case cases[] = {
        {"plain popup", 2, none, false, B::Level, 0, E::Stopped, B::Level, 1, "-", "-"},
        {"never complete", 2, none, true, B::Level, 0, E::Stopped, B::Level, 1, "-", "-"},
        {"record only", 1, none, false, B::Level, 0, E::Shown, B::Level, 0, "-", "-"},
        {"the user's link", 2, L"http://x.example/p", false, B::Link, 1, E::Reopened, B::Wanted, 0,
         "-", "-"},
        {"white rule", 2, none, false, B::WhiteRule, 1, E::Reopened, B::Wanted, 0, "Friends", "-"},
        {"black rule at record only", 1, none, false, B::BlackRule, 1, E::Dropped, B::Wanted, 0,
         "-", "Ads", L""},
        {"white and black", 2, none, false, B::WhiteRule, 1, E::Dropped, B::BlackRule, 0, "Friends",
         "Ads"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        Settings settings;
        settings.GuardLevel = c.level;
        RuleSet rules;
        if (c.white[0] != '-')
            rules.append(Rule{PopupDomain | White | On, c.white, "x.example", ""});
        if (c.black[0] != '-') rules.append(Rule{PopupDomain | On, c.black, "x.example", ""});
        Guard guard(host, settings, rules, files, kModule);
        NewWindowDecision decision = guard.OnNewWindow2();
        ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured) << c.label;
        guard.AnchorHref = c.anchor;
        guard.DecideCapturedNavigation(*decision.capture, L"http://x.example/p");
        decision.capture->timedOut = c.timedOut;
        Guard::CaptureVerdict verdict = guard.TakeCaptureVerdict();
        if (verdict.userWanted) decision.capture->record().url = verdict.addressToOpen;
        guard.ConcludeCapture(*decision.capture, verdict.userWanted);

        ASSERT_EQ(host.notes.size(), 3u) << c.label;
        const SeenNote& navigation = host.notes[1];
        EXPECT_EQ(navigation.step, DecisionNote::Step::Navigation) << c.label;
        EXPECT_EQ(navigation.window, 1u) << c.label;
        EXPECT_EQ(navigation.because, c.navigation) << c.label;
        EXPECT_EQ(navigation.held, c.held) << c.label;
        EXPECT_EQ(navigation.url, L"http://x.example/p") << c.label;
        EXPECT_EQ(navigation.white, c.white) << c.label;
        EXPECT_EQ(navigation.black, c.black) << c.label;
        const SeenNote& end = host.notes[2];
        EXPECT_EQ(end.step, DecisionNote::Step::Conclusion) << c.label;
        EXPECT_EQ(end.window, 1u) << c.label;
        EXPECT_EQ(end.ending, c.ending) << c.label;
        EXPECT_EQ(end.because, c.concluded) << c.label;
        EXPECT_EQ(end.counted, c.counted) << c.label;
        EXPECT_EQ(end.timeLimit, c.timedOut ? 1 : 0) << c.label;
        EXPECT_EQ(end.url, c.concludedUrl) << c.label;
        // What the note says is what the band did.
        EXPECT_EQ(guard.StoppedCount, c.counted) << c.label;
        EXPECT_EQ(host.reopened.size(), c.ending == E::Reopened ? 1u : 0u) << c.label;
        bool recorded = c.ending == E::Stopped || c.ending == E::Shown;
        EXPECT_EQ(guard.Records.size(), recorded ? 1u : 0u) << c.label;
    }
}

TEST_F(GuardTest, NotesOfTwoCapturesCarryTheirOwnWindowNumbers) {
    NewWindowDecision first = guard.OnNewWindow2();
    NewWindowDecision second = guard.OnNewWindow2();
    Finish(*second.capture);
    Finish(*first.capture);
    ASSERT_EQ(host.notes.size(), 4u);
    EXPECT_EQ(host.notes[2].step, DecisionNote::Step::Conclusion);
    EXPECT_EQ(host.notes[2].window, 2u);
    EXPECT_EQ(host.notes[3].window, 1u);
}

TEST_F(GuardTest, OneClickLetsExactlyOneWindowThrough) {
    guard.ClickTriggered = 1;
    guard.ClickTimerRunning = 1;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    EXPECT_EQ(guard.ClickTimerRunning, 0);
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Captured);
}

TEST_F(GuardTest, SourceOnlyWhiteRuleSeesNullnullAsThePopupAddress) {
    // A TO rule cannot match before the popup has an address; "nullnull" stands in.
    AddRule(PopupExact | White, "http://www.news.example/", "");
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Captured);
    AddRule(PopupExact | White, "null", "");
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
}

TEST_F(GuardTest, NoCaptureMeansTheBrowserOpensTheWindowUncounted) {
    host.failCaptures = true;
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::NotCaptured);
    EXPECT_TRUE(guard.Captures.empty());
    EXPECT_TRUE(host.statuses.empty());
}

TEST_F(GuardTest, StoppedPopupIsRecordedCountedLoggedAndFlashed) {
    bool cancelled = true;
    NewWindowDecision decision = CaptureAndFinish(L"http://ads.example/win.html", &cancelled);
    ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured);
    EXPECT_FALSE(cancelled);
    ASSERT_EQ(guard.Records.size(), 1u);
    const PopupRecord& record = *guard.Records[0];
    EXPECT_EQ(record.url, L"http://ads.example/win.html");
    EXPECT_EQ(record.sourceTitle, L"Today's news");
    EXPECT_EQ(record.sourceUrl, kPage);
    EXPECT_NE(record.stopped, 0);
    EXPECT_EQ(host.shown, std::vector<const PopupRecord*>{&record});
    EXPECT_EQ(guard.StoppedCount, 1);
    EXPECT_EQ(host.statuses.back(), "session statistics: 1 stopped popups");
    EXPECT_EQ(host.flashes, 1);
    EXPECT_EQ(LogLines(), 1u);
    EXPECT_TRUE(guard.Captures.empty());
    EXPECT_EQ(host.released.size(), 1u);
    EXPECT_TRUE(host.reopened.empty());
}

TEST_F(GuardTest, LoggingFollowsTheSettings) {
    struct Case {
        const char* label;
        std::int32_t level, logStopped, logRecorded, maxLogSize, flashAlert;
        std::size_t lines;
        int flashes;
    };
    const Case cases[] = {
        {"stopped, logged", 2, 1, 0, 10, 1, 1, 1},  {"stopped, not logged", 2, 0, 1, 10, 0, 0, 0},
        {"recorded, logged", 1, 0, 1, 10, 1, 1, 0}, {"recorded, not logged", 1, 1, 0, 10, 1, 0, 0},
        {"log size 0", 2, 1, 1, 0, 1, 0, 1},        {"negative log size", 2, 1, 1, -1, 1, 0, 1},
    };
    for (const Case& c : cases) {
        FakeHost host;
        testing::MemoryFileSystem files;
        Settings settings;
        settings.GuardLevel = c.level;
        settings.LogStopped = c.logStopped;
        settings.LogRecorded = c.logRecorded;
        settings.MaxLogSize = c.maxLogSize;
        settings.FlashAlert = c.flashAlert;
        RuleSet rules;
        Guard guard(host, settings, rules, files, kModule);
        NewWindowDecision decision = guard.OnNewWindow2();
        ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured) << c.label;
        guard.DecideCapturedNavigation(*decision.capture, L"http://ads.example/");
        guard.ConcludeCapture(*decision.capture, false);
        EXPECT_EQ(guard.Records.size(), 1u) << c.label;
        EXPECT_EQ(SplitLogLines(files.contents(kLog)).size(), c.lines) << c.label;
        EXPECT_EQ(host.flashes, c.flashes) << c.label;
    }
}

TEST_F(GuardTest, RecordOnlyRecordsWithoutCounting) {
    settings.GuardLevel = 1;
    CaptureAndFinish(L"http://ads.example/");
    ASSERT_EQ(guard.Records.size(), 1u);
    EXPECT_EQ(guard.Records[0]->stopped, 0);
    EXPECT_EQ(guard.StoppedCount, 0);
    EXPECT_EQ(host.statuses.back(), "session statistics: 0 stopped popups");
    EXPECT_EQ(host.flashes, 0);
}

TEST_F(GuardTest, RecordOnlyBlackListedPopupStaysEmptyUnrecordedUncounted) {
    settings.GuardLevel = 1;
    AddRule(PopupDomain | PopupExact, "ads.example", "");
    bool cancelled = false;
    CaptureAndFinish(L"http://www.ads.example/x", &cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(guard.Records.empty());
    EXPECT_EQ(guard.StoppedCount, 0);
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_TRUE(host.reopened.empty());
    EXPECT_EQ(guard.CaptureDecided, 0);
    EXPECT_TRUE(guard.Captures.empty());
}

TEST_F(GuardTest, WhiteListedPopupIsReopenedNotRecorded) {
    AddRule(PopupExact | White, "http://good.example/", "");
    bool cancelled = false;
    CaptureAndFinish(L"http://good.example/welcome", &cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(host.reopened, std::vector<std::wstring>{L"http://good.example/welcome"});
    EXPECT_TRUE(guard.Records.empty());
    EXPECT_EQ(guard.StoppedCount, 0);
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_TRUE(guard.AnchorHref.empty());
}

TEST_F(GuardTest, BlackListBeatsWhiteListWhenReopening) {
    AddRule(PopupExact | White, "http://both.example/", "");
    AddRule(PopupExact, "http://both.example/", "");
    CaptureAndFinish(L"http://both.example/");
    EXPECT_TRUE(host.reopened.empty());
    EXPECT_TRUE(guard.Records.empty());
}

TEST_F(GuardTest, LinksTheUserAskedForComeBackAsOrdinaryWindows) {
    struct Case {
        const char* label;
        const wchar_t* anchor;
        const wchar_t* popup;
        bool reopened;
    };
    const Case cases[] = {
        {"same address", L"http://a.example/p", L"http://a.example/p", true},
        {"script link, any capitals", L" \t JaVaScRiPt:go()", L"http://b.example/", true},
        {"different address", L"http://a.example/p", L"http://a.example/q", false},
        {"case differs", L"http://a.example/P", L"http://a.example/p", false},
        {"no link", L"", L"http://a.example/p", false},
    };
    for (const Case& c : cases) {
        FakeHost host;
        Settings settings;
        RuleSet rules;
        Guard guard(host, settings, rules, files, kModule);
        NewWindowDecision decision = guard.OnNewWindow2();
        ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured) << c.label;
        guard.AnchorHref = c.anchor;
        bool cancelled = guard.DecideCapturedNavigation(*decision.capture, c.popup);
        EXPECT_EQ(cancelled, c.reopened) << c.label;
        Guard::CaptureVerdict verdict = guard.TakeCaptureVerdict();
        EXPECT_EQ(verdict.userWanted, c.reopened) << c.label;
        if (verdict.userWanted) decision.capture->record().url = verdict.addressToOpen;
        guard.ConcludeCapture(*decision.capture, verdict.userWanted);
        EXPECT_EQ(host.reopened.size(), c.reopened ? 1u : 0u) << c.label;
        if (c.reopened) {
            EXPECT_EQ(host.reopened[0], c.anchor) << c.label;
        }
        EXPECT_EQ(guard.Records.size(), c.reopened ? 0u : 1u) << c.label;
    }
}

TEST_F(GuardTest, LevelSwitchedDuringACaptureDecidesWithTheOldLevel) {
    NewWindowDecision decision = guard.OnNewWindow2();
    ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured);
    settings.GuardLevel = 1;
    guard.AnchorHref = L"http://x.example/";
    // Still level 2 for this capture: the user's link is honoured.
    EXPECT_TRUE(guard.DecideCapturedNavigation(*decision.capture, L"http://x.example/"));
    guard.CaptureDecided = 0;
    guard.ConcludeCapture(*decision.capture, false);
    ASSERT_EQ(guard.Records.size(), 1u);
    EXPECT_NE(guard.Records[0]->stopped, 0);
    EXPECT_EQ(guard.StoppedCount, 0);
}

TEST_F(GuardTest, TwoCapturesOneDecided) {
    AddRule(PopupExact | White, "http://good.example/", "");
    NewWindowDecision first = guard.OnNewWindow2();
    NewWindowDecision second = guard.OnNewWindow2();
    ASSERT_EQ(guard.Captures.size(), 2u);
    EXPECT_TRUE(guard.DecideCapturedNavigation(*first.capture, L"http://good.example/"));
    // While the band's one flag is set, other captures pass undecided and untouched.
    EXPECT_FALSE(guard.DecideCapturedNavigation(*second.capture, L"http://good.example/too"));
    EXPECT_EQ(second.capture->record().url, L"");
    // Whichever finishes first takes the decision.
    Finish(*second.capture);
    EXPECT_EQ(host.reopened, std::vector<std::wstring>{L"http://good.example/"});
    Finish(*first.capture);
    EXPECT_EQ(guard.Records.size(), 1u);
    EXPECT_TRUE(guard.Captures.empty());
}

TEST_F(GuardTest, OwnNavigationResetsTheClickAndCaptureState) {
    guard.ClickTriggered = 1;
    guard.ClickTimerRunning = 1;
    guard.CaptureDecided = 1;
    guard.AnchorHref = L"http://a.example/";
    guard.OnBeforeNavigate2();
    EXPECT_EQ(host.visibilityChecks, 1);
    EXPECT_EQ(guard.ClickTriggered, 0);
    EXPECT_EQ(guard.ClickTimerRunning, 0);
    EXPECT_EQ(guard.CaptureDecided, 0);
    EXPECT_TRUE(guard.AnchorHref.empty());
    EXPECT_EQ(host.clickTimerKills, 1);
}

TEST_F(GuardTest, ConclusionAfterTheBandLetGoKeepsTheRecordOnly) {
    NewWindowDecision decision = guard.OnNewWindow2();
    Capture* capture = decision.capture;
    guard.Captures.clear();
    guard.ConcludeCapture(*capture, false);
    EXPECT_EQ(guard.Records.size(), 1u);
    EXPECT_EQ(guard.StoppedCount, 0);
    EXPECT_TRUE(host.released.empty());
}

TEST_F(GuardTest, DestroyingTheBandReleasesEveryCapture) {
    auto local = std::make_unique<Guard>(host, settings, rules, files, kModule);
    local->OnNewWindow2();
    local->OnNewWindow2();
    EXPECT_TRUE(host.released.empty());
    local.reset();
    EXPECT_EQ(host.released.size(), 2u);
}

TEST_F(GuardTest, BeyondTheLiveCaptureBoundANewPopupIsCancelledAndNotedSo) {
    for (std::size_t i = 0; i < kMaxLiveCaptures; ++i) {
        ASSERT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Captured) << "capture " << i + 1;
    }
    ASSERT_EQ(guard.Captures.size(), kMaxLiveCaptures);
    NewWindowDecision flood = guard.OnNewWindow2();
    EXPECT_EQ(flood.outcome, NewWindowOutcome::Cancelled);
    EXPECT_EQ(flood.capture, nullptr);
    EXPECT_EQ(host.captures.size(), kMaxLiveCaptures) << "no browser made for it";
    ASSERT_FALSE(host.notes.empty());
    EXPECT_EQ(host.notes.back().because, DecisionNote::Because::CaptureLimit);
    EXPECT_EQ(host.notes.back().outcome, NewWindowOutcome::Cancelled);
    EXPECT_EQ(guard.StoppedCount, 0);
    EXPECT_TRUE(host.statuses.empty());

    // One concludes: there is room for the next again.
    Capture& first = *guard.Captures.front();
    guard.DecideCapturedNavigation(first, L"http://ads.example.org/1.html");
    Finish(first);
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Captured);
}

TEST_F(GuardTest, TheListKeepsTheNewestRecordsAndTheLogEveryOne) {
    settings.MaxLogSize = 63;
    auto popup = [this](std::size_t n) {
        std::wstring url = L"http://ads.example.org/" + std::to_wstring(n) + L".html";
        ASSERT_EQ(CaptureAndFinish(url.c_str()).outcome, NewWindowOutcome::Captured);
    };
    for (std::size_t n = 1; n <= kMaxRecords; ++n) popup(n);
    EXPECT_EQ(guard.Records.size(), kMaxRecords);
    EXPECT_TRUE(host.removed.empty()) << "at the bound nothing goes";

    const PopupRecord* oldest = guard.Records.front().get();
    popup(kMaxRecords + 1);
    ASSERT_EQ(host.removed.size(), 1u);
    EXPECT_EQ(host.removed[0], oldest) << "the oldest row goes, while its record lives";
    ASSERT_EQ(guard.Records.size(), kMaxRecords);
    EXPECT_EQ(guard.Records.front()->url, L"http://ads.example.org/2.html");
    EXPECT_EQ(guard.Records.back()->url,
              L"http://ads.example.org/" + std::to_wstring(kMaxRecords + 1) + L".html");
    EXPECT_EQ(LogLines(), kMaxRecords + 1);
    EXPECT_EQ(guard.StoppedCount, static_cast<std::int32_t>(kMaxRecords + 1));
}

TEST_F(GuardTest, ARecordKeepsPageTextsOnlyAsLongAsTheListShowsThem) {
    settings.MaxLogSize = 63;
    const std::wstring longAddress = L"http://ads.example.org/?" + std::wstring(100000, L'q');
    NewWindowDecision decision = guard.OnNewWindow2();
    ASSERT_EQ(decision.outcome, NewWindowOutcome::Captured);
    PopupRecord& loading = decision.capture->record();
    loading.title = std::wstring(100000, L't');
    loading.sourceTitle = std::wstring(100000, L's');
    loading.sourceUrl = longAddress;
    loading.targetName = std::wstring(100000, L'n');
    guard.DecideCapturedNavigation(*decision.capture, longAddress);
    Finish(*decision.capture);

    ASSERT_EQ(guard.Records.size(), 1u);
    const PopupRecord& kept = *guard.Records[0];
    EXPECT_EQ(kept.url, longAddress.substr(0, kMaxRecordAddress));
    EXPECT_EQ(kept.sourceUrl, longAddress.substr(0, kMaxRecordAddress));
    EXPECT_EQ(kept.title, std::wstring(kMaxRecordText, L't'));
    EXPECT_EQ(kept.sourceTitle, std::wstring(kMaxRecordText, L's'));
    EXPECT_EQ(kept.targetName, std::wstring(kMaxRecordText, L'n'));
    std::vector<std::string> lines = SplitLogLines(files.contents(kLog));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LT(lines[0].size(), 2 * kMaxRecordAddress + 3 * kMaxRecordText + 100);
    EXPECT_EQ(host.notes.back().url, kept.url);
}

TEST_F(GuardTest, EndingTheCapturesConcludesEachAndLeavesNoneListed) {
    for (int i = 0; i < 3; ++i) guard.OnNewWindow2();
    ASSERT_EQ(host.captures.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        host.captures[i]->onEnd = [this](FakeCapture& capture) {
            capture.timedOut = 1;
            Finish(capture);
        };
    }
    // The third was finishing already when the bar closed: it does not conclude again.
    guard.EndCaptures();

    EXPECT_TRUE(guard.Captures.empty());
    for (const auto& capture : host.captures) EXPECT_EQ(capture->ends, 1);
    EXPECT_EQ(host.released.size(), 3u) << "each reference of the list given back once";
    EXPECT_EQ(guard.Records.size(), 2u) << "recorded as the time limit records them";
    EXPECT_EQ(guard.StoppedCount, 2);
    int timeLimits = 0;
    for (const SeenNote& note : host.notes) {
        if (note.step == DecisionNote::Step::Conclusion && note.timeLimit) ++timeLimits;
    }
    EXPECT_EQ(timeLimits, 2);
}

}  // namespace
}  // namespace qm
