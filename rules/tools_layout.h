#pragma once
// Where the Tools page puts its controls when it is resized: the
// "Activity Log" group at the left, the white and black list groups sharing
// the rest, each list view with its three buttons to its right. Pixels in
// the page's client coordinates; every halving rounds toward zero.

#include "common/geometry.h"

namespace qm {

struct ToolsSize {
    int width = 0;
    int height = 0;
};

// The three buttons beside one list view.
struct RuleListButtons {
    ToolsSize addNew;
    ToolsSize deleteRule;
    ToolsSize editRule;
};

// What the layout reads: the page's client size and the sizes the controls
// keep.
struct ToolsLayoutInput {
    ToolsSize page;
    ToolsSize logGroup;  // the "Activity Log" group
    ToolsSize viewLog;   // "View Log"; "Log Options" takes the same size
    RuleListButtons whiteButtons;
    RuleListButtons blackButtons;
};

struct RuleListPlaces {
    band::Rect group;
    band::Rect list;
    int columnWidth = 0;
    band::Rect addNew;
    band::Rect deleteRule;
    band::Rect editRule;
};

struct ToolsLayout {
    band::Rect logGroup;
    band::Rect viewLog;
    band::Rect logOptions;
    RuleListPlaces white;
    RuleListPlaces black;
};

ToolsLayout LayOutTools(const ToolsLayoutInput& input);

}  // namespace qm
