#include "band/minitab_layout.h"

namespace qm::band {
namespace {

constexpr int kFirstTabLeft = 6;
constexpr int kRightColumn = 104;  // logo column and its margins
constexpr int kCaptionGap = 20;

Rect SmallButton(int left, int height) {
    int top = height - kSmallButtonHeight - 2;
    return {left, top, left + kSmallButtonWidth, top + kSmallButtonHeight};
}

}  // namespace

MinitabLayout LayoutMinitab(int width, int height, const std::vector<int>& tabWidths,
                            int tabHeight) {
    MinitabLayout layout;
    layout.page = {2, 2, width - kRightColumn, height - tabHeight - 1};

    int x = kFirstTabLeft;
    const int tabTop = height - tabHeight - 2;
    for (int tabWidth : tabWidths) {
        layout.tabs.push_back({x, tabTop});
        x += tabWidth - kTabOverlap;
    }

    layout.logo = {width - 102, 2, width - 2, height - 2};
    layout.exitButton = SmallButton(width - 118, height);
    layout.helpButton = SmallButton(width - 134, height);
    layout.sizeButton = SmallButton(width - 150, height);
    layout.onOffButton = SmallButton(width - 176, height);

    layout.caption = {x + kCaptionGap, height - 16, width - 182, height - 2};
    layout.captionShown = layout.caption.left < layout.caption.right;
    return layout;
}

}  // namespace qm::band
