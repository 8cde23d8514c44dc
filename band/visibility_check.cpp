#include "band/visibility_check.h"

namespace qm {

VisibilityAction CheckVisibility(const VisibilityInput& in) {
    VisibilityAction action{};
    action.bigEnough = in.browserHeight >= 300 && in.browserWidth >= 480;
    if (!action.bigEnough) {
        action.hideBar = true;
        return action;
    }
    if (in.bandWindowVisible) return action;
    action.showBar = true;
    if (in.browserHeight < 500 && in.expanded) {
        action.collapse = true;
    } else if (in.browserHeight < 522 && !in.heightAdjusted) {
        action.newHeight = in.browserHeight + 22;
    }
    return action;
}

}  // namespace qm
