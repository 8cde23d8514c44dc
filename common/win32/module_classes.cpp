#include "common/win32/module_classes.h"

#include <cstring>

namespace qm::win32 {
namespace {

// A band per browser window, each on its own thread, may register a class
// at the same time: slots are claimed with an interlocked count. A class
// remembered twice is harmless: its second unregistration fails quietly.
struct RegisteredClass {
    const char* name;
    HINSTANCE instance;
};
constexpr LONG kMaxClasses = 8;
RegisteredClass g_classes[kMaxClasses];
LONG g_count = 0;

bool Remembered(const char* name) {
    LONG count = g_count < kMaxClasses ? g_count : kMaxClasses;
    for (LONG i = 0; i < count; ++i) {
        if (g_classes[i].name && std::strcmp(g_classes[i].name, name) == 0) return true;
    }
    return false;
}

void Remember(const WNDCLASSA& windowClass) {
    if (Remembered(windowClass.lpszClassName)) return;
    LONG slot = InterlockedIncrement(&g_count) - 1;
    if (slot >= kMaxClasses) return;
    g_classes[slot].instance = windowClass.hInstance;
    g_classes[slot].name = windowClass.lpszClassName;
}

}  // namespace

bool RegisterModuleClass(const WNDCLASSA& windowClass) {
    WNDCLASSA existing;
    if (GetClassInfoA(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        if (existing.lpfnWndProc == windowClass.lpfnWndProc) {
            Remember(windowClass);
            return true;
        }
        if (!UnregisterClassA(windowClass.lpszClassName, existing.hInstance) &&
            !UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance)) {
            return false;
        }
    }
    if (!RegisterClassA(&windowClass)) return false;
    Remember(windowClass);
    return true;
}

void UnregisterModuleClasses() {
    LONG count = g_count < kMaxClasses ? g_count : kMaxClasses;
    for (LONG i = 0; i < count; ++i) {
        if (g_classes[i].name) UnregisterClassA(g_classes[i].name, g_classes[i].instance);
        g_classes[i] = RegisteredClass{};
    }
    g_count = 0;
}

}  // namespace qm::win32
