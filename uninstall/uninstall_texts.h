#pragma once
// What the uninstaller's wizard says, word for word.

namespace qm {

constexpr char kThanksText[] =
    "Thanks for using\nquellmark v1.01\nby Marrow Labs\n\n\n\n\nare you sure you\nwant to "
    "uninstall?";
// The frame's Finish button is hidden under this text; Cancel, disabled, says "Finish".
constexpr char kHiddenFinishText[] = "no text";
constexpr char kCancelAsFinish[] = "Finish";

}  // namespace qm
