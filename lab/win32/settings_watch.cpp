#include "lab/win32/settings_watch.h"

#include <windows.h>

#include "common/win32/unique_handle.h"
#include "lab/trace_lines.h"
#include "settings/settings.h"

namespace qm::lab {
namespace {

constexpr unsigned kLookMilliseconds = 50;

}  // namespace

SettingValues ReadSettingValues() {
    SettingValues values(kBandSettingCount);
    win32::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return values;
    }
    for (std::size_t i = 0; i < kBandSettingCount; ++i) {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExA(key.get(), kBandSettingNames[i], nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof value) {
            values[i] = static_cast<std::int32_t>(value);
        }
    }
    return values;
}

SettingsWatch::SettingsWatch(Trace& trace, Scheduler& scheduler)
    : trace_(trace), scheduler_(scheduler), last_(ReadSettingValues()) {
    lookAgainLater();
}

SettingsWatch::~SettingsWatch() {
    scheduler_.cancel(task_);
}

void SettingsWatch::look() {
    SettingValues now = ReadSettingValues();
    for (const auto& [name, value] : WrittenSettings(last_, now)) {
        trace_.add(lines::SettingWritten(name, value));
    }
    last_ = std::move(now);
}

void SettingsWatch::lookAgainLater() {
    task_ = scheduler_.after(kLookMilliseconds, [this] {
        lookAgainLater();
        if (!held_) look();
    });
}

}  // namespace qm::lab
