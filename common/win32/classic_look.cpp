#include "common/win32/classic_look.h"

namespace qm::win32 {
namespace {

// uxtheme.dll exists from Windows XP on; where it is not loaded into the
// process, nothing is themed and there is nothing to undo.
using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

SetWindowThemeFn SetWindowThemeIfLoaded() {
    HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");
    if (!uxtheme) return nullptr;
    return reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")));
}

BOOL CALLBACK Unthemed(HWND window, LPARAM setWindowTheme) {
    reinterpret_cast<SetWindowThemeFn>(setWindowTheme)(window, L"", L"");
    return TRUE;
}

}  // namespace

void UseClassicLook(HWND window) {
    SetWindowThemeFn setWindowTheme = SetWindowThemeIfLoaded();
    if (!setWindowTheme || !window) return;
    setWindowTheme(window, L"", L"");
    EnumChildWindows(window, Unthemed, reinterpret_cast<LPARAM>(setWindowTheme));
}

}  // namespace qm::win32
