#pragma once
// The activity log as text: its lines, the size limit the user chose, and
// which lines stay when the log has grown past that limit. The log viewer
// reads the file with the same splitter.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace qm {

// What happens when the log is full; the values the log settings dialog stores.
enum LogFullAction : std::int32_t {
    kRemoveOldestEntries = 0,  // also every value that is not one of these three
    kStopRecordingEntries = 1,
    kClearEntireLog = 2,
};

// The most of a log file the trim or the viewer reads: four times the
// largest limit the log settings allow, so that a log within its limit and
// the line just appended is always read whole; a larger file was damaged
// or left past its limit, and only its newest (or, when new entries are
// dropped, its oldest) lines count.
constexpr std::uint32_t kMaxLogRead = 4 * kLargestMaxLogSize * 1024;

// The whole lines of a part of a log file: without the partial line where
// the part was cut from the file's start (`cutBefore`: it begins inside a
// line unless it begins with CR LF, which is dropped too) or from its end
// (`cutAfter`: everything after the last CR LF).
std::string_view WholeLines(std::string_view part, bool cutBefore, bool cutAfter);

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
