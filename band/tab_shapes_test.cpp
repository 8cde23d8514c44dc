#include "band/tab_shapes.h"

#include <gtest/gtest.h>

#include <ostream>

#include "common/testing/geometry_printers.h"

namespace qm::band {

std::ostream& operator<<(std::ostream& out, const TabLine& l) {
    return out << "y " << l.y << " x " << l.x1 << ".." << l.x2 << " colour " << std::hex << l.colour
               << std::dec;
}

namespace {

// The classic face colour of Windows 2000 and XP as the menu colour.
constexpr Colour kBase = 0x00C8D0D4;
constexpr Colour kFill = 0x00BEC6CA;     // 10 darker
constexpr Colour kShadowA = 0x00969EA2;  // 50 darker
constexpr Colour kShadowB = 0x00AAB2B6;  // 30 darker
constexpr int kW = 116;
constexpr int kH = 15;

TEST(TabShapes, DarkerLowersEachChannelAndStopsAtZero) {
    const struct {
        Colour colour;
        int amount;
        Colour expected;
    } cases[] = {
        {kBase, 10, kFill},  {kBase, 50, kShadowA},       {0x001E0A28, 10, 0x0014001E},
        {0x001E0A28, 50, 0}, {0x00FFFFFF, 0, 0x00FFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Darker(c.colour, c.amount), c.expected) << std::hex << c.colour;
    }
}

TEST(TabShapes, PlaceFollowsTheSelectedRow) {
    const struct {
        int selected;
        TabPlace places[3];
    } cases[] = {
        {0,
         {{TabState::Selected, false}, {TabState::AfterSelected, false}, {TabState::Plain, true}}},
        {1,
         {{TabState::Plain, false}, {TabState::Selected, false}, {TabState::AfterSelected, true}}},
        {2, {{TabState::Plain, false}, {TabState::Plain, false}, {TabState::Selected, true}}},
        {-1, {{TabState::Plain, false}, {TabState::Plain, false}, {TabState::Plain, true}}},
    };
    for (const auto& c : cases) {
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(PlaceOfTab(row, c.selected, 3), c.places[row])
                << "selected " << c.selected << " row " << row;
        }
    }
}

TEST(TabShapes, TheSelectedTabAndEachRightNeighbourLieOnTop) {
    const struct {
        int row, selected, count;
        std::vector<int> covering;
    } cases[] = {
        {0, 0, 3, {}}, {1, 0, 3, {2, 0}}, {2, 0, 3, {}},  {0, 1, 3, {1}},
        {1, 1, 3, {}}, {2, 1, 3, {1}},    {0, 2, 3, {1}}, {1, 2, 3, {2}},
        {2, 2, 3, {}}, {0, -1, 3, {1}},   {2, -1, 3, {}}, {0, 0, 1, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TabsCovering(c.row, c.selected, c.count), c.covering)
            << "row " << c.row << " selected " << c.selected;
    }
}

TEST(TabShapes, EveryMaximisedStateHasItsOutlineFillAndLines) {
    const struct {
        const char* label;
        TabPlace place;
        Colour fill;
        std::vector<Point> polygon;
        std::vector<TabLine> lines;
    } cases[] = {
        {"selected",
         {TabState::Selected, false},
         kBase,
         {{115, 0}, {107, 14}, {8, 14}, {0, 0}},
         {{0, 1, 115, kBase}}},
        {"selected, last",
         {TabState::Selected, true},
         kBase,
         {{115, 0}, {107, 14}, {8, 14}, {0, 0}},
         {{0, 1, 115, kBase}}},
        {"plain, last",
         {TabState::Plain, true},
         kFill,
         {{115, 0}, {107, 14}, {8, 14}, {0, 0}},
         {{1, 2, 114, kShadowA}, {2, 2, 114, kShadowB}}},
        {"plain, not last",
         {TabState::Plain, false},
         kFill,
         {{107, 0}, {111, 7}, {107, 14}, {8, 14}, {0, 0}},
         {{1, 2, 108, kShadowA}, {2, 2, 108, kShadowB}}},
        {"after the selected, last",
         {TabState::AfterSelected, true},
         kFill,
         {{115, 0}, {107, 14}, {8, 14}, {4, 7}, {8, 0}},
         {{1, 8, 114, kShadowA}, {2, 8, 114, kShadowB}}},
        {"after the selected, not last",
         {TabState::AfterSelected, false},
         kFill,
         {{107, 0}, {111, 7}, {107, 14}, {8, 14}, {4, 7}, {8, 0}},
         {{1, 8, 108, kShadowA}, {2, 8, 108, kShadowB}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TabShape shape = ShapeTab(c.place, true, kW, kH, 98, 13, kBase);
        EXPECT_EQ(shape.fill, c.fill);
        EXPECT_EQ(shape.polygon, c.polygon);
        EXPECT_EQ(shape.lines, c.lines);
        EXPECT_EQ(shape.label, (Point{9, 1}));
    }
}

TEST(TabShapes, HalfHeightRoundsTowardZero) {
    TabShape even = ShapeTab({TabState::Plain, false}, true, 56, 14, 38, 12, kBase);
    ASSERT_EQ(even.polygon.size(), 5u);
    EXPECT_EQ(even.polygon[1], (Point{51, 7}));
    TabShape odd = ShapeTab({TabState::AfterSelected, true}, true, 56, 15, 38, 13, kBase);
    ASSERT_EQ(odd.polygon.size(), 5u);
    EXPECT_EQ(odd.polygon[3], (Point{4, 7}));
}

TEST(TabShapes, MinimisedTabsAreRectanglesWithoutLines) {
    const struct {
        TabPlace place;
        Colour fill;
    } cases[] = {
        {{TabState::Selected, false}, kBase},
        {{TabState::AfterSelected, true}, kFill},
        {{TabState::Plain, false}, kFill},
    };
    for (const auto& c : cases) {
        TabShape shape = ShapeTab(c.place, false, kW, kH, 98, 13, kBase);
        EXPECT_EQ(shape.fill, c.fill);
        EXPECT_TRUE(shape.polygon.empty());
        EXPECT_TRUE(shape.lines.empty());
        EXPECT_EQ(shape.rectangle.left, 7);
        EXPECT_EQ(shape.rectangle.top, 0);
        EXPECT_EQ(shape.rectangle.right, 110);
        EXPECT_EQ(shape.rectangle.bottom, 15);
        EXPECT_EQ(shape.label, (Point{9, 1}));
    }
}

}  // namespace
}  // namespace qm::band
