// Function-local statics are made once, even when two threads reach one at
// the same moment, on the processor's interlocked instructions alone. The
// C++ library's guard takes its lock from CreateSemaphoreW, which Windows 9x
// only stubs: there two browser threads meeting at a static end the browser.
#include <windows.h>

#include <cstdlib>

namespace {

// The compiler reads the guard's first byte (nonzero: made) before it calls
// in here; the second says a thread is making the object, and the guard's
// other word names that thread.
constexpr LONG kMade = 1;
constexpr LONG kMaking = 0x100;

LONG volatile* StateOf(void* guard) {
    return static_cast<LONG volatile*>(guard);
}

DWORD volatile* MakerOf(void* guard) {
    return static_cast<DWORD volatile*>(guard) + 1;
}

}  // namespace

extern "C" {

// 1: the caller makes the object now; 0: it is made.
int __cxa_guard_acquire(void* guard) {
    for (;;) {
        LONG seen = InterlockedCompareExchange(StateOf(guard), kMaking, 0);
        if (seen == 0) {
            *MakerOf(guard) = GetCurrentThreadId();
            return 1;
        }
        if (seen & kMade) return 0;
        // A static whose initialiser reaches itself again would wait forever.
        if (*MakerOf(guard) == GetCurrentThreadId()) std::abort();
        Sleep(1);
    }
}

void __cxa_guard_release(void* guard) {
    *MakerOf(guard) = 0;
    InterlockedExchange(StateOf(guard), kMade);
}

// Only reached by an initialiser that throws, which code built without
// exceptions has none of; the ABI has it, and so the C++ library's users.
void __cxa_guard_abort(void* guard) {
    *MakerOf(guard) = 0;
    InterlockedExchange(StateOf(guard), 0);
}

}  // extern "C"
