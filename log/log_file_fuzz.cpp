// The log file comes from disk, where anything may have damaged it: trimming
// it and reading it for the viewer must be safe for any bytes, at any size
// up to past the read bound, and the trim must leave whole lines within the
// limit. Input: one byte of action, one of size (kilobytes, 0 to 63), one that
// makes the log large when 0xFF (the rest repeated past the read bound,
// rarely, as such runs are slow), then the log's bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/testing/memory_file_system.h"
#include "log/activity_log.h"
#include "log/log_lines.h"
#include "log/log_viewer_model.h"

namespace {

const std::string kModule = "C:\\qm\\quellmark.dll";
const std::string kLog = "C:\\qm\\qml.dat";

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::int32_t action = data[0] % 4;
    const std::int32_t maxLogSize = data[1] % (qm::kLargestMaxLogSize + 1);
    const bool large = data[2] == 0xFF;
    std::string log(reinterpret_cast<const char*>(data + 3), size - 3);
    if (large && !log.empty()) {
        const std::string unit = log;
        while (log.size() <= qm::kMaxLogRead + 2 * unit.size()) log += unit;
    }
    const std::uint32_t limit = qm::LogSizeLimit(maxLogSize);

    qm::testing::MemoryFileSystem files;
    files.put(kLog, log);
    qm::TrimLog(files, kModule, maxLogSize, action);
    const std::string& trimmed = files.contents(kLog);
    Check(files.fileCount() == 1);
    if (log.size() <= limit) {
        Check(trimmed == log);
    } else {
        const std::vector<std::string> lines = qm::SplitLogLines(trimmed);
        Check(trimmed.size() <= limit || (action == qm::kClearEntireLog && lines.size() == 1));
        std::size_t total = 0;
        for (const std::string& line : lines) total += line.size() + 2;
        Check(total == trimmed.size());  // whole lines, each with its CR LF, none empty
        Check(trimmed.find(std::string("\r\n\r\n")) == std::string::npos);
    }

    files.put(kLog, log);
    qm::LogViewerContent content = qm::ReadLogForViewer(files, kModule);
    Check(!content.readFailed);
    Check(content.entries.size() <= qm::kMaxLogRead / 3 + 1);
    return 0;
}
