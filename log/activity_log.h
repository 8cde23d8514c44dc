#pragma once
// The activity log file "qml.dat" beside our module: one line per logged
// popup, appended as it is recorded and trimmed back to the size the user
// chose. Every call opens, works and closes the file at once, without locks,
// because every browser window's band writes the same file.

#include <cstdint>
#include <string>

#include "common/file_system.h"
#include "guard/popup_record.h"
#include "log/log_lines.h"

namespace qm {

// The module's folder, with its backslash, followed by "qml.dat".
std::string LogFilePath(const std::string& moduleFileName);

// Appends the record's log line. Writes nothing when the log cannot be opened
// for writing, for instance while the viewer holds it for its exclusive read.
void AppendLogRecord(FileSystem& files, const std::string& moduleFileName,
                     const PopupRecord& record);

// Brings the log back within `maxLogSize` kilobytes by `logFullAction`; a log
// within the limit is not touched. The shortened log is written beside the
// old one and then put in its place, so a failure keeps the old log.
void TrimLog(FileSystem& files, const std::string& moduleFileName, std::int32_t maxLogSize,
             std::int32_t logFullAction);

}  // namespace qm
