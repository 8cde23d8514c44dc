#pragma once
// Small helpers shared by the tools' dialogs: a control's whole text, its
// tick, and a message box in the dialogs' style.

#include <windows.h>

#include <string>

namespace qm::tools {

// The whole text of control `id` of `dialog`, however long.
std::string ControlText(HWND dialog, int id);

bool IsTicked(HWND dialog, int id);
void SetTicked(HWND dialog, int id, bool ticked);

// A message box with the exclamation icon; returns the button chosen.
int Exclaim(HWND owner, const char* text, const char* caption, UINT buttons = MB_OK);

}  // namespace qm::tools
