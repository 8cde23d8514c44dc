#include "log/log_lines.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLogLines, SplitsAtCrLfOnly) {
    struct Case {
        const char* label;
        std::string content;
        Lines lines;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"only line ends", "\r\n\r\n\r\n", {}},
        {"two lines", "one\r\ntwo\r\n", {"one", "two"}},
        {"empty lines dropped", "\r\none\r\n\r\n\r\ntwo\r\n\r\n", {"one", "two"}},
        {"last part without line end", "one\r\ntwo", {"one", "two"}},
        {"lone CR and LF stay inside", "a\rb\nc\r\nd\n\re", {"a\rb\nc", "d\n\re"}},
        {"CR before the pair stays", "one\r\r\ntwo", {"one\r", "two"}},
        {"a lone CR at the end stays", "one\r", {"one\r"}},
        {"zero bytes are data", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitLogLines(c.content), c.lines) << c.label;
}

TEST(LogSizeLimit, MultipliesIn32Bits) {
    struct Case {
        std::int32_t maxLogSize;
        std::uint32_t limit;
    };
    const Case cases[] = {
        {0, 0u},           {1, 1024u},         {10, 10240u},  {63, 64512u},
        {-1, 0xFFFFFC00u}, {-63, 0xFFFF0400u}, {4194304, 0u},  // 4 GB wraps to nothing
        {4194305, 1024u},
    };
    for (const Case& c : cases) EXPECT_EQ(LogSizeLimit(c.maxLogSize), c.limit) << c.maxLogSize;
}

TEST(TrimmedLogContent, KeepsLinesByAction) {
    // Each line takes 10 bytes with its line end.
    const std::string log = "11111111\r\n22222222\r\n\r\n33333333\r\n44444444";
    struct Case {
        const char* label;
        std::uint32_t limit;
        std::int32_t action;
        std::string kept;
    };
    const Case cases[] = {
        {"oldest dropped first", 25, kRemoveOldestEntries, "33333333\r\n44444444\r\n"},
        {"everything fits", 40, kRemoveOldestEntries,
         "11111111\r\n22222222\r\n33333333\r\n44444444\r\n"},
        {"an exact fit stays", 30, kRemoveOldestEntries, "22222222\r\n33333333\r\n44444444\r\n"},
        {"unknown action removes oldest", 25, 7, "33333333\r\n44444444\r\n"},
        {"negative action removes oldest", 25, -1, "33333333\r\n44444444\r\n"},
        {"stop recording drops the newest", 25, kStopRecordingEntries, "11111111\r\n22222222\r\n"},
        {"clearing keeps the last line", 25, kClearEntireLog, "44444444\r\n"},
        {"clearing ignores the limit", 0, kClearEntireLog, "44444444\r\n"},
        {"no room at all", 9, kRemoveOldestEntries, ""},
        {"no room when stopping either", 0, kStopRecordingEntries, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimmedLogContent(log, c.limit, c.action), c.kept) << c.label;
    }
}

TEST(TrimmedLogContent, EmptyLogStaysEmptyUnderEveryAction) {
    for (std::int32_t action : {0, 1, 2}) {
        EXPECT_EQ(TrimmedLogContent("\r\n\r\n", 0, action), "") << action;
    }
}

}  // namespace
}  // namespace qm
