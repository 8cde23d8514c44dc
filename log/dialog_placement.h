#pragma once
// Where a dialog that centres itself over its owner goes: centred on the
// owner's window, then moved back inside the work area of the screen.

#include "common/geometry.h"

namespace qm {

// The dialog's new window rectangle. Without an owner (`owner` empty) it is
// centred on the work area.
band::Rect CentreOverOwner(const band::Rect& dialog, const band::Rect& owner,
                           const band::Rect& workArea);

}  // namespace qm
