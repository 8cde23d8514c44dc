#include "wizard/win32/e2e/fake_browser.h"

namespace qm::e2e {
namespace {

constexpr char kFrameClass[] = "IEFrame";

}  // namespace

FakeBrowserFrame::FakeBrowserFrame(OnClose onClose) : onClose_(onClose) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &FakeBrowserFrame::Run, this, 0, nullptr);
    WaitForSingleObject(ready_, 10000);
}

FakeBrowserFrame::~FakeBrowserFrame() {
    if (IsWindow(window_)) PostMessageA(window_, WM_APP, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(ready_);
}

bool FakeBrowserFrame::open() const {
    return IsWindow(window_) != FALSE;
}

DWORD WINAPI FakeBrowserFrame::Run(void* context) {
    auto* self = static_cast<FakeBrowserFrame*>(context);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &FakeBrowserFrame::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kFrameClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    self->window_ = CreateWindowA(kFrameClass, "about:blank - Microsoft Internet Explorer",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), self);
    SetEvent(self->ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_APP) DestroyWindow(message.hwnd);
        DispatchMessageA(&message);
    }
    return 0;
}

LRESULT CALLBACK FakeBrowserFrame::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<FakeBrowserFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (self && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        InterlockedIncrement(&self->closeRequests_);
        if (self->onClose_ == OnClose::Refuse) return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qm::e2e
