#include "band/win32/subclassed_window.h"

#include "common/win32/module_lock.h"

namespace qm::band {
namespace {

// The object and the window's own procedure travel as window properties, so
// the procedure can still pass messages on after the object has let go.
const char kObjectProperty[] = "QuellmarkSubclassObject";
const char kOriginalProperty[] = "QuellmarkSubclassOriginal";
// Set while the window holds a module lock for our procedure left in its chain.
const char kPinnedProperty[] = "QuellmarkSubclassPinned";

WNDPROC OriginalOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProperty));
}

// The window may call our procedure for as long as it lives: the DLL must
// not be freed under it, whatever the count of our COM objects says.
void Pin(HWND window) {
    if (GetPropA(window, kPinnedProperty)) return;
    win32::LockModule();
    // Without the mark the lock is never given back: the safe side.
    SetPropA(window, kPinnedProperty, reinterpret_cast<HANDLE>(1));
}

void Unpin(HWND window) {
    if (RemovePropA(window, kPinnedProperty)) win32::UnlockModule();
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
        Unpin(window);
    } else {
        // Another procedure was put in front of ours, which it calls.
        Pin(window);
    }
}

LRESULT CALLBACK SubclassedWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    WNDPROC original = OriginalOf(window);
    auto* self = static_cast<SubclassedWindow*>(GetPropA(window, kObjectProperty));
    if (message == WM_NCDESTROY) {
        if (self) self->detach();
        RemovePropA(window, kOriginalProperty);
        // The window's last message: nothing of it calls us any more.
        Unpin(window);
    } else if (self) {
        LRESULT result = 0;
        if (self->handle(message, wParam, lParam, result)) return result;
    }
    return original ? CallWindowProcA(original, window, message, wParam, lParam)
                    : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qm::band
