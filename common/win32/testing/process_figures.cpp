#include "common/win32/testing/process_figures.h"

namespace qm::win32::testing {
namespace {

// Committed memory of this process alone: what its heaps hold.
SIZE_T PrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

// A top-level window and all its descendants (EnumChildWindows walks them all).
BOOL CALLBACK CountWindowTree(HWND window, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

}  // namespace

// Wine 8 answers GetGuiResources and GetProcessHandleCount with 0, so where
// they do the objects are counted one by one: the windows of this thread
// (the tests make all theirs on it), GDI handles as the table indices Wine's
// GetObjectType takes without their upper word, kernel handles as the small
// multiples of four Wine gives out.
ProcessFigures MeasureProcess() {
    using GuiResourcesFn = DWORD(WINAPI*)(HANDLE, DWORD);
    using HandleCountFn = BOOL(WINAPI*)(HANDLE, PDWORD);
    auto guiResources = reinterpret_cast<GuiResourcesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetGuiResources")));
    auto handleCount = reinterpret_cast<HandleCountFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")));
    ProcessFigures figures;
    figures.privateBytes = PrivateBytes();
    if (guiResources) {
        figures.gdi = guiResources(GetCurrentProcess(), 0);
        figures.user = guiResources(GetCurrentProcess(), 1);
    }
    if (handleCount) handleCount(GetCurrentProcess(), &figures.handles);
    if (!figures.gdi) {
        for (ULONG_PTR index = 1; index < 0x10000; ++index) {
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++figures.gdi;
        }
    }
    if (!figures.user) {
        EnumThreadWindows(GetCurrentThreadId(), CountWindowTree,
                          reinterpret_cast<LPARAM>(&figures.user));
    }
    if (!figures.handles) {
        DWORD flags = 0;
        for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
            if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++figures.handles;
        }
    }
    return figures;
}

}  // namespace qm::win32::testing
