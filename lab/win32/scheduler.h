#pragma once
// Work the lab does later on its own thread: page loads, page timers, the
// navigation of a new window. Each task runs once from the message loop;
// its owner cancels it when the owner goes away.

#include <windows.h>

#include <functional>
#include <map>

namespace qm::lab {

class Scheduler {
public:
    using Task = std::function<void()>;
    using TaskId = UINT_PTR;

    Scheduler();
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Runs `task` after `milliseconds` of real time (0: as soon as the
    // message loop runs, after what is already queued).
    TaskId after(unsigned milliseconds, Task task);
    void cancel(TaskId id);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run(TaskId id);

    HWND window_ = nullptr;
    std::map<TaskId, Task> tasks_;
    TaskId nextId_ = 1;
};

// Pumps messages for `milliseconds` of real time, or until `done` is true.
void PumpMessages(unsigned milliseconds, const std::function<bool()>& done = {});

}  // namespace qm::lab
