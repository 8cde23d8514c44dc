#include "band/win32/band_window.h"

#include "common/win32/module_classes.h"

namespace qm::band {
namespace {

const char kClassName[] = "QuellmarkCommBarClass";

BandWindowOwner* OwnerOf(HWND window) {
    return reinterpret_cast<BandWindowOwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK BandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* owner = static_cast<BandWindowOwner*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        owner->OnBandWindowCreated(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    BandWindowOwner* owner = OwnerOf(window);
    switch (message) {
        case WM_SIZE:
            if (owner) owner->OnBandWindowSized(LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_TIMER:
            if (owner) owner->OnBandTimer(wParam);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            if (owner) owner->OnBandWindowDestroyed();
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterBandClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = BandWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    wc.lpszClassName = kClassName;
    return win32::RegisterModuleClass(wc);
}

}  // namespace

HWND CreateBandWindow(HINSTANCE instance, HWND parent, BandWindowOwner& owner) {
    if (!RegisterBandClass(instance)) return nullptr;
    return CreateWindowExA(0, kClassName, nullptr, WS_CHILD, 0, 0, 0, 0, parent, nullptr, instance,
                           &owner);
}

}  // namespace qm::band
