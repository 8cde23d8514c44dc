#include "band/tab_shapes.h"

#include <algorithm>

namespace qm::band {
namespace {

constexpr int kOtherTabsDarker = 10;
constexpr int kShadowADarker = 50;
constexpr int kShadowBDarker = 30;

std::vector<Point> Outline(TabPlace place, int w, int h) {
    const bool openLeft = place.state == TabState::Selected || place.state == TabState::Plain;
    // The last tab and the selected one show their right slant whole; any
    // other tab tucks its right end under the neighbour that follows it.
    const bool wholeRight = place.last || place.state == TabState::Selected;
    std::vector<Point> points;
    if (wholeRight) {
        points = {{w - 1, 0}, {w - 9, h - 1}};
    } else {
        points = {{w - 9, 0}, {w - 5, h / 2}, {w - 9, h - 1}};
    }
    points.push_back({8, h - 1});
    if (openLeft) {
        points.push_back({0, 0});
    } else {
        // Tucked under the selected tab on the left.
        points.push_back({4, h / 2});
        points.push_back({8, 0});
    }
    return points;
}

}  // namespace

Colour Darker(Colour colour, int amount) {
    auto channel = [&](int shift) {
        int value = static_cast<int>((colour >> shift) & 0xFF) - amount;
        return static_cast<Colour>(std::max(value, 0)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

TabPlace PlaceOfTab(int row, int selected, int count) {
    TabState state = TabState::Plain;
    if (selected >= 0 && row == selected) {
        state = TabState::Selected;
    } else if (selected >= 0 && row == selected + 1) {
        state = TabState::AfterSelected;
    }
    return {state, row == count - 1};
}

std::vector<int> TabsCovering(int row, int selected, int count) {
    std::vector<int> rows;
    if (row == selected) return rows;  // nothing lies over the selected tab
    if (row + 1 < count) rows.push_back(row + 1);
    if (row > 0 && row - 1 == selected) rows.push_back(row - 1);
    return rows;
}

TabShape ShapeTab(TabPlace place, bool maximised, int width, int height, int labelWidth,
                  int labelHeight, Colour base) {
    TabShape shape;
    const bool selected = place.state == TabState::Selected;
    shape.fill = selected ? base : Darker(base, kOtherTabsDarker);
    if (!maximised) {
        shape.rectangle = {7, 0, labelWidth + 12, labelHeight + 2};
        return shape;
    }
    shape.polygon = Outline(place, width, height);
    if (selected) {
        // Merges the tab with the page above it.
        shape.lines = {{0, 1, width - 1, base}};
        return shape;
    }
    const int from = place.state == TabState::AfterSelected ? 8 : 2;
    const int to = place.last ? width - 2 : width - 8;
    shape.lines = {{1, from, to, Darker(base, kShadowADarker)},
                   {2, from, to, Darker(base, kShadowBDarker)}};
    return shape;
}

}  // namespace qm::band
