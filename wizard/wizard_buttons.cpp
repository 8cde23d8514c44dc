#include "wizard/wizard_buttons.h"

namespace qm {

const ButtonChange kInstallerFrameButtons[4] = {
    {kCancelButton, "Exit Installation", 20, 0},
    {kNextButton, nullptr, 0, 20},
    {kBackButton, nullptr, 0, 20},
    {kFinishButton, nullptr, 0, 20},
};

const ButtonChange kUninstallerFrameButtons[4] = {
    {kCancelButton, "Exit Installation", 20, 0},
    {kNextButton, "Yes, Continue", 20, 20},
    {kBackButton, nullptr, 0, 40},
    {kFinishButton, nullptr, 0, 20},
};

ButtonRect Changed(const ButtonRect& rect, const ButtonChange& change) {
    return {rect.left - change.widenLeft - change.moveLeft, rect.top, rect.right - change.moveLeft,
            rect.bottom};
}

ButtonRect Restored(const ButtonRect& rect, const ButtonChange& change) {
    return {rect.left + change.widenLeft + change.moveLeft, rect.top, rect.right + change.moveLeft,
            rect.bottom};
}

}  // namespace qm
