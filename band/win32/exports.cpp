// The four entry points COM and regsvr32 call, and DllMain.

#include <windows.h>

#include "band/win32/class_factory.h"
#include "band/win32/module.h"
#include "band/win32/registration.h"
#include "common/platform.h"
#include "common/win32/module_classes.h"
#include "common/win32/module_lock.h"

namespace qm::band {
namespace {
HINSTANCE g_instance = nullptr;
}

HINSTANCE ModuleInstance() {
    return g_instance;
}

std::string ModuleFileName() {
    char name[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(g_instance, name, MAX_PATH);
    return std::string(name, length);
}

}  // namespace qm::band

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        qm::band::g_instance = instance;
        DisableThreadLibraryCalls(instance);
        qm::usePlatformSeams();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Freed while the process goes on: the browser may load us again,
        // perhaps at another address. At process exit there is nothing to do.
        qm::win32::UnregisterModuleClasses();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return qm::win32::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) {
    return qm::band::GetClassObject(clsid, iid, ppv);
}

STDAPI DllRegisterServer() {
    return qm::band::RegisterServer(qm::band::ModuleInstance());
}

STDAPI DllUnregisterServer() {
    return qm::band::UnregisterServer(qm::band::ModuleInstance());
}
