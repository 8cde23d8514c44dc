#pragma once
// The activity log as text: its lines, the size limit the user chose, and
// which lines stay when the log has grown past that limit. The log viewer
// reads the file with the same splitter.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// What happens when the log is full; the values the log settings dialog stores.
enum LogFullAction : std::int32_t {
    kRemoveOldestEntries = 0,  // also every value that is not one of these three
    kStopRecordingEntries = 1,
    kClearEntireLog = 2,
};

// The lines of a log file, split at CR LF pairs only (a lone CR or LF stays
// inside its line), without their line ends; empty lines are dropped and a
// last part without CR LF is a line too.
std::vector<std::string> SplitLogLines(std::string_view content);

// The limit in bytes for `maxLogSize` kilobytes: multiplied in 32 bits, so a
// negative size gives a limit near 4 gigabytes.
std::uint32_t LogSizeLimit(std::int32_t maxLogSize);

// The content a log over its limit is rewritten with: its lines, each ending
// in CR LF, shortened per `logFullAction` until they fit into `limit` bytes
// (clearing keeps the last line whatever its length).
std::string TrimmedLogContent(std::string_view content, std::uint32_t limit,
                              std::int32_t logFullAction);

}  // namespace qm
