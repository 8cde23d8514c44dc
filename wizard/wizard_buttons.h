#pragma once
// The changes both wizards make to the buttons of their frame: new texts,
// buttons widened to the left and buttons moved left to make room.

namespace qm {

// Button ids of a wizard frame.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr int kCancelButton = 2;

struct ButtonRect {
    int left, top, right, bottom;
};

struct ButtonChange {
    int id;
    const char* text;  // null keeps the button's text
    int widenLeft;     // pixels added at the left edge
    int moveLeft;      // pixels the whole button moves left
};

// Installer: "Exit Installation" gets 20 more pixels; the others make room.
extern const ButtonChange kInstallerFrameButtons[4];
// Uninstaller: "Yes, Continue" and "Exit Installation" both grow by 20 pixels.
extern const ButtonChange kUninstallerFrameButtons[4];
// The confirmation page's "< Make Changes" button, widened while the page shows.
constexpr ButtonChange kMakeChangesButton = {kBackButton, "< Make Changes", 30, 0};

ButtonRect Changed(const ButtonRect& rect, const ButtonChange& change);
// The inverse of Changed: the rectangle the button had before.
ButtonRect Restored(const ButtonRect& rect, const ButtonChange& change);

}  // namespace qm
