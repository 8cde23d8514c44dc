#include "wizard/win32/wizard_frame.h"

#include <commctrl.h>
#include <prsht.h>

#include "wizard/win32/wizard_page.h"

namespace qm::win32 {
namespace {

ButtonRect RectInSheet(HWND sheet, HWND button) {
    RECT rect;
    GetWindowRect(button, &rect);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Move(HWND button, const ButtonRect& rect) {
    MoveWindow(button, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

}  // namespace

void RunWizard(HINSTANCE instance, PROPSHEETPAGEA* pages, UINT count, WORD iconId, WORD captionId,
               PFNPROPSHEETCALLBACK callback) {
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_USEICONID;
    header.hInstance = instance;
    header.pszIcon = MAKEINTRESOURCEA(iconId);
    header.pszCaption = MAKEINTRESOURCEA(captionId);
    header.nPages = count;
    header.ppsp = pages;
    header.pfnCallback = callback;
    PropertySheetA(&header);
}

void ApplyButtonChange(HWND sheet, const ButtonChange& change) {
    HWND button = GetDlgItem(sheet, change.id);
    if (!button) return;
    if (change.text) SetWindowTextA(button, change.text);
    Move(button, Changed(RectInSheet(sheet, button), change));
}

void UndoButtonGeometry(HWND sheet, const ButtonChange& change) {
    HWND button = GetDlgItem(sheet, change.id);
    if (button) Move(button, Restored(RectInSheet(sheet, button), change));
}

void SetButtonText(HWND sheet, int id, const std::string& text) {
    SetWindowTextA(GetDlgItem(sheet, id), text.c_str());
}

std::string ButtonText(HWND sheet, int id) {
    return WindowText(GetDlgItem(sheet, id));
}

void ShowButton(HWND sheet, int id, bool show) {
    ShowWindow(GetDlgItem(sheet, id), show ? SW_SHOW : SW_HIDE);
}

void EnableButton(HWND sheet, int id, bool enable) {
    EnableWindow(GetDlgItem(sheet, id), enable);
}

void PressNext(HWND sheet) {
    PropSheet_SetWizButtons(sheet, PSWIZB_NEXT);
    PropSheet_PressButton(sheet, PSBTN_NEXT);
}

void CloseWizard(HWND sheet) {
    EnableButton(sheet, kCancelButton, true);
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

}  // namespace qm::win32
