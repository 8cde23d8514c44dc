#include "log/log_viewer_model.h"

#include <memory>

#include "log/activity_log.h"
#include "log/log_lines.h"

namespace qm {
namespace {

// The log's bytes, or nothing when it cannot be opened or read.
struct LogBytes {
    bool opened = false;
    bool read = false;
    std::string data;
};

LogBytes ReadAlone(FileSystem& files, const std::string& path) {
    LogBytes bytes;
    // No sharing: a window appending at this instant is refused rather than
    // writing into what is being read.
    std::unique_ptr<File> file =
        files.open(path, FileAccess::Read, kShareNone, FileDisposition::OpenExisting);
    if (!file) return bytes;
    bytes.opened = true;
    // Only the newest part of a log far past its limit: bounded memory and rows.
    std::int64_t size = file->size();
    bytes.read = size >= 0 && ReadLogPart(*file, size, false, bytes.data);
    return bytes;
}

}  // namespace

LogViewerContent ReadLogForViewer(FileSystem& files, const std::string& moduleFileName) {
    const std::string path = LogFilePath(moduleFileName);
    LogViewerContent content;
    LogBytes bytes = ReadAlone(files, path);
    if (!bytes.opened || !bytes.read) {
        content.readFailed = bytes.opened;
        files.remove(path);
        return content;
    }
    std::string_view data = bytes.data;
    data = data.substr(0, data.find('\0'));
    std::vector<std::string> lines = SplitLogLines(data);
    content.entries.reserve(lines.size());
    for (const std::string& line : lines) {
        content.entries.emplace_back();
        content.entries.back().FromLogLine(line);
    }
    return content;
}

LogCounts CountLogEntries(const std::vector<PopupRecord>& entries) {
    LogCounts counts;
    for (const PopupRecord& entry : entries) {
        if (entry.stopped) {
            ++counts.stopped;
        } else {
            ++counts.recordOnly;
        }
    }
    counts.total = static_cast<int>(entries.size());
    return counts;
}

std::vector<LogRow> LogRowsNewestFirst(const std::vector<PopupRecord>& entries) {
    std::vector<LogRow> rows;
    rows.reserve(entries.size());
    for (std::size_t i = entries.size(); i-- > 0;) {
        rows.push_back({i, entries[i].stopped ? kStoppedIcon : kRecordOnlyIcon});
    }
    return rows;
}

void ClearLog(FileSystem& files, const std::string& moduleFileName) {
    files.remove(LogFilePath(moduleFileName));
}

}  // namespace qm
