#include "log/win32/centred_dialog.h"

#include "log/dialog_placement.h"

namespace qm::tools {
namespace {

band::Rect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

void CentreOverOwnerWindow(HWND dialog) {
    RECT own{};
    GetWindowRect(dialog, &own);
    RECT owner{};
    HWND ownerWindow = GetWindow(dialog, GW_OWNER);
    if (ownerWindow) GetWindowRect(ownerWindow, &owner);
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    band::Rect place = CentreOverOwner(FromRect(own), FromRect(owner), FromRect(work));
    SetWindowPos(dialog, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qm::tools
