#pragma once
// What the activity log viewer shows: the entries of "qml.dat" read the way
// the viewer reads it (alone, in one read), their counts, and the order of
// the rows, newest first.

#include <cstddef>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "guard/popup_record.h"

namespace qm {

constexpr char kLogReadError[] = "Error!  Log file can't be read. File may be corrupt.";
constexpr char kLogReadErrorCaption[] = "alert";
constexpr char kClearLogQuestion[] =
    "Are you sure you want to clear the log?  All recorded information will be lost.";
constexpr char kClearLogCaption[] = "warning";

// The two pictures of the viewer's image list.
enum LogIcon { kRecordOnlyIcon = 0, kStoppedIcon = 1 };

struct LogViewerContent {
    // In file order, each with the time stamp of its line. Held in place:
    // a copied PopupRecord takes the time of the copy.
    std::vector<PopupRecord> entries;
    // The file opened but could not be read: the "alert" message is due.
    bool readFailed = false;
};

// Reads the log without sharing, in one read, up to its first zero byte; of
// a log larger than kMaxLogRead only the newest whole lines. A log that
// cannot be opened or read is deleted, and reads as empty.
LogViewerContent ReadLogForViewer(FileSystem& files, const std::string& moduleFileName);

struct LogCounts {
    int stopped = 0;
    int recordOnly = 0;
    int total = 0;
};

LogCounts CountLogEntries(const std::vector<PopupRecord>& entries);

struct LogRow {
    std::size_t entry;  // index into the entries
    LogIcon icon;
};

// One row per entry, the end of the file first.
std::vector<LogRow> LogRowsNewestFirst(const std::vector<PopupRecord>& entries);

// "Clear Log": the file goes; a failure is not reported (the reload shows it).
void ClearLog(FileSystem& files, const std::string& moduleFileName);

}  // namespace qm
