#pragma once
// The activity log file "qml.dat" beside our module: one line per logged
// popup, appended as it is recorded and trimmed back to the size the user
// chose. Every call opens, works and closes the file at once, because every
// browser window's band writes the same file; trims take the file's lock,
// so that two never cross.

#include <cstdint>
#include <string>

#include "common/file_system.h"
#include "guard/popup_record.h"
#include "log/log_lines.h"

namespace qm {

// The module's folder, with its backslash, followed by "qml.dat".
std::string LogFilePath(const std::string& moduleFileName);

// Appends the record's log line, on a line of its own even after an append
// that was cut short. Writes nothing when the log cannot be opened for
// writing, for instance while the viewer holds it for its exclusive read.
void AppendLogRecord(FileSystem& files, const std::string& moduleFileName,
                     const PopupRecord& record);

// Brings the log back within `maxLogSize` kilobytes by `logFullAction`; a log
// within the limit is not touched. The shortened log is written beside the
// old one and then put in its place, so a failure keeps the old log.
void TrimLog(FileSystem& files, const std::string& moduleFileName, std::int32_t maxLogSize,
             std::int32_t logFullAction);

// At most kMaxLogRead bytes of the open log `file` of `size` bytes, cut to
// whole lines: its newest, or its oldest when `oldest`. False when a read
// failed.
bool ReadLogPart(File& file, std::int64_t size, bool oldest, std::string& data);

}  // namespace qm
