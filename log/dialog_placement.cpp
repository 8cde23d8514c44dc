#include "log/dialog_placement.h"

namespace qm {
namespace {

// The start of a span `size` long centred on [from, to), then kept inside
// [low, high); a span longer than the area starts at its beginning.
int Centre(int size, int from, int to, int low, int high) {
    int start = from + (to - from - size) / 2;
    if (start + size > high) start = high - size;
    if (start < low) start = low;
    return start;
}

}  // namespace

band::Rect CentreOverOwner(const band::Rect& dialog, const band::Rect& owner,
                           const band::Rect& workArea) {
    const band::Rect& around = owner.width() > 0 && owner.height() > 0 ? owner : workArea;
    int width = dialog.width();
    int height = dialog.height();
    int left = Centre(width, around.left, around.right, workArea.left, workArea.right);
    int top = Centre(height, around.top, around.bottom, workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}

}  // namespace qm
