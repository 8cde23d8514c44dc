#include "log/activity_log.h"

namespace qm {
namespace {

constexpr char kLogFileName[] = "qml.dat";
// The trimmed log before it replaces the old one.
constexpr char kRewriteFileName[] = "qml.tmp";

void ReplaceLog(FileSystem& files, const std::string& logPath, const std::string& rewritePath,
                std::string_view content) {
    bool written = false;
    {
        // Not shared: a trim in another window must not write into our copy.
        // When that trim holds it, its file is left alone and the log stays
        // over the limit until the next trim.
        auto file =
            files.open(rewritePath, FileAccess::Write, kShareNone, FileDisposition::CreateAlways);
        if (!file) return;
        written = file->write(content);
    }
    if (!written || !files.replace(rewritePath, logPath)) files.remove(rewritePath);
}

}  // namespace

std::string LogFilePath(const std::string& moduleFileName) {
    return FolderWithSlash(moduleFileName) + kLogFileName;
}

void AppendLogRecord(FileSystem& files, const std::string& moduleFileName,
                     const PopupRecord& record) {
    auto file = files.open(LogFilePath(moduleFileName), FileAccess::Write, kShareWrite,
                           FileDisposition::OpenAlways);
    if (!file || !file->seekToEnd()) return;
    const std::string line = record.ToLogLine();
    if (!line.empty()) file->write(line);
}

void TrimLog(FileSystem& files, const std::string& moduleFileName, std::int32_t maxLogSize,
             std::int32_t logFullAction) {
    const std::string logPath = LogFilePath(moduleFileName);
    const std::uint32_t limit = LogSizeLimit(maxLogSize);
    std::string content;
    {
        auto file = files.open(logPath, FileAccess::Read, kShareRead, FileDisposition::OpenAlways);
        if (!file) return;
        // A size the system cannot tell gives nothing to read by.
        const std::int64_t size = file->size();
        if (size < 0 || static_cast<std::uint64_t>(size) <= limit) return;
        if (!file->seekToStart() || !file->read(static_cast<std::size_t>(size), content)) return;
    }
    // The read handle is closed first: the old log cannot be replaced while it is open.
    ReplaceLog(files, logPath, FolderWithSlash(moduleFileName) + kRewriteFileName,
               TrimmedLogContent(content, limit, logFullAction));
}

}  // namespace qm
