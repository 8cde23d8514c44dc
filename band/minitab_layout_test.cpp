#include "band/minitab_layout.h"

#include <gtest/gtest.h>

#include "common/testing/geometry_printers.h"

namespace qm::band {
namespace {

// The three tabs the band adds: labels 98, 38 and 81 pixels wide, 13 high.
const std::vector<int> kTabWidths = {116, 56, 99};
constexpr int kTabHeight = 15;

struct LayoutCase {
    const char* label;
    int width;
    int height;
    Rect page;
    std::vector<Point> tabs;
    Rect logo;
    Rect exit, help, size, onOff;
    Rect caption;
    bool captionShown;
};

TEST(MinitabLayout, PlacesEverythingForTheBandsSizes) {
    const LayoutCase cases[] = {
        {"maximised, 800 wide",
         800,
         104,
         {2, 2, 696, 88},
         {{6, 87}, {113, 87}, {160, 87}},
         {698, 2, 798, 102},
         {682, 90, 696, 102},
         {666, 90, 680, 102},
         {650, 90, 664, 102},
         {624, 90, 638, 102},
         {270, 88, 618, 102},
         true},
        {"minimised, 800 wide",
         800,
         18,
         {2, 2, 696, 2},
         {{6, 1}, {113, 1}, {160, 1}},
         {698, 2, 798, 16},
         {682, 4, 696, 16},
         {666, 4, 680, 16},
         {650, 4, 664, 16},
         {624, 4, 638, 16},
         {270, 2, 618, 16},
         true},
        {"taller than the band asks for",
         640,
         200,
         {2, 2, 536, 184},
         {{6, 183}, {113, 183}, {160, 183}},
         {538, 2, 638, 198},
         {522, 186, 536, 198},
         {506, 186, 520, 198},
         {490, 186, 504, 198},
         {464, 186, 478, 198},
         {270, 184, 458, 198},
         true},
        {"one pixel of caption left",
         453,
         104,
         {2, 2, 349, 88},
         {{6, 87}, {113, 87}, {160, 87}},
         {351, 2, 451, 102},
         {335, 90, 349, 102},
         {319, 90, 333, 102},
         {303, 90, 317, 102},
         {277, 90, 291, 102},
         {270, 88, 271, 102},
         true},
        {"no room for the caption",
         452,
         104,
         {2, 2, 348, 88},
         {{6, 87}, {113, 87}, {160, 87}},
         {350, 2, 450, 102},
         {334, 90, 348, 102},
         {318, 90, 332, 102},
         {302, 90, 316, 102},
         {276, 90, 290, 102},
         {270, 88, 270, 102},
         false},
        {"far too narrow",
         200,
         18,
         {2, 2, 96, 2},
         {{6, 1}, {113, 1}, {160, 1}},
         {98, 2, 198, 16},
         {82, 4, 96, 16},
         {66, 4, 80, 16},
         {50, 4, 64, 16},
         {24, 4, 38, 16},
         {270, 2, 18, 16},
         false},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.label);
        MinitabLayout layout = LayoutMinitab(c.width, c.height, kTabWidths, kTabHeight);
        EXPECT_EQ(layout.page, c.page);
        EXPECT_EQ(layout.tabs, c.tabs);
        EXPECT_EQ(layout.logo, c.logo);
        EXPECT_EQ(layout.exitButton, c.exit);
        EXPECT_EQ(layout.helpButton, c.help);
        EXPECT_EQ(layout.sizeButton, c.size);
        EXPECT_EQ(layout.onOffButton, c.onOff);
        EXPECT_EQ(layout.caption, c.caption);
        EXPECT_EQ(layout.captionShown, c.captionShown);
    }
}

TEST(MinitabLayout, CaptionStartsTwentyPixelsAfterTheLastTabHowEverManyTabs) {
    const struct {
        std::vector<int> widths;
        int captionLeft;
    } cases[] = {{{}, 26}, {{116}, 133}, {{50, 50, 50, 50}, 190}};
    for (const auto& c : cases) {
        MinitabLayout layout = LayoutMinitab(800, 104, c.widths, kTabHeight);
        EXPECT_EQ(layout.tabs.size(), c.widths.size());
        EXPECT_EQ(layout.caption.left, c.captionLeft);
    }
}

}  // namespace
}  // namespace qm::band
