#include "log/log_viewer_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "common/testing/fake_clock.h"
#include "common/testing/memory_file_system.h"
#include "log/log_lines.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;

const std::string kModule = "C:\\qm\\quellmark.dll";
const std::string kLog = "C:\\qm\\qml.dat";

const LocalTime kFirst{2002, 7, 3, 3, 16, 5, 9, 0};
const LocalTime kSecond{2002, 7, 4, 4, 9, 30, 0, 0};
const LocalTime kThird{2003, 1, 3, 1, 0, 0, 1, 0};

class LogViewerModel : public ::testing::Test {
protected:
    // The log line of a popup to `url` stamped `when`.
    std::string Line(const wchar_t* url, bool stopped, LocalTime when) {
        clock.set(when);
        PopupRecord record;
        record.url = url;
        record.stopped = stopped ? 1 : 0;
        return record.ToLogLine();
    }
    std::string ThreeEntries() {
        return Line(L"http://one/", true, kFirst) + Line(L"http://two/", false, kSecond) +
               Line(L"http://three/", true, kThird);
    }
    // The urls of the rows, newest first.
    static std::wstring Rows(const LogViewerContent& content) {
        std::wstring shown;
        for (const LogRow& row : LogRowsNewestFirst(content.entries)) {
            shown += content.entries[row.entry].url + L"#" + std::to_wstring(row.icon) + L" ";
        }
        return shown;
    }

    testing::FakeClock clock{{1999, 12, 31, 5, 23, 59, 59, 0}};
    MemoryFileSystem files;
};

TEST_F(LogViewerModel, ThreeEntriesShowNewestFirstWithTheirStampsAndCounts) {
    files.put(kLog, ThreeEntries());
    clock.set({2010, 1, 1, 5, 0, 0, 0, 0});  // opening the viewer later
    LogViewerContent content = ReadLogForViewer(files, kModule);
    ASSERT_EQ(content.entries.size(), 3u);
    EXPECT_FALSE(content.readFailed);
    EXPECT_EQ(Rows(content), L"http://three/#1 http://two/#0 http://one/#1 ");
    EXPECT_EQ(content.entries[0].timeStamp, kFirst);
    EXPECT_EQ(content.entries[1].timeStamp, kSecond);
    EXPECT_EQ(content.entries[2].timeStamp, kThird);

    LogCounts counts = CountLogEntries(content.entries);
    EXPECT_EQ(counts.stopped, 2);
    EXPECT_EQ(counts.recordOnly, 1);
    EXPECT_EQ(counts.total, 3);
    EXPECT_TRUE(files.exists(kLog)) << "reading leaves the log alone";
}

TEST_F(LogViewerModel, LineEndsEmptyLinesAndZeroBytesDoNotChangeWhatIsShown) {
    const std::string one = Line(L"http://one/", true, kFirst);
    const std::string two = Line(L"http://two/", false, kSecond);
    const std::string unfinished = two.substr(0, two.size() - 2);
    struct Case {
        const char* label;
        std::string data;
        std::wstring rows;
    } cases[] = {
        {"plain", one + two, L"http://two/#0 http://one/#1 "},
        {"empty lines", "\r\n" + one + "\r\n\r\n" + two + "\r\n", L"http://two/#0 http://one/#1 "},
        {"no final line end", one + unfinished, L"http://two/#0 http://one/#1 "},
        {"data ends at a zero byte", one + std::string(1, '\0') + two, L"http://one/#1 "},
        {"empty file", "", L""},
    };
    for (const Case& c : cases) {
        files.put(kLog, c.data);
        LogViewerContent content = ReadLogForViewer(files, kModule);
        EXPECT_EQ(Rows(content), c.rows) << c.label;
        EXPECT_FALSE(content.readFailed) << c.label;
    }
}

TEST_F(LogViewerModel, ALogThatCannotBeReadIsDeleted) {
    struct Case {
        const char* label;
        std::set<std::string> MemoryFileSystem::*failure;
        bool alert;
    } cases[] = {
        {"cannot be opened", &MemoryFileSystem::failOpen, false},
        {"read fails", &MemoryFileSystem::failRead, true},
        {"size unknown", &MemoryFileSystem::failSize, true},
    };
    for (const Case& c : cases) {
        MemoryFileSystem broken;
        broken.put(kLog, ThreeEntries());
        (broken.*c.failure).insert(kLog);
        LogViewerContent content = ReadLogForViewer(broken, kModule);
        EXPECT_TRUE(content.entries.empty()) << c.label;
        EXPECT_EQ(content.readFailed, c.alert) << c.label;
        EXPECT_FALSE(broken.exists(kLog)) << c.label;
    }
}

TEST_F(LogViewerModel, NoLogAndABusyLogBothShowEmpty) {
    LogViewerContent none = ReadLogForViewer(files, kModule);
    EXPECT_TRUE(none.entries.empty());
    EXPECT_FALSE(none.readFailed);
    EXPECT_EQ(files.fileCount(), 0u);

    // A window appending at this instant: the viewer's exclusive open fails,
    // and the log, still open, cannot be deleted either.
    files.put(kLog, ThreeEntries());
    std::unique_ptr<File> writer =
        files.open(kLog, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    ASSERT_TRUE(writer);
    LogViewerContent busy = ReadLogForViewer(files, kModule);
    EXPECT_TRUE(busy.entries.empty());
    EXPECT_FALSE(busy.readFailed);
    EXPECT_EQ(files.contents(kLog), ThreeEntries());
}

TEST_F(LogViewerModel, ClearLogDeletesTheFile) {
    files.put(kLog, ThreeEntries());
    ClearLog(files, kModule);
    EXPECT_FALSE(files.exists(kLog));
    EXPECT_TRUE(ReadLogForViewer(files, kModule).entries.empty());
    LogCounts counts = CountLogEntries({});
    EXPECT_EQ(counts.stopped + counts.recordOnly + counts.total, 0);
}

// A damaged log, or one a registry value let grow past any limit, is read
// only as its newest whole lines: bounded memory and rows.
TEST_F(LogViewerModel, ALargeLogShowsOnlyItsNewestWholeLines) {
    auto url = [](std::size_t n) {
        std::wstring digits = std::to_wstring(n);
        return L"http://e/" + std::wstring(6 - digits.size(), L'0') + digits;
    };
    const std::size_t lineSize = Line(url(0).c_str(), false, kFirst).size();
    const std::size_t fit = kMaxLogRead / lineSize;
    struct Case {
        const char* label;
        std::size_t lines;
        std::size_t shown;  // the newest ones
    } cases[] = {
        {"within the bound", fit, fit},
        {"one line past it", fit + 1, fit},
        {"far past it", 5 * fit, fit},
    };
    for (const Case& c : cases) {
        std::string log;
        for (std::size_t n = 0; n < c.lines; ++n) log += Line(url(n).c_str(), false, kFirst);
        files.put(kLog, log);
        LogViewerContent content = ReadLogForViewer(files, kModule);
        EXPECT_FALSE(content.readFailed) << c.label;
        ASSERT_EQ(content.entries.size(), c.shown) << c.label;
        EXPECT_EQ(content.entries.front().url, url(c.lines - c.shown)) << c.label;
        EXPECT_EQ(content.entries.back().url, url(c.lines - 1)) << c.label;
    }
}

}  // namespace
}  // namespace qm
