#pragma once
// Tells the trace which settings the band wrote: its key is looked at every
// 50 ms (the band's dialogs' loops included) and whenever the runner asks,
// right after each action, so a write shows up next to what caused it.

#include "lab/win32/scheduler.h"
#include "lab/setting_values.h"
#include "lab/trace.h"

namespace qm::lab {

// The values of the band's settings key as they stand.
SettingValues ReadSettingValues();

class SettingsWatch {
public:
    // What the key holds now is the starting point: nothing traced for it.
    SettingsWatch(Trace& trace, Scheduler& scheduler);
    ~SettingsWatch();
    SettingsWatch(const SettingsWatch&) = delete;
    SettingsWatch& operator=(const SettingsWatch&) = delete;

    // Traces each value that changed since the last look.
    void look();
    // While held, the timed looks wait: the page a band action leaves is
    // traced before what the action wrote, however the timers fall.
    void hold(bool held) { held_ = held; }

private:
    void lookAgainLater();

    Trace& trace_;
    Scheduler& scheduler_;
    Scheduler::TaskId task_ = 0;
    SettingValues last_;
    bool held_ = false;
};

}  // namespace qm::lab
