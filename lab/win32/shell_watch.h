#pragma once
// What the band asks the shell to open (its help file, a mail address),
// seen without opening anything: while the band is open, its module's
// import of ShellExecuteA leads to the lab, which traces the request and
// answers as the shell does when it succeeds. The band itself is not
// changed; its import is put back when the band closes.

#include <windows.h>
#include <unknwn.h>

#include "lab/trace.h"

namespace qm::lab {

class ShellWatch {
public:
    explicit ShellWatch(Trace& trace) : trace_(trace) {}
    ~ShellWatch() { detach(); }
    ShellWatch(const ShellWatch&) = delete;
    ShellWatch& operator=(const ShellWatch&) = delete;

    // Watches the module that holds `object`'s code. False when that
    // module does not import ShellExecuteA.
    bool attach(IUnknown* object);
    void detach();

private:
    static HINSTANCE WINAPI Open(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                 LPCSTR directory, INT show);

    Trace& trace_;
    HMODULE module_ = nullptr;
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace qm::lab
