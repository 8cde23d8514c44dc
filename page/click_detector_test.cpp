#include "page/click_detector.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/testing/memory_file_system.h"
#include "common/text.h"
#include "page/element_tags.h"
#include "page/testing/simulated_timers.h"

namespace qm {
namespace {

class StubCapture : public Capture {
public:
    PopupRecord& record() override { return record_; }
    std::int32_t captureLevel() const override { return 2; }
    void release() override { released = true; }
    void endNow() override {}
    bool released = false;

private:
    PopupRecord record_;
};

// The band around the click detector: its window's timers on a simulated
// clock, a visible bar, captures that always succeed.
class Band : public GuardHost {
public:
    bool IsBandWindowVisible() override { return true; }
    bool IsCtrlHeld() override { return false; }
    std::wstring PageAddress() override { return L"http://www.example.com/"; }
    std::wstring LocationName() override { return L"Example"; }
    std::wstring LocationUrl() override { return L"http://www.example.com/"; }
    void KillClickTimer() override { timers.KillTimer(IDT_CLICKWINDOW); }
    Capture* CreateCapture(std::int32_t) override {
        captures.push_back(std::make_unique<StubCapture>());
        return captures.back().get();
    }
    void OpenInNewWindow(const PopupRecord&) override {}
    void AddRecord(const PopupRecord&) override {}
    void RemoveRecord(const PopupRecord&) override {}
    void ShowStatus(const std::string&) override {}
    void StartFlash() override {}
    void CheckVisible() override {}
    void Decided(const DecisionNote&) override {}

    testing::SimulatedTimers timers;
    std::vector<std::unique_ptr<StubCapture>> captures;
};

class ClickDetectorTest : public ::testing::Test {
protected:
    ClickDetectorTest() {
        band.timers.onTick = [this](std::uint32_t id) {
            ASSERT_EQ(id, IDT_CLICKWINDOW);
            clicks.ClickWindowExpired();
        };
    }

    // Press, release on the same element, click: what a real click delivers.
    void RealClick() {
        if (clicks.MouseDown() && clicks.TracksReleases()) clicks.MouseUp(true);
        clicks.Click();
    }
    void ExpectState(std::int32_t triggered, std::int32_t running) {
        EXPECT_EQ(guard.ClickTriggered, triggered);
        EXPECT_EQ(guard.ClickTimerRunning, running);
    }

    Band band;
    Settings settings;
    RuleSet rules;
    testing::MemoryFileSystem files;
    Guard guard{band, settings, rules, files, "C:\\qm\\quellmark.dll"};
    ClickDetector clicks{guard, settings, band.timers};
};

TEST_F(ClickDetectorTest, ARealClickOpensAWindowOf600Ms) {
    EXPECT_TRUE(clicks.MouseDown());
    ExpectState(0, 0);
    clicks.MouseUp(true);
    ExpectState(1, 0);
    clicks.Click();
    ExpectState(1, 1);
    ASSERT_EQ(band.timers.starts.size(), 1u);
    EXPECT_EQ(band.timers.starts[0].id, 108u);
    EXPECT_EQ(band.timers.starts[0].intervalMs, 600u);
    band.timers.Advance(599);
    ExpectState(1, 1);
    band.timers.Advance(1);
    ExpectState(0, 0);
    EXPECT_FALSE(band.timers.Running(IDT_CLICKWINDOW)) << "one-shot in effect";
    band.timers.Advance(5000);
    EXPECT_EQ(band.timers.ticks[IDT_CLICKWINDOW], 1);
}

TEST_F(ClickDetectorTest, ASecondClickDoesNotLengthenTheWindow) {
    RealClick();
    band.timers.Advance(400);
    RealClick();
    ExpectState(1, 1);
    EXPECT_EQ(band.timers.starts.size(), 1u);
    band.timers.Advance(199);
    ExpectState(1, 1);
    band.timers.Advance(1);
    ExpectState(0, 0);
    EXPECT_EQ(band.timers.Now(), 600u);
}

TEST_F(ClickDetectorTest, ReleasesThatAreNoClick) {
    struct Case {
        const char* label;
        void (*act)(ClickDetector&);
        std::int32_t triggered, running;
    };
    const Case cases[] = {
        {"drag: press on one element, release on another",
         [](ClickDetector& c) {
             c.MouseDown();
             c.MouseUp(false);
         },
         0, 0},
        {"click window open, then a drag loses the click but keeps the window",
         [](ClickDetector& c) {
             c.MouseDown();
             c.MouseUp(true);
             c.Click();
             c.MouseDown();
             c.MouseUp(false);
         },
         0, 1},
        {"released without click event: clicked, window not yet open",
         [](ClickDetector& c) {
             c.MouseDown();
             c.MouseUp(true);
         },
         1, 0},
        {"a click event without a release opens the window but is no click",
         [](ClickDetector& c) { c.Click(); }, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        guard.CloseClickWindow();
        c.act(clicks);
        ExpectState(c.triggered, c.running);
    }
}

TEST_F(ClickDetectorTest, BlockAllTracksNoPress) {
    settings.CompleteBlock = 1;
    EXPECT_FALSE(clicks.MouseDown());
    EXPECT_FALSE(clicks.TracksReleases());
    RealClick();
    EXPECT_EQ(guard.ClickTriggered, 0);
    EXPECT_EQ(guard.ClickTimerRunning, 1) << "the click event does not look at the setting";
}

TEST_F(ClickDetectorTest, OneClickLetsExactlyOneWindowThrough) {
    RealClick();
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Allowed);
    ExpectState(0, 0);
    EXPECT_FALSE(band.timers.Running(IDT_CLICKWINDOW));
    EXPECT_EQ(guard.OnNewWindow2().outcome, NewWindowOutcome::Captured);
}

TEST_F(ClickDetectorTest, ContextMenuKeepsTheLinkAndClosesTheWindow) {
    const std::wstring href = L"http://www.example.com/next.html";
    RealClick();
    clicks.MouseDown();
    clicks.ContextMenu(&href);
    EXPECT_EQ(guard.AnchorHref, href);
    ExpectState(0, 0);

    clicks.MouseDown();
    EXPECT_EQ(guard.AnchorHref, L"") << "a press forgets the link";
    clicks.ContextMenu(nullptr);
    EXPECT_EQ(guard.AnchorHref, L"");

    // While a capture is decided, its link survives presses; only a new link replaces it.
    guard.AnchorHref = href;
    guard.CaptureDecided = 1;
    clicks.MouseDown();
    clicks.ContextMenu(nullptr);
    EXPECT_EQ(guard.AnchorHref, href);
    const std::wstring other = L"http://www.example.com/other.html";
    clicks.MouseDown();
    clicks.ContextMenu(&other);
    EXPECT_EQ(guard.AnchorHref, other);
}

TEST_F(ClickDetectorTest, PointerOverPlugIns) {
    struct Case {
        std::int32_t allowFlashScripts;
        const wchar_t* over;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1, L"EMBED", 1}, {1, L"APPLET", 1}, {1, L"OBJECT", 1}, {1, L"CONTROL", 1},
        {1, L"P", 0},     {1, L"", 0},       {1, L"embed", 0},  {0, L"EMBED", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "AllowFlashScripts " << c.allowFlashScripts);
        settings.AllowFlashScripts = c.allowFlashScripts;
        guard.OverPluginObject = 0;
        clicks.MouseOver(c.over);
        EXPECT_EQ(guard.OverPluginObject, c.expected);
    }

    settings.AllowFlashScripts = 1;
    clicks.MouseOver(L"EMBED");
    clicks.MouseOut();
    EXPECT_EQ(guard.OverPluginObject, 0);
    clicks.MouseOver(L"EMBED");
    clicks.MouseOver(L"P");
    EXPECT_EQ(guard.OverPluginObject, 0);
    clicks.MouseOver(L"EMBED");
    settings.AllowFlashScripts = 0;
    clicks.MouseOver(L"P");
    EXPECT_EQ(guard.OverPluginObject, 1) << "switched off: over-events change nothing";
    clicks.MouseOut();
    EXPECT_EQ(guard.OverPluginObject, 0) << "out-events always clear it";
}

// A tiny element tree for the context-menu walk.
struct Node {
    const wchar_t* tag;
    const Node* parent;
};

TEST(EnclosingLink, WalksUpToTheNearestLinkButNotPastTheBody) {
    const Node html{L"HTML", nullptr};
    const Node body{L"BODY", &html};
    const Node link{L"A", &body};
    const Node image{L"IMG", &link};
    const Node bold{L"B", &link};
    const Node italic{L"I", &bold};
    const Node paragraph{L"P", &body};
    const Node loose{L"SPAN", nullptr};
    const Node lower{L"a", &body};
    const Node unreadable{L"", &link};
    const Node outside{L"A", nullptr};
    const Node bodyInLink{L"BODY", &outside};
    const Node aboveBody{L"DIV", &bodyInLink};

    struct Case {
        const Node* start;
        const Node* link;  // null: no link
    };
    const Case cases[] = {
        {&image, &link},       {&italic, &link},     {&link, &link},
        {&paragraph, nullptr}, {&body, nullptr},     {&loose, nullptr},
        {&lower, &lower},      {&unreadable, &link}, {&aboveBody, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToAnsi(c.start->tag));
        const Node* element = c.start;
        bool found = WalkToEnclosingLink(
            element, c.start->tag, [](const Node* n) { return std::wstring(n->tag); },
            [](const Node* n) { return n->parent; });
        EXPECT_EQ(found, c.link != nullptr);
        if (c.link) {
            EXPECT_EQ(element, c.link);
        }
    }
}

}  // namespace
}  // namespace qm
