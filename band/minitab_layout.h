#pragma once
// Where everything of the minitab goes for a given size: the pages above the
// row of overlapping tabs, the logo column at the right, the four small
// buttons left of it and the caption between the tabs and the buttons.

#include <vector>

#include "common/geometry.h"

namespace qm::band {

// Tabs and small buttons, as the pictures make them.
constexpr int kTabExtraWidth = 18;  // a tab is its label plus the slanted ends
constexpr int kTabExtraHeight = 2;
constexpr int kTabOverlap = 9;  // neighbouring tabs share this many pixels
constexpr int kSmallButtonWidth = 14;
constexpr int kSmallButtonHeight = 12;

struct MinitabLayout {
    Rect page;                // every page window
    std::vector<Point> tabs;  // top-left corner of each tab button, in row order
    Rect logo;
    Rect exitButton;
    Rect helpButton;
    Rect sizeButton;
    Rect onOffButton;
    Rect caption;
    bool captionShown = false;  // false when the tabs leave it no room
};

// `tabWidths` in row order; `tabHeight` is the label height plus kTabExtraHeight.
MinitabLayout LayoutMinitab(int width, int height, const std::vector<int>& tabWidths,
                            int tabHeight);

}  // namespace qm::band
