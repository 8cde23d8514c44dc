#include "log/activity_log.h"

#include <memory>
#include <string_view>

#include "common/file_rewrite.h"

namespace qm {
namespace {

constexpr char kLogFileName[] = "qml.dat";
// Of the trimmed log's temporary file, before it replaces the old one.
constexpr char kRewritePrefix[] = "qml";
constexpr std::string_view kLineEnd = "\r\n";

// An append cut short (a full disk) leaves a line without its end; the
// next one must not run on from it.
bool EndsInsideLine(FileSystem& files, const std::string& path) {
    auto file =
        files.open(path, FileAccess::Read, kShareRead | kShareWrite, FileDisposition::OpenExisting);
    if (!file) return false;
    const std::int64_t size = file->size();
    std::string tail;
    if (size <= 0 || !file->seekTo(size < 2 ? 0 : size - 2) || !file->read(2, tail)) return false;
    return tail != kLineEnd;
}

}  // namespace

std::string LogFilePath(const std::string& moduleFileName) {
    return FolderWithSlash(moduleFileName) + kLogFileName;
}

void AppendLogRecord(FileSystem& files, const std::string& moduleFileName,
                     const PopupRecord& record) {
    const std::string path = LogFilePath(moduleFileName);
    const bool newLine = EndsInsideLine(files, path);
    auto file = files.open(path, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    if (!file || !file->seekToEnd()) return;
    const std::string line = record.ToLogLine();
    if (line.empty()) return;
    file->write(newLine ? std::string(kLineEnd) + line : line);
}

void TrimLog(FileSystem& files, const std::string& moduleFileName, std::int32_t maxLogSize,
             std::int32_t logFullAction) {
    const std::string logPath = LogFilePath(moduleFileName);
    const std::uint32_t limit = LogSizeLimit(maxLogSize);
    std::unique_ptr<FileLock> lock = files.lock(logPath);
    if (!lock) return;  // another trim is under way; the next one catches up
    RemoveLeftoverTemporaries(files, logPath, kRewritePrefix);
    std::string content;
    {
        auto file = files.open(logPath, FileAccess::Read, kShareRead, FileDisposition::OpenAlways);
        if (!file) return;
        // A size the system cannot tell gives nothing to read by.
        const std::int64_t size = file->size();
        if (size < 0 || static_cast<std::uint64_t>(size) <= limit) return;
        if (!ReadLogPart(*file, size, logFullAction == kStopRecordingEntries, content)) return;
    }
    // The read handle is closed first: the old log cannot be replaced while it is open.
    RewriteFile(files, logPath, kRewritePrefix, TrimmedLogContent(content, limit, logFullAction));
}

bool ReadLogPart(File& file, std::int64_t size, bool oldest, std::string& data) {
    // From two bytes before the newest part, so that a CR LF just before it
    // shows that the part begins with a whole line.
    const std::int64_t start = size - kMaxLogRead - static_cast<std::int64_t>(kLineEnd.size());
    if (size <= kMaxLogRead || (!oldest && start <= 0)) {
        return file.seekToStart() && file.read(static_cast<std::size_t>(size), data);
    }
    const std::size_t count = oldest ? kMaxLogRead : kMaxLogRead + kLineEnd.size();
    if (!file.seekTo(oldest ? 0 : start) || !file.read(count, data)) return false;
    const std::string_view lines = WholeLines(data, !oldest, oldest);
    data = std::string(lines);
    return true;
}

}  // namespace qm
