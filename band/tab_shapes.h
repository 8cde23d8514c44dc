#pragma once
// The outline, fill and shading of one tab. Maximised, the tabs are slanted
// and overlap, the selected one open towards the page above it; minimised,
// they are plain rectangles. Colours follow the system's menu colour.

#include <cstdint>
#include <vector>

#include "common/geometry.h"

namespace qm::band {

// A colour value as the system stores it: 0x00BBGGRR.
using Colour = std::uint32_t;

// Each of red, green and blue lowered by `amount`, stopping at 0.
Colour Darker(Colour colour, int amount);

enum class TabState { Selected, AfterSelected, Plain };

struct TabPlace {
    TabState state;
    bool last;
    friend bool operator==(const TabPlace& a, const TabPlace& b) {
        return a.state == b.state && a.last == b.last;
    }
};

// The place of row `row` among `count` tabs when row `selected` is chosen
// (-1: none yet).
TabPlace PlaceOfTab(int row, int selected, int count);

// The rows whose tabs lie over tab `row` where they overlap it: nothing lies
// over the selected tab; any other tab lies under its right neighbour, and
// under its left one when that one is selected.
std::vector<int> TabsCovering(int row, int selected, int count);

// A line from (x1, y) towards (x2, y), the end point itself not drawn.
struct TabLine {
    int y;
    int x1;
    int x2;
    Colour colour;
    friend bool operator==(const TabLine& a, const TabLine& b) {
        return a.y == b.y && a.x1 == b.x1 && a.x2 == b.x2 && a.colour == b.colour;
    }
};

struct TabShape {
    Colour fill;
    std::vector<Point> polygon;  // maximised: outlined in black, filled
    Rect rectangle;              // minimised instead of the polygon
    std::vector<TabLine> lines;  // drawn after the label
    Point label{9, 1};           // where the label picture goes
};

// `width` and `height`: the tab button's size; `labelWidth`, `labelHeight`:
// its label picture's; `base`: the system's menu colour.
TabShape ShapeTab(TabPlace place, bool maximised, int width, int height, int labelWidth,
                  int labelHeight, Colour base);

}  // namespace qm::band
