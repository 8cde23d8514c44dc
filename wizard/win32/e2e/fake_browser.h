#pragma once
// A browser frame window ("IEFrame") as the installer sees one, on a thread
// of its own so that it answers the installer's close request while the
// test waits.

#include <windows.h>

namespace qm::e2e {

class FakeBrowserFrame {
public:
    enum class OnClose { Close, Refuse };
    explicit FakeBrowserFrame(OnClose onClose);
    ~FakeBrowserFrame();
    FakeBrowserFrame(const FakeBrowserFrame&) = delete;
    FakeBrowserFrame& operator=(const FakeBrowserFrame&) = delete;

    bool open() const;
    // How many close requests reached the frame.
    LONG closeRequests() const { return closeRequests_; }

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    OnClose onClose_;
    HANDLE thread_ = nullptr;
    HANDLE ready_ = nullptr;
    volatile HWND window_ = nullptr;
    volatile LONG closeRequests_ = 0;
};

}  // namespace qm::e2e
