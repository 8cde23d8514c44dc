#include "common/win32/module_lock.h"

#include <windows.h>

namespace qm::win32 {
namespace {
LONG g_locks = 0;
}

void LockModule() {
    InterlockedIncrement(&g_locks);
}

void UnlockModule() {
    InterlockedDecrement(&g_locks);
}

long ModuleLockCount() {
    return InterlockedCompareExchange(&g_locks, 0, 0);
}

}  // namespace qm::win32
