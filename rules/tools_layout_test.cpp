#include "rules/tools_layout.h"

#include <gtest/gtest.h>

#include "common/testing/geometry_printers.h"

namespace qm {
namespace {

using band::Rect;

ToolsLayoutInput TemplateSizes(int width, int height) {
    ToolsLayoutInput in;
    in.page = {width, height};
    in.logGroup = {93, 84};
    in.viewLog = {75, 19};
    in.whiteButtons = {{60, 18}, {60, 18}, {60, 18}};
    in.blackButtons = in.whiteButtons;
    return in;
}

TEST(ToolsLayout, PlacesEveryControlOfTheFullSizePage) {
    ToolsLayout l = LayOutTools(TemplateSizes(765, 89));
    EXPECT_EQ(l.logGroup, (Rect{6, 1, 99, 85}));
    // Left 6 + 93/2 - 75/2; bottom 5 + 84/2; the second one's top 7 + 84/2.
    EXPECT_EQ(l.viewLog, (Rect{15, 28, 90, 47}));
    EXPECT_EQ(l.logOptions, (Rect{15, 49, 90, 68}));

    // Each list group (765 - 93 - 32) / 2 = 320 wide, from y 1 to 89 - 6.
    EXPECT_EQ(l.white.group, (Rect{109, 1, 429, 83}));
    EXPECT_EQ(l.white.list, (Rect{119, 16, 349, 80}));
    EXPECT_EQ(l.white.columnWidth, 200);
    EXPECT_EQ(l.white.addNew, (Rect{359, 16, 419, 34}));
    EXPECT_EQ(l.white.deleteRule, (Rect{359, 36, 419, 54}));
    EXPECT_EQ(l.white.editRule, (Rect{359, 56, 419, 74}));

    EXPECT_EQ(l.black.group, (Rect{439, 1, 759, 83}));
    EXPECT_EQ(l.black.list, (Rect{449, 16, 679, 80}));
    EXPECT_EQ(l.black.columnWidth, 200);
    EXPECT_EQ(l.black.addNew, (Rect{689, 16, 749, 34}));
    EXPECT_EQ(l.black.deleteRule, (Rect{689, 36, 749, 54}));
    EXPECT_EQ(l.black.editRule, (Rect{689, 56, 749, 74}));
}

TEST(ToolsLayout, HalvesRoundTowardZero) {
    struct Case {
        int pageWidth;
        int listWidth;
    } cases[] = {
        {766, 320},                      // 641 / 2
        {765, 320}, {125, 0}, {124, 0},  // -1 / 2 is 0, not -1
        {100, -12},                      // -25 / 2 is -12, not -13
    };
    for (const Case& c : cases) {
        ToolsLayout l = LayOutTools(TemplateSizes(c.pageWidth, 89));
        EXPECT_EQ(l.white.group.width(), c.listWidth) << "page " << c.pageWidth;
        EXPECT_EQ(l.black.group.left, 93 + 26 + c.listWidth) << "page " << c.pageWidth;
    }

    ToolsLayoutInput odd = TemplateSizes(765, 89);
    odd.logGroup = {95, 85};
    odd.viewLog = {77, 21};
    ToolsLayout l = LayOutTools(odd);
    EXPECT_EQ(l.viewLog, (Rect{15, 26, 92, 47})) << "6 + 47 - 38, bottom 5 + 42";
    EXPECT_EQ(l.logOptions, (Rect{15, 49, 92, 70}));
}

TEST(ToolsLayout, ButtonsKeepTheirOwnSizesAndTheListLeavesRoomForEditRule) {
    ToolsLayoutInput in = TemplateSizes(765, 120);
    in.whiteButtons = {{50, 20}, {55, 16}, {70, 22}};
    in.blackButtons = {{40, 10}, {45, 12}, {48, 14}};
    ToolsLayout l = LayOutTools(in);
    // The white "Edit Rule" width decides both lists' right margins.
    EXPECT_EQ(l.white.list, (Rect{119, 16, 429 - 90, 114 - 3}));
    EXPECT_EQ(l.black.list, (Rect{449, 16, 759 - 90, 111}));
    EXPECT_EQ(l.white.columnWidth, 339 - 119 - 30);
    EXPECT_EQ(l.white.addNew, (Rect{349, 16, 399, 36}));
    EXPECT_EQ(l.white.deleteRule, (Rect{349, 38, 404, 54}));
    EXPECT_EQ(l.white.editRule, (Rect{349, 56, 419, 78}));
    EXPECT_EQ(l.black.addNew, (Rect{679, 16, 719, 26}));
    EXPECT_EQ(l.black.deleteRule, (Rect{679, 28, 724, 40}));
    EXPECT_EQ(l.black.editRule, (Rect{679, 42, 727, 56}));
}

}  // namespace
}  // namespace qm
