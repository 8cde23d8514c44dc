#include "log/log_settings_logic.h"

#include "common/text.h"
#include "log/activity_log.h"
#include "log/log_lines.h"

namespace qm {

LogSettingsChoice LogSettingsFrom(const Settings& settings) {
    LogSettingsChoice choice;
    choice.logStopped = settings.LogStopped != 0;
    choice.logRecorded = settings.LogRecorded != 0;
    choice.maxLogSize = settings.MaxLogSize;
    choice.stopRecording = settings.LogFullAction == kStopRecordingEntries;
    choice.clearAll = settings.LogFullAction == kClearEntireLog;
    choice.removeOldest = !choice.stopRecording && !choice.clearAll;
    return choice;
}

std::optional<std::int32_t> ReadMaxLogSize(std::string_view text) {
    text = text.substr(0, kMaxLogSizeTextLimit);
    std::int32_t value = ParseDecimal(text);
    if (value < 0 || value > kLargestMaxLogSize || FindFirst(text, '.') != kNotFound)
        return std::nullopt;
    return value;
}

void ApplyLogSettings(const LogSettingsChoice& choice, Settings& settings, SettingsStore& store,
                      FileSystem& files, const std::string& moduleFileName) {
    std::int32_t action = choice.clearAll        ? kClearEntireLog
                          : choice.stopRecording ? kStopRecordingEntries
                                                 : kRemoveOldestEntries;
    store.ChangeSetting(settings, &Settings::LogStopped, choice.logStopped ? 1 : 0);
    store.ChangeSetting(settings, &Settings::LogRecorded, choice.logRecorded ? 1 : 0);
    store.ChangeSetting(settings, &Settings::MaxLogSize, choice.maxLogSize);
    store.ChangeSetting(settings, &Settings::LogFullAction, action);
    TrimLog(files, moduleFileName, settings.MaxLogSize, settings.LogFullAction);
}

}  // namespace qm
