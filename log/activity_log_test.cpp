#include "log/activity_log.h"

#include <gtest/gtest.h>

#include "common/testing/fake_clock.h"
#include "common/testing/memory_file_system.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;

const std::string kModule = "C:\\Program Files\\Quellmark\\quellmark.dll";
const std::string kLog = "C:\\Program Files\\Quellmark\\qml.dat";
// The memory file system numbers its temporary files from 1.
const std::string kRewrite = "C:\\Program Files\\Quellmark\\qml0001.tmp";

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
        {"no copy can be made", [](MemoryFileSystem& f) { f.failTemporary = true; }},
        {"copy cannot be opened", [](MemoryFileSystem& f) { f.failOpen.insert(kRewrite); }},
        {"copy written only in part", [](MemoryFileSystem& f) { f.failWrite.insert(kRewrite); }},
        {"copy not flushed", [](MemoryFileSystem& f) { f.failFlush.insert(kRewrite); }},
        {"copy cannot replace the log", [](MemoryFileSystem& f) { f.failReplace.insert(kLog); }},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        disk.put(kLog, log);
        c.arrange(disk);
        TrimLog(disk, kModule, 1, kRemoveOldestEntries);
        EXPECT_EQ(disk.contents(kLog), log) << c.label;
        EXPECT_EQ(disk.fileCount(), 1u) << c.label << ": no copy is left";
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

// Two windows concluding captures on one timer tick while the log is full:
// one trims, the other finds the lock taken and leaves the file to it.
TEST_F(ActivityLog, TrimsOfTwoWindowsNeverCross) {
    const std::string log = Log({1, 2, 3, 4});
    files.put(kLog, log);
    {
        auto otherTrim = files.lock(kLog);
        TrimLog(files, kModule, 1, kRemoveOldestEntries);
        EXPECT_EQ(files.contents(kLog), log);
        EXPECT_EQ(files.fileCount(), 1u);
    }
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), Log({2, 3, 4}));
}

TEST_F(ActivityLog, TrimRemovesTheCopiesOfTrimsThatStopped) {
    const std::string kFolder = "C:\\Program Files\\Quellmark\\";
    files.put(kLog, Log({1, 2, 3, 4}));
    files.put(kFolder + "qml.tmp", "an older trim's copy");
    files.put(kFolder + "qml3f0c.tmp", "a trim's copy");
    files.put(kFolder + "qml notes.tmp", "the user's");
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), Log({2, 3, 4}));
    EXPECT_FALSE(files.exists(kFolder + "qml.tmp"));
    EXPECT_FALSE(files.exists(kFolder + "qml3f0c.tmp"));
    EXPECT_TRUE(files.exists(kFolder + "qml notes.tmp"));
}

// An append cut short by a full disk leaves a line without its end.
TEST_F(ActivityLog, AnAppendStartsOnALineOfItsOwn) {
    const std::string line = Line(2);
    struct Case {
        const char* label;
        std::string before;
        std::string after;
    } cases[] = {
        {"whole lines", Line(1), Line(1) + line},
        {"cut inside a line", Line(1).substr(0, 100), Line(1).substr(0, 100) + "\r\n" + line},
        {"cut between CR and LF", Line(1).substr(0, 301), Line(1).substr(0, 301) + "\r\n" + line},
        {"one byte", "x", "x\r\n" + line},
        {"empty", "", line},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        disk.put(kLog, c.before);
        AppendLogRecord(disk, kModule, RecordOfLineSize(2, 302));
        EXPECT_EQ(disk.contents(kLog), c.after) << c.label;
    }
}

// A damaged log, or one left far past its limit, is read only in part: the
// newest whole lines, or the oldest when new entries are the ones dropped.
TEST_F(ActivityLog, TrimReadsAtMostItsBoundOfALargeLog) {
    const std::size_t perLine = Line(1).size();
    std::string log;
    int count = 0;
    while (log.size() <= kMaxLogRead + 3 * perLine) log += Line(++count);
    files.put(kLog, log);
    TrimLog(files, kModule, 1, kRemoveOldestEntries);
    EXPECT_EQ(files.contents(kLog), Log({count - 2, count - 1, count}));
    files.put(kLog, log);
    TrimLog(files, kModule, 1, kStopRecordingEntries);
    EXPECT_EQ(files.contents(kLog), Log({1, 2, 3}));
    files.put(kLog, log);
    TrimLog(files, kModule, 1, kClearEntireLog);
    EXPECT_EQ(files.contents(kLog), Line(count));
}

TEST_F(ActivityLog, ReadLogPartAtAndPastItsBound) {
    const std::string line(98, 'l');
    const std::string lines = line + "\r\n";
    struct Case {
        const char* label;
        std::string file;
        bool oldest;
        std::string read;
    } cases[] = {
        {"at the bound", std::string(kMaxLogRead, 'a'), false, std::string(kMaxLogRead, 'a')},
        {"two past, newest: read whole", "bb" + std::string(kMaxLogRead, 'a'), false,
         "bb" + std::string(kMaxLogRead, 'a')},
        {"three past, newest: the cut line goes",
         "bbb" + std::string(kMaxLogRead - 2, 'a') + "\r\n", false, ""},
        {"past, newest, cut at a line start", "bb\r\n" + std::string(kMaxLogRead - 2, 'a') + "\r\n",
         false, std::string(kMaxLogRead - 2, 'a') + "\r\n"},
        {"past, oldest: the cut line goes", lines + std::string(kMaxLogRead, 'a'), true, lines},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        disk.put(kLog, c.file);
        auto file = disk.open(kLog, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
        std::string read;
        ASSERT_TRUE(ReadLogPart(*file, file->size(), c.oldest, read)) << c.label;
        EXPECT_EQ(read.size(), c.read.size()) << c.label;
        EXPECT_EQ(read, c.read) << c.label;
    }
}

}  // namespace
}  // namespace qm
