#include "lab/win32/scheduler.h"

namespace qm::lab {
namespace {

const char kClassName[] = "QuellmarkLabScheduler";
const UINT kRunNow = WM_APP + 1;

}  // namespace

Scheduler::Scheduler() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (!GetClassInfoA(instance, kClassName, &existing)) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &Scheduler::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
    }
    window_ =
        CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
}

Scheduler::~Scheduler() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Scheduler::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Scheduler*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && (message == WM_TIMER || message == kRunNow)) {
        if (message == WM_TIMER) KillTimer(window, wParam);
        self->run(static_cast<TaskId>(wParam));
        return 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

Scheduler::TaskId Scheduler::after(unsigned milliseconds, Task task) {
    TaskId id = nextId_++;
    tasks_[id] = std::move(task);
    if (milliseconds == 0) {
        PostMessageA(window_, kRunNow, id, 0);
    } else {
        SetTimer(window_, id, milliseconds, nullptr);
    }
    return id;
}

void Scheduler::cancel(TaskId id) {
    if (tasks_.erase(id)) KillTimer(window_, id);
}

void Scheduler::run(TaskId id) {
    auto it = tasks_.find(id);
    if (it == tasks_.end()) return;
    Task task = std::move(it->second);
    tasks_.erase(it);
    task();
}

void PumpMessages(unsigned milliseconds, const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (done && done()) return;
        }
        if (done && done()) return;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

}  // namespace qm::lab
