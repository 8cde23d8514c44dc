#include "rules/tools_layout.h"

namespace qm {
namespace {

band::Rect At(int left, int top, ToolsSize size) {
    return {left, top, left + size.width, top + size.height};
}

// One list group from x `left`, `width` wide; the list view leaves room for
// buttons `editWidth` wide on its right.
RuleListPlaces PlaceList(int left, int width, int pageHeight, int editWidth,
                         const RuleListButtons& buttons) {
    RuleListPlaces places;
    places.group = {left, 1, left + width, pageHeight - 6};
    places.list = {places.group.left + 10, places.group.top + 15,
                   places.group.right - (editWidth + 20), places.group.bottom - 3};
    places.columnWidth = places.list.width() - 30;
    int buttonLeft = places.list.right + 10;
    places.addNew = At(buttonLeft, places.list.top, buttons.addNew);
    places.deleteRule = At(buttonLeft, places.addNew.bottom + 2, buttons.deleteRule);
    places.editRule = At(buttonLeft, places.deleteRule.bottom + 2, buttons.editRule);
    return places;
}

}  // namespace

ToolsLayout LayOutTools(const ToolsLayoutInput& in) {
    ToolsLayout layout;
    const int gw = in.logGroup.width;
    const int gh = in.logGroup.height;
    layout.logGroup = At(6, 1, in.logGroup);
    const int buttonLeft = 6 + gw / 2 - in.viewLog.width / 2;
    layout.viewLog = At(buttonLeft, 5 + gh / 2 - in.viewLog.height, in.viewLog);
    layout.logOptions = At(buttonLeft, 7 + gh / 2, in.viewLog);

    const int listWidth = (in.page.width - gw - 32) / 2;
    const int editWidth = in.whiteButtons.editRule.width;
    layout.white = PlaceList(gw + 16, listWidth, in.page.height, editWidth, in.whiteButtons);
    layout.black =
        PlaceList(gw + 26 + listWidth, listWidth, in.page.height, editWidth, in.blackButtons);
    return layout;
}

}  // namespace qm
