#include "log/activity_log.h"

#include <gtest/gtest.h>

#include "common/testing/fake_clock.h"
#include "common/testing/memory_file_system.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;

const std::string kModule = "C:\\Program Files\\Quellmark\\quellmark.dll";
const std::string kLog = "C:\\Program Files\\Quellmark\\qml.dat";
const std::string kRewrite = "C:\\Program Files\\Quellmark\\qml.tmp";

// A record whose log line is `bytes` long with its CR LF, told apart by `number`.
PopupRecord RecordOfLineSize(int number, std::size_t bytes) {
    PopupRecord record;
    record.title = L"popup " + std::to_wstring(number);
    record.url = std::wstring(bytes - record.ToLogLine().size(), L'u');
    return record;
}

// The log line of popup `number`, 300 bytes and its CR LF unless told otherwise.
std::string Line(int number, std::size_t bytes = 302) {
    return RecordOfLineSize(number, bytes).ToLogLine();
}

std::string Log(std::initializer_list<int> numbers) {
    std::string log;
    for (int n : numbers) log += Line(n);
    return log;
}

// What the decision engine does for each logged popup.
void LogPopup(FileSystem& files, const PopupRecord& record, std::int32_t maxLogSize,
              std::int32_t action) {
    AppendLogRecord(files, kModule, record);
    TrimLog(files, kModule, maxLogSize, action);
}

// Every record is stamped with the same time, so a popup's line is always the same.
class ActivityLog : public ::testing::Test {
protected:
    testing::FakeClock clock{{2002, 7, 3, 3, 16, 5, 9, 0}};
    MemoryFileSystem files;
};

TEST(LogFilePath, SitsBesideTheModule) {
    EXPECT_EQ(LogFilePath(kModule), kLog);
    EXPECT_EQ(LogFilePath("D:\\quellmark.dll"), "D:\\qml.dat");
    EXPECT_EQ(LogFilePath("quellmark.dll"), "qml.dat");
}

TEST_F(ActivityLog, AppendCreatesTheLogAndAddsAtTheEnd) {
    PopupRecord first = RecordOfLineSize(1, 120);
    PopupRecord second = RecordOfLineSize(2, 140);
    AppendLogRecord(files, kModule, first);
    EXPECT_EQ(files.contents(kLog), first.ToLogLine());
    AppendLogRecord(files, kModule, second);
    EXPECT_EQ(files.contents(kLog), first.ToLogLine() + second.ToLogLine());
    EXPECT_EQ(files.fileCount(), 1u);
}

TEST_F(ActivityLog, AppendWhileTheViewerReadsWritesNothing) {
    files.put(kLog, "kept line\r\n");
    {
        auto viewer = files.open(kLog, FileAccess::Read, kShareNone, FileDisposition::OpenExisting);
        ASSERT_TRUE(viewer);
        LogPopup(files, RecordOfLineSize(1, 302), 1, kRemoveOldestEntries);
        EXPECT_EQ(files.contents(kLog), "kept line\r\n");
    }
    AppendLogRecord(files, kModule, RecordOfLineSize(2, 302));
    EXPECT_EQ(SplitLogLines(files.contents(kLog)).size(), 2u);
}

TEST_F(ActivityLog, AppendsOfTwoWindowsShareTheFile) {
    auto otherWindow =
        files.open(kLog, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    ASSERT_TRUE(otherWindow);
    PopupRecord record = RecordOfLineSize(1, 200);
    AppendLogRecord(files, kModule, record);
    EXPECT_EQ(files.contents(kLog), record.ToLogLine());
}

TEST_F(ActivityLog, AppendAfterTheViewerClearedTheLogStartsAnew) {
    files.put(kLog, "old\r\n");
    ASSERT_TRUE(files.remove(kLog));
    PopupRecord record = RecordOfLineSize(1, 300);
    LogPopup(files, record, 10, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), record.ToLogLine());
}

// 1 KB holds three lines of 300 bytes (3 x 302 <= 1024) but not four.
TEST_F(ActivityLog, FullLogUnderEachAction) {
    struct Case {
        const char* label;
        std::int32_t action;
        std::vector<std::vector<int>> afterEachPopup;
    };
    const Case cases[] = {
        {"remove oldest",
         kRemoveOldestEntries,
         {{1}, {1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}, {4, 5, 6}, {5, 6, 7}}},
        {"unknown action removes oldest",
         5,
         {{1}, {1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}, {4, 5, 6}, {5, 6, 7}}},
        {"stop recording",
         kStopRecordingEntries,
         {{1}, {1, 2}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}}},
        {"clear entire log",
         kClearEntireLog,
         {{1}, {1, 2}, {1, 2, 3}, {4}, {4, 5}, {4, 5, 6}, {7}}},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        int number = 0;
        for (const std::vector<int>& expected : c.afterEachPopup) {
            ++number;
            LogPopup(disk, RecordOfLineSize(number, 302), 1, c.action);
            std::string log;
            for (int n : expected) log += Line(n);
            EXPECT_EQ(disk.contents(kLog), log) << c.label << ", popup " << number;
        }
        EXPECT_FALSE(disk.exists(kRewrite)) << c.label;
    }
}

TEST_F(ActivityLog, SingleLineOverTheLimit) {
    struct Case {
        std::int32_t action;
        bool keepsTheLine;
    };
    const Case cases[] = {
        {kRemoveOldestEntries, false}, {kStopRecordingEntries, false}, {kClearEntireLog, true}};
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        PopupRecord record = RecordOfLineSize(1, 1500);
        LogPopup(disk, record, 1, c.action);
        EXPECT_TRUE(disk.exists(kLog)) << c.action;
        EXPECT_EQ(disk.contents(kLog), c.keepsTheLine ? record.ToLogLine() : "") << c.action;
    }
}

TEST_F(ActivityLog, LogAtTheLimitIsNotTouched) {
    // Three lines and 59 empty ones: 906 + 118 = 1024 bytes.
    std::string log = Log({1, 2, 3});
    for (int i = 0; i < 59; ++i) log += "\r\n";
    ASSERT_EQ(log.size(), 1024u);
    files.put(kLog, log);
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), log);
}

TEST_F(ActivityLog, LogOneByteOverIsRewrittenWithoutEmptyLines) {
    const std::string kept = Line(1, 303) + Log({2, 3});
    std::string log = "\r\n" + kept;
    for (int i = 0; i < 58; ++i) log += "\r\n";
    ASSERT_EQ(log.size(), 1025u);
    files.put(kLog, log);
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), kept);
}

TEST_F(ActivityLog, LastLineWithoutLineEndGetsOne) {
    std::string log = Log({1, 2, 3, 4});
    log.resize(log.size() - 2);
    struct Case {
        std::int32_t action;
        std::string kept;
    };
    const Case cases[] = {{kRemoveOldestEntries, Log({2, 3, 4})},
                          {kStopRecordingEntries, Log({1, 2, 3})},
                          {kClearEntireLog, Log({4})}};
    for (const Case& c : cases) {
        files.put(kLog, log);
        TrimLog(files, kModule, 1, c.action);
        EXPECT_EQ(files.contents(kLog), c.kept) << c.action;
    }
}

TEST_F(ActivityLog, ZeroAndNegativeMaximumSizes) {
    const std::string log = Log({1, 2, 3});
    struct Case {
        std::int32_t maxLogSize;
        std::int32_t action;
        std::string kept;
    };
    const Case cases[] = {
        {0, kRemoveOldestEntries, ""}, {0, kStopRecordingEntries, ""},
        {0, kClearEntireLog, Line(3)}, {-1, kRemoveOldestEntries, log},
        {-1, kClearEntireLog, log},    {-63, kStopRecordingEntries, log},
    };
    for (const Case& c : cases) {
        files.put(kLog, log);
        TrimLog(files, kModule, c.maxLogSize, c.action);
        EXPECT_EQ(files.contents(kLog), c.kept) << c.maxLogSize << ", action " << c.action;
    }
}

TEST_F(ActivityLog, TrimOfAMissingLogCreatesItEmpty) {
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_TRUE(files.exists(kLog));
    EXPECT_EQ(files.contents(kLog), "");
}

// Whatever goes wrong, the old log stays as it was and no copy is left behind.
TEST_F(ActivityLog, FailedTrimKeepsTheOldLog) {
    const std::string log = Log({1, 2, 3, 4});
    struct Case {
        const char* label;
        void (*arrange)(MemoryFileSystem&);
    };
    const Case cases[] = {
        {"log cannot be opened", [](MemoryFileSystem& f) { f.failOpen.insert(kLog); }},
        {"size unknown", [](MemoryFileSystem& f) { f.failSize.insert(kLog); }},
        {"read fails", [](MemoryFileSystem& f) { f.failRead.insert(kLog); }},
        {"copy cannot be created", [](MemoryFileSystem& f) { f.failOpen.insert(kRewrite); }},
        {"copy written only in part", [](MemoryFileSystem& f) { f.failWrite.insert(kRewrite); }},
        {"copy cannot replace the log", [](MemoryFileSystem& f) { f.failReplace.insert(kLog); }},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        disk.put(kLog, log);
        c.arrange(disk);
        TrimLog(disk, kModule, 1, kRemoveOldestEntries);
        EXPECT_EQ(disk.contents(kLog), log) << c.label;
        EXPECT_FALSE(disk.exists(kRewrite)) << c.label;
    }
}

TEST_F(ActivityLog, TrimWhileAnotherWindowHoldsTheLogKeepsIt) {
    const std::string log(2000, 'x');
    struct Case {
        const char* label;
        FileAccess access;
        unsigned share;
    };
    const Case cases[] = {
        {"viewer reading alone", FileAccess::Read, kShareNone},
        {"another trim reading", FileAccess::Read, kShareRead},
        {"another window appending", FileAccess::Write, kShareWrite},
    };
    for (const Case& c : cases) {
        files.put(kLog, log);
        auto other = files.open(kLog, c.access, c.share, FileDisposition::OpenExisting);
        ASSERT_TRUE(other) << c.label;
        TrimLog(files, kModule, 1, kRemoveOldestEntries);
        EXPECT_EQ(files.contents(kLog), log) << c.label;
        EXPECT_FALSE(files.exists(kRewrite)) << c.label;
    }
}

TEST_F(ActivityLog, TrimLeavesTheCopyOfAConcurrentTrimAlone) {
    const std::string log(2000, 'x');
    files.put(kLog, log);
    auto otherTrim =
        files.open(kRewrite, FileAccess::Write, kShareNone, FileDisposition::CreateAlways);
    ASSERT_TRUE(otherTrim);
    ASSERT_TRUE(otherTrim->write("their copy"));
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), log);
    EXPECT_EQ(files.contents(kRewrite), "their copy");
}

}  // namespace
}  // namespace qm
