#include "band/win32/subclassed_window.h"

namespace qm::band {
namespace {

// The object and the window's own procedure travel as window properties, so
// the procedure can still pass messages on after the object has let go.
const char kObjectProperty[] = "QuellmarkSubclassObject";
const char kOriginalProperty[] = "QuellmarkSubclassOriginal";

WNDPROC OriginalOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProperty));
}

}  // namespace

bool SubclassedWindow::attach(HWND window) {
    detach();
    if (!window || GetPropA(window, kObjectProperty)) return false;
    if (GetPropA(window, kOriginalProperty)) {
        // Our procedure is still in the chain from an earlier attach: reuse it.
        if (!SetPropA(window, kObjectProperty, this)) return false;
        window_ = window;
        return true;
    }
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!original || !SetPropA(window, kOriginalProperty, reinterpret_cast<HANDLE>(original)) ||
        !SetPropA(window, kObjectProperty, this)) {
        RemovePropA(window, kOriginalProperty);
        return false;
    }
    window_ = window;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    return true;
}

void SubclassedWindow::detach() {
    HWND window = window_;
    if (!window) return;
    window_ = nullptr;
    RemovePropA(window, kObjectProperty);
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Procedure)) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalOf(window)));
        RemovePropA(window, kOriginalProperty);
    }
}

LRESULT CALLBACK SubclassedWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    WNDPROC original = OriginalOf(window);
    auto* self = static_cast<SubclassedWindow*>(GetPropA(window, kObjectProperty));
    if (message == WM_NCDESTROY) {
        if (self) self->detach();
        RemovePropA(window, kOriginalProperty);
    } else if (self) {
        LRESULT result = 0;
        if (self->handle(message, wParam, lParam, result)) return result;
    }
    return original ? CallWindowProcA(original, window, message, wParam, lParam)
                    : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qm::band
