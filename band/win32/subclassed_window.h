#pragma once
// Puts our own procedure in front of a window we did not create (buttons,
// the browser's bar frame). Messages the handler leaves alone go on to the
// window's own procedure. Undone when detached or when the window goes.

#include <windows.h>

namespace qm::band {

class SubclassedWindow {
public:
    SubclassedWindow() = default;
    virtual ~SubclassedWindow() { detach(); }
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    bool attach(HWND window);
    // Gives the window its own procedure back. When someone else has put a
    // procedure in front of ours since, ours stays in the chain and only
    // passes messages on, and the module stays locked until the window goes.
    void detach();
    HWND window() const { return window_; }

protected:
    // True when the message was handled, with its result in `result`.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace qm::band
