#include "log/log_lines.h"

namespace qm {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::vector<std::string_view> LineViews(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find(kLineEnd, start);
        if (end == std::string_view::npos) end = content.size();
        if (end > start) lines.push_back(content.substr(start, end - start));
        start = end + kLineEnd.size();
    }
    return lines;
}

// What a line takes in the file, its line end included.
std::uint64_t StoredSize(std::string_view line) {
    return line.size() + kLineEnd.size();
}

}  // namespace

std::string_view WholeLines(std::string_view part, bool cutBefore, bool cutAfter) {
    if (cutAfter) {
        std::size_t end = part.rfind(kLineEnd);
        part = end == std::string_view::npos ? std::string_view() : part.substr(0, end + 2);
    }
    if (cutBefore) {
        std::size_t end = part.find(kLineEnd);
        part = end == std::string_view::npos ? std::string_view() : part.substr(end + 2);
    }
    return part;
}

std::vector<std::string> SplitLogLines(std::string_view content) {
    std::vector<std::string> lines;
    for (std::string_view line : LineViews(content)) lines.emplace_back(line);
    return lines;
}

std::uint32_t LogSizeLimit(std::int32_t maxLogSize) {
    return static_cast<std::uint32_t>(maxLogSize) * 1024u;
}

std::string TrimmedLogContent(std::string_view content, std::uint32_t limit,
                              std::int32_t logFullAction) {
    const std::vector<std::string_view> lines = LineViews(content);
    std::size_t first = 0;
    std::size_t last = lines.size();  // one past the last line kept
    if (logFullAction == kClearEntireLog) {
        if (last > 0) first = last - 1;
    } else {
        std::uint64_t total = 0;
        for (std::string_view line : lines) total += StoredSize(line);
        if (logFullAction == kStopRecordingEntries) {
            while (total > limit) total -= StoredSize(lines[--last]);
        } else {
            while (total > limit) total -= StoredSize(lines[first++]);
        }
    }
    std::string kept;
    std::size_t bytes = 0;
    for (std::size_t i = first; i < last; ++i) bytes += StoredSize(lines[i]);
    kept.reserve(bytes);
    for (std::size_t i = first; i < last; ++i) {
        kept += lines[i];
        kept += kLineEnd;
    }
    return kept;
}

}  // namespace qm
