#include "band/win32/about_box.h"

#include <optional>

#include "band/about_links.h"
#include "band/win32/face_painting.h"
#include "band/resources/face_ids.h"
#include "common/text.h"

namespace qm::band {
namespace {

constexpr int kLinkIds[] = {IDC_LINK_SUPPORT_MAIL, IDC_LINK_COMMENTS_MAIL, IDC_LINK_SALES_MAIL,
                            IDC_LINK_GENERAL_MAIL, IDC_LINK_HOME,          IDC_LINK_MANUAL,
                            IDC_LINK_SUPPORT_WEB};

bool IsLink(int id) {
    for (int link : kLinkIds) {
        if (link == id) return true;
    }
    return false;
}

struct AboutState {
    HCURSOR linkCursor;
};

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (!IsLink(static_cast<int>(item->CtlID))) return FALSE;
            PaintLink(item->hDC, item->hwndItem, item->rcItem);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_SETCURSOR: {
            auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            HWND under = reinterpret_cast<HWND>(wParam);
            if (!state || under == dialog || !IsLink(GetDlgCtrlID(under))) return FALSE;
            SetCursor(state->linkCursor);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (IsLink(id) || id == IDOK || id == IDCANCEL) {
                EndDialog(dialog, id);
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(FaceHost& host, HINSTANCE resources, HWND owner) {
    AboutState state{LoadCursorA(resources, MAKEINTRESOURCEA(IDC_LINK_CURSOR))};
    INT_PTR result = DialogBoxParamA(resources, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProcedure,
                                     reinterpret_cast<LPARAM>(&state));
    std::optional<AboutLink> link = AboutLinkFor(static_cast<int>(result));
    if (!link) return;
    if (link->kind == AboutLinkKind::Mail) {
        host.ShellOpen(link->address);
        return;
    }
    PopupRecord record;
    record.url = ToWide(link->address);
    record.targetName = ToWide(link->windowName);
    host.OpenInNewWindow(record);
}

}  // namespace qm::band
