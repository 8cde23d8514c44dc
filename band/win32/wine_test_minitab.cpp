// The minitab in a frame of the browser's sizes, driven by messages: tabs,
// the four small buttons and the logo, hints and status, the alert flash,
// the bar button.

#include <windows.h>

#include <gtest/gtest.h>

#include "band/win32/face_painting.h"
#include "band/resources/face_ids.h"
#include "band/win32/testing/face_harness.h"

namespace qm::band {
namespace {

using testing::FaceHarness;
using testing::PixelOf;
using testing::Pump;
using testing::PumpUntil;
using testing::StoredSetting;
using testing::TextOf;

constexpr int kWidth = 760;

class MinitabTest : public ::testing::Test {
protected:
    void SetUp() override { testing::DeleteSettingsKey(); }
    void TearDown() override { testing::DeleteSettingsKey(); }

    // A spot of the minitab's own background, between the caption and the
    // on/off button.
    static COLORREF Background(FaceHarness& harness) {
        RECT client;
        GetClientRect(harness.Minitab(), &client);
        return PixelOf(harness.Minitab(), client.right - 179, client.bottom - 8);
    }
    static bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }
};

TEST_F(MinitabTest, TabsSwitchPagesMinimiseAndMaximise) {
    FaceHarness harness(kWidth);
    HWND popupTab = harness.Control(IDC_TAB_POPUP_WINDOWS);
    HWND preferencesTab = harness.Control(IDC_TAB_PREFERENCES);
    ASSERT_TRUE(popupTab && preferencesTab);
    HWND popupPage = GetParent(harness.PageControl(IDC_POPUP_LIST));
    HWND preferencesPage = GetParent(harness.PageControl(IDC_GUARD_LEVEL));
    auto pageShown = [&](HWND page) { return Visible(page) && IsWindowEnabled(page); };
    EXPECT_TRUE(pageShown(popupPage));
    EXPECT_FALSE(pageShown(preferencesPage));

    // Another page of the maximised band: just shown.
    harness.Click(preferencesTab);
    EXPECT_TRUE(pageShown(preferencesPage));
    EXPECT_FALSE(pageShown(popupPage));
    EXPECT_EQ(harness.host.settings.BandVisibility, 1);
    testing::SaveScreenshot("band_maximised_preferences", harness.frame);

    // The selected tab minimises the band, keeps the page and saves at once.
    harness.Click(preferencesTab);
    EXPECT_EQ(harness.host.settings.BandVisibility, 0);
    EXPECT_EQ(StoredSetting("BandVisibility"), 0u);
    RECT band;
    GetClientRect(harness.band, &band);
    EXPECT_EQ(band.bottom, testing::kMinimisedHeight);
    testing::SaveScreenshot("band_minimised", harness.frame);

    // Any tab of the minimised band maximises it on that page.
    harness.Click(popupTab);
    EXPECT_EQ(harness.host.settings.BandVisibility, 1);
    EXPECT_EQ(StoredSetting("BandVisibility"), 1u);
    EXPECT_TRUE(pageShown(popupPage));
    EXPECT_FALSE(pageShown(preferencesPage));
}

TEST_F(MinitabTest, CommandsCountOnlyWhileThePointerIsOverTheMinitab) {
    FaceHarness harness(kWidth);
    RECT minitab;
    GetWindowRect(harness.Minitab(), &minitab);
    const struct {
        int id;
    } buttons[] = {{IDC_TAB_PREFERENCES}, {SIZE_BTTN}, {EXIT_BTTN}, {ON_BTTN}, {LOGO_BTTN}};
    for (const auto& b : buttons) {
        testing::MovePointer(minitab.left + 5, minitab.bottom + 30);
        SendMessageA(harness.Control(b.id), BM_CLICK, 0, 0);
        Pump(10);
    }
    EXPECT_EQ(harness.host.settings.BandVisibility, 1);
    EXPECT_EQ(harness.host.settings.GuardLevel, 2);
    EXPECT_EQ(harness.host.hideBarCalls, 0);
    EXPECT_TRUE(harness.host.opened.empty());

    // The bottom right corner of the window still counts.
    testing::MovePointer(minitab.right, minitab.bottom);
    SendMessageA(harness.Control(EXIT_BTTN), BM_CLICK, 0, 0);
    EXPECT_EQ(harness.host.hideBarCalls, 1);
}

TEST_F(MinitabTest, OnOffAlternatesBetweenFullProtectionAndRecordOnly) {
    testing::StoreSetting("GuardLevel", 0);
    FaceHarness harness(kWidth);
    ASSERT_EQ(harness.host.settings.GuardLevel, 0);
    HWND levels = harness.PageControl(IDC_GUARD_LEVEL);
    EXPECT_EQ(SendMessageA(levels, CB_GETCURSEL, 0, 0), 0);
    const int expected[] = {2, 1, 2, 1};
    for (int level : expected) {
        harness.Click(harness.Control(ON_BTTN));
        EXPECT_EQ(harness.host.settings.GuardLevel, level);
        EXPECT_EQ(StoredSetting("GuardLevel"), static_cast<DWORD>(level));
        EXPECT_EQ(SendMessageA(levels, CB_GETCURSEL, 0, 0), level);
    }
}

TEST_F(MinitabTest, TwoFlashesEndWithTheNormalBackgroundAndAVisibleCaption) {
    FaceHarness harness(kWidth);
    HWND caption = harness.Control(CAPTION_ID);
    const COLORREF normal = GetSysColor(COLOR_BTNFACE);
    ASSERT_TRUE(Visible(caption));
    ASSERT_EQ(Background(harness), normal);

    harness.face.StartFlash();
    ASSERT_TRUE(PumpUntil([&] { return !Visible(caption); }, 1000));
    Pump(20);
    EXPECT_EQ(Background(harness), kFlashColour);
    // Hold the blink still for its picture, then let it run on.
    KillTimer(harness.Minitab(), ALERT_FLASH);
    testing::SaveScreenshot("band_flash", harness.frame);
    harness.face.StartFlash();
    Pump(300);
    harness.face.StartFlash();
    // Eight toggles from the second start take 0.9 s; allow for a slow machine.
    bool blinkedAfterRestart = false;
    PumpUntil(
        [&] {
            if (!Visible(caption)) blinkedAfterRestart = true;
            return false;
        },
        400);
    EXPECT_TRUE(blinkedAfterRestart);
    // Between two toggles the band looks normal too: the blinking is over
    // only when it stays normal for longer than two toggles.
    DWORD normalSince = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (!Visible(caption) || Background(harness) != normal) {
                normalSince = 0;
                return false;
            }
            if (!normalSince) normalSince = GetTickCount();
            return GetTickCount() - normalSince >= 300;
        },
        4000));
    Pump(400);
    EXPECT_TRUE(Visible(caption));
    EXPECT_EQ(Background(harness), normal);
}

TEST_F(MinitabTest, HintGivesWayToTheStatusWhichComesBackTwoSecondsAfterTheLastHint) {
    FaceHarness harness(kWidth);
    HWND caption = harness.Control(CAPTION_ID);
    SendMessageA(harness.Control(EXIT_BTTN), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(TextOf(caption), "Exit Quellmark.");

    harness.host.status = "session statistics: 3 stopped popups";
    harness.face.ShowStatus(harness.host.status);
    EXPECT_EQ(TextOf(caption), "session statistics: 3 stopped popups");

    SendMessageA(harness.Control(HELP_BTTN), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    const DWORD lastHint = GetTickCount();
    EXPECT_EQ(TextOf(caption), "Opens the Quellmark online documentation in a new window.");
    Pump(1000);
    EXPECT_EQ(TextOf(caption), "Opens the Quellmark online documentation in a new window.");
    ASSERT_TRUE(PumpUntil([&] { return TextOf(caption) == harness.host.status; }, 4000));
    const DWORD after = GetTickCount() - lastHint;
    EXPECT_GE(after, 1500u);
    EXPECT_LE(after, 4500u);
}

TEST_F(MinitabTest, HintTextsOfTheImageButtons) {
    FaceHarness harness(kWidth);
    const struct {
        int id;
        const char* hint;
    } cases[] = {
        {LOGO_BTTN,
         "Opens the Marrow Labs home page (http://www.marrowlabs.example/) in a new "
         "window."},
        {EXIT_BTTN, "Exit Quellmark."},
        {HELP_BTTN, "Opens the Quellmark online documentation in a new window."},
        {SIZE_BTTN, "Minimize / Maximize the Quellmark dialog."},
        {ON_BTTN, "Quick button for turning Quellmark popup blocking on/off."},
    };
    for (const auto& c : cases) {
        SendMessageA(harness.Control(c.id), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(TextOf(harness.Control(CAPTION_ID)), c.hint) << c.id;
    }
}

TEST_F(MinitabTest, LogoExitHelpAndSizeAskTheBand) {
    FaceHarness harness(kWidth);
    harness.Click(harness.Control(LOGO_BTTN));
    ASSERT_EQ(harness.host.opened.size(), 1u);
    EXPECT_EQ(harness.host.opened[0].url, L"http://www.marrowlabs.example/");
    EXPECT_EQ(harness.host.opened[0].targetName, L"");

    harness.Click(harness.Control(HELP_BTTN));
    ASSERT_EQ(harness.host.shellOpened.size(), 1u);
    EXPECT_EQ(harness.host.shellOpened[0], "C:\\Program Files\\Quellmark\\qmhelp.chm");

    harness.Click(harness.Control(EXIT_BTTN));
    EXPECT_EQ(harness.host.hideBarCalls, 1);

    harness.Click(harness.Control(SIZE_BTTN));
    EXPECT_EQ(harness.host.settings.BandVisibility, 0);
    EXPECT_EQ(StoredSetting("BandVisibility"), 0u);
    harness.Click(harness.Control(SIZE_BTTN));
    EXPECT_EQ(harness.host.settings.BandVisibility, 1);
    EXPECT_EQ(StoredSetting("BandVisibility"), 1u);
}

TEST_F(MinitabTest, LayoutFollowsTheBandWindow) {
    FaceHarness harness(kWidth);
    auto placeOf = [&](int id) {
        RECT r;
        GetWindowRect(harness.Control(id), &r);
        MapWindowPoints(nullptr, harness.Minitab(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const struct {
        int id;
        RECT place;
    } maximised[] = {
        {LOGO_BTTN, {658, 2, 758, 102}},
        {EXIT_BTTN, {642, 90, 656, 102}},
        {HELP_BTTN, {626, 90, 640, 102}},
        {SIZE_BTTN, {610, 90, 624, 102}},
        {ON_BTTN, {584, 90, 598, 102}},
        {CAPTION_ID, {270, 88, 578, 102}},
        {IDC_TAB_POPUP_WINDOWS, {6, 87, 122, 102}},
        {IDC_TAB_TOOLS, {113, 87, 169, 102}},
        {IDC_TAB_PREFERENCES, {160, 87, 259, 102}},
    };
    for (const auto& c : maximised) {
        RECT r = placeOf(c.id);
        EXPECT_TRUE(EqualRect(&r, &c.place))
            << c.id << ": " << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    }
    EXPECT_TRUE(IsWindowVisible(harness.Control(CAPTION_ID)));

    // Too narrow for the caption: it is hidden, not drawn with a negative width.
    harness.ResizeBand(440, testing::kMaximisedHeight);
    EXPECT_FALSE(IsWindowVisible(harness.Control(CAPTION_ID)));
    harness.ResizeBand(kWidth, testing::kMaximisedHeight);
    EXPECT_TRUE(IsWindowVisible(harness.Control(CAPTION_ID)));
}

TEST_F(MinitabTest, LinkCursorOverButtonsAndTabs) {
    FaceHarness harness(kWidth);
    HCURSOR link = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    ASSERT_TRUE(link);
    for (int id : {LOGO_BTTN, EXIT_BTTN, HELP_BTTN, SIZE_BTTN, ON_BTTN, IDC_TAB_POPUP_WINDOWS,
                   IDC_TAB_TOOLS, IDC_TAB_PREFERENCES}) {
        HWND control = harness.Control(id);
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        EXPECT_TRUE(SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
            << id;
        EXPECT_EQ(GetCursor(), link) << id;
    }
}

TEST_F(MinitabTest, BarButtonCoversTheToolbarOpensAboutAndLeavesWithTheBand) {
    FaceHarness harness(kWidth);
    const LONG_PTR frameProcedure = GetClassLongPtrA(harness.frame, GCLP_WNDPROC);
    HWND bar = GetDlgItem(harness.frame, BAR_BUTTON);
    ASSERT_TRUE(bar);
    RECT toolbar, button;
    GetWindowRect(harness.toolbar, &toolbar);
    GetWindowRect(bar, &button);
    EXPECT_TRUE(EqualRect(&toolbar, &button));
    EXPECT_TRUE(IsWindowVisible(bar));

    bool aboutShown = false;
    testing::WhenDialogOpens("About Quellmark v1.01", [&](HWND dialog) {
        aboutShown = true;
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(bar, BM_CLICK, 0, 0);
    EXPECT_TRUE(aboutShown);
    EXPECT_FALSE(testing::DialogWasForcedClosed());
    EXPECT_TRUE(harness.host.opened.empty());

    HCURSOR link = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    SendMessageA(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), link);

    // The band window goes (the bar is closed): the frame is the browser's
    // again, without our button.
    EXPECT_NE(GetWindowLongPtrA(harness.frame, GWLP_WNDPROC), frameProcedure);
    DestroyWindow(harness.band);
    EXPECT_EQ(GetWindowLongPtrA(harness.frame, GWLP_WNDPROC), frameProcedure);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(GetDlgItem(harness.frame, BAR_BUTTON), nullptr);
}

}  // namespace
}  // namespace qm::band
