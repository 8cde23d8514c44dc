#include "guard/win32/control_host.h"

#include "common/text.h"

namespace qm {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

constexpr char kHostClass[] = "AtlAxWin";

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// atl.dll stays loaded for the life of the process: windows of its class
// may exist at any time.
HMODULE Atl() {
    static HMODULE atl = LoadLibraryA("atl.dll");
    return atl;
}

}  // namespace

std::string ProgIdOf(REFCLSID clsid) {
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(clsid, &progId)) || !progId) return {};
    std::string text = ToAnsi(progId);
    CoTaskMemFree(progId);
    return text;
}

bool EnsureControlHostClass() {
    HMODULE atl = Atl();
    if (!atl) return false;
    WNDCLASSA existing;
    // Registered already, by us or by anyone else in the process: Wine's
    // AtlAxWinInit then fails instead of reporting success.
    if (GetClassInfoA(atl, kHostClass, &existing)) return true;
    auto init = Export<AtlAxWinInitFn>(atl, "AtlAxWinInit");
    return init && (init() || GetClassInfoA(atl, kHostClass, &existing));
}

HWND CreateControlHost(const std::string& progId, DWORD style, HWND parent) {
    return CreateWindowExA(0, kHostClass, progId.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

win32::ComPtr<IUnknown> HostedControl(HWND host) {
    win32::ComPtr<IUnknown> control;
    static const UINT getControl = RegisterWindowMessageA("WM_ATLGETCONTROL");
    // The host answers with a reference of ours.
    control.attach(reinterpret_cast<IUnknown*>(SendMessageA(host, getControl, 0, 0)));
    if (control) return control;
    if (HMODULE atl = Atl()) {
        auto get = Export<AtlAxGetControlFn>(atl, "AtlAxGetControl");
        if (get && FAILED(get(host, control.put()))) control.reset();
    }
    return control;
}

}  // namespace qm
