#pragma once
// The wizard frame's own buttons: new texts, rearranged rectangles, and
// ending the wizard from the program.

#include <windows.h>
#include <prsht.h>

#include <string>

#include "wizard/wizard_buttons.h"

namespace qm::win32 {

// Runs a wizard of `count` pages in a frame with the program's icon and
// caption; `callback` hears the frame being made.
void RunWizard(HINSTANCE instance, PROPSHEETPAGEA* pages, UINT count, WORD iconId, WORD captionId,
               PFNPROPSHEETCALLBACK callback);

// Gives a frame button its new text (when the change has one) and rectangle.
void ApplyButtonChange(HWND sheet, const ButtonChange& change);
// Moves a frame button back to the rectangle it had before the change.
void UndoButtonGeometry(HWND sheet, const ButtonChange& change);

void SetButtonText(HWND sheet, int id, const std::string& text);
std::string ButtonText(HWND sheet, int id);
void ShowButton(HWND sheet, int id, bool show);
void EnableButton(HWND sheet, int id, bool enable);

// Goes on to the next page as if Next had been pressed, even while the
// buttons are disabled.
void PressNext(HWND sheet);
// Closes the wizard as if its Cancel button had been pressed.
void CloseWizard(HWND sheet);

}  // namespace qm::win32
