// The wizards' window-free decisions: the wait for closing browsers and the
// frame's rearranged buttons.

#include <gtest/gtest.h>

#include "setup/browser_close_countdown.h"
#include "wizard/wizard_buttons.h"

namespace qm {
namespace {

// Ticks until a result other than KeepWaiting, for a browser that is gone
// from tick `closesAt` on (0 = never).
std::pair<int, BrowserWait> WaitFor(int closesAt) {
    BrowserCloseCountdown countdown;
    countdown.start();
    for (int tick = 1; tick <= 20; ++tick) {
        BrowserWait wait = countdown.tick(closesAt == 0 || tick < closesAt);
        if (wait != BrowserWait::KeepWaiting) return {tick, wait};
    }
    return {0, BrowserWait::KeepWaiting};
}

TEST(BrowserCloseCountdown, WaitsAtMostSixTicks) {
    EXPECT_EQ(WaitFor(1), std::make_pair(1, BrowserWait::AllClosed));
    EXPECT_EQ(WaitFor(4), std::make_pair(4, BrowserWait::AllClosed));
    EXPECT_EQ(WaitFor(6), std::make_pair(6, BrowserWait::AllClosed));
    EXPECT_EQ(WaitFor(7), std::make_pair(6, BrowserWait::GiveUp));
    EXPECT_EQ(WaitFor(0), std::make_pair(6, BrowserWait::GiveUp));
}

TEST(BrowserCloseCountdown, StartsAfreshWhenAskedAgain) {
    BrowserCloseCountdown countdown;
    countdown.start();
    for (int i = 0; i < 5; ++i) countdown.tick(true);
    countdown.start();
    EXPECT_EQ(countdown.tick(true), BrowserWait::KeepWaiting);
}

bool Overlap(const ButtonRect& a, const ButtonRect& b) {
    return a.left < b.right && b.left < a.right;
}

ButtonRect Find(const ButtonChange (&table)[4], int id, const ButtonRect& rect) {
    for (const ButtonChange& change : table) {
        if (change.id == id) return Changed(rect, change);
    }
    return rect;
}

// The frame as Wine lays it out: Back and Next side by side, Finish over
// Next, Cancel after a gap; each 75 pixels wide.
const ButtonRect kBack{163, 300, 238, 323};
const ButtonRect kNext{238, 300, 313, 323};
const ButtonRect kFinish{238, 300, 313, 323};
const ButtonRect kCancel{321, 300, 396, 323};

TEST(WizardButtons, WiderButtonsDoNotOverlapTheirNeighbours) {
    for (const auto* table : {&kInstallerFrameButtons, &kUninstallerFrameButtons}) {
        ButtonRect back = Find(*table, kBackButton, kBack);
        ButtonRect next = Find(*table, kNextButton, kNext);
        ButtonRect finish = Find(*table, kFinishButton, kFinish);
        ButtonRect cancel = Find(*table, kCancelButton, kCancel);
        EXPECT_EQ(cancel.right, kCancel.right) << "Cancel keeps its right edge";
        EXPECT_EQ(cancel.right - cancel.left, 95) << "and grows by 20 pixels";
        EXPECT_FALSE(Overlap(back, next));
        EXPECT_FALSE(Overlap(next, cancel));
        EXPECT_FALSE(Overlap(finish, cancel));
        EXPECT_EQ(next.top, kNext.top);
    }
    ButtonRect yes = Find(kUninstallerFrameButtons, kNextButton, kNext);
    EXPECT_EQ(yes.right - yes.left, 95) << "\"Yes, Continue\" grows by 20 pixels too";
}

TEST(WizardButtons, TheConfirmationPageGivesBackTheOldWidth) {
    ButtonRect wide = Changed(kBack, kMakeChangesButton);
    EXPECT_EQ(wide.left, kBack.left - 30);
    EXPECT_EQ(wide.right, kBack.right);
    ButtonRect again = Restored(wide, kMakeChangesButton);
    EXPECT_EQ(again.left, kBack.left);
    EXPECT_EQ(again.right, kBack.right);
    for (const ButtonChange& change : kUninstallerFrameButtons) {
        ButtonRect back = Restored(Changed(kNext, change), change);
        EXPECT_EQ(back.left, kNext.left);
        EXPECT_EQ(back.right, kNext.right);
    }
}

}  // namespace
}  // namespace qm
