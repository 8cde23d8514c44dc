#pragma once
// The log settings dialog's values, their mapping to the four log settings,
// the check of the maximum size, and what OK does: write the four values in
// order and trim the log at once, so a smaller limit takes effect now.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "settings/settings.h"

namespace qm {

constexpr char kBadNumberMessage[] = "please enter an integer between 0 and 63";
constexpr char kBadNumberCaption[] = "bad number";
// How many characters of the size box are read.
constexpr std::size_t kMaxLogSizeTextLimit = 15;

struct LogSettingsChoice {
    bool logStopped = true;
    bool logRecorded = true;
    std::int32_t maxLogSize = 10;  // kilobytes
    // What happens when the log is full; exactly one is set.
    bool removeOldest = true;
    bool stopRecording = false;
    bool clearAll = false;
};

// The dialog's values from the band's settings. A full-log action the
// dialog does not offer behaves as "remove oldest", so that one is chosen.
LogSettingsChoice LogSettingsFrom(const Settings& settings);

// The maximum size typed into the box: its first 15 characters read as the
// C library reads a decimal integer; none when the value is outside 0 to 63
// or the text holds a ".".
std::optional<std::int32_t> ReadMaxLogSize(std::string_view text);

// OK: the four settings changed and written in the order LogStopped,
// LogRecorded, MaxLogSize, LogFullAction (a failed write is not reported),
// then the log trimmed to the new limit.
void ApplyLogSettings(const LogSettingsChoice& choice, Settings& settings, SettingsStore& store,
                      FileSystem& files, const std::string& moduleFileName);

}  // namespace qm
