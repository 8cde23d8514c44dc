#pragma once
// The DLL's lock count: raised by every COM object of the module while it
// lives and by server locks; DllCanUnloadNow reads it. The only value the
// browser's threads share, so it changes only by interlocked operations.

namespace qm::win32 {

void LockModule();
void UnlockModule();
long ModuleLockCount();

// Holds one lock for its lifetime: a member of every COM object.
class ModuleLock {
public:
    ModuleLock() { LockModule(); }
    ~ModuleLock() { UnlockModule(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

}  // namespace qm::win32
