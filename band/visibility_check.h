#pragma once
// The bar closes itself in small browser windows (popups) and comes back in
// ordinary ones, collapsing or growing the window once so the page keeps room.

#include <cstdint>

namespace qm {

struct VisibilityInput {
    std::int32_t browserHeight;
    std::int32_t browserWidth;
    bool bandWindowVisible;
    bool expanded;        // BandVisibility
    bool heightAdjusted;  // the browser was already grown once
};

struct VisibilityAction {
    bool bigEnough;
    bool hideBar;
    bool showBar;
    bool collapse;           // collapse the band without saving the setting
    std::int32_t newHeight;  // grow the browser to this height; 0 = leave it
};

VisibilityAction CheckVisibility(const VisibilityInput& in);

}  // namespace qm
