// The activity log on real files through CreateFileA: appends, trims and the
// sharing that keeps a viewer's read and other windows' handles safe, and
// two windows trimming at once.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/file_system_win32.h"
#include "common/win32/unique_handle.h"
#include "log/activity_log.h"
#include "log/log_lines.h"

namespace qm {
namespace {

class Win32ActivityLog : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qm-log-test\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        module = folder + "quellmark.dll";
        log = folder + "qml.dat";
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(log.c_str());
    }
    void TearDown() override {
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(log.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "a file was left in " << folder;
    }

    // The names in the folder besides the log: copies a trim left.
    std::vector<std::string> Others() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = data.cFileName;
            if (name != "." && name != ".." && name != "qml.dat") names.push_back(name);
        } while (FindNextFileA(search, &data));
        FindClose(search);
        return names;
    }
    std::string ReadLog() {
        HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(no log)";
        std::string data(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
        CloseHandle(file);
        data.resize(got);
        return data;
    }
    // Popup `number`'s log line: 300 bytes and CR LF.
    static PopupRecord Popup(int number) {
        PopupRecord record;
        record.title = L"popup " + std::to_wstring(number);
        record.url = std::wstring(302 - record.ToLogLine().size(), L'u');
        return record;
    }
    void LogPopup(const PopupRecord& record, std::int32_t action) {
        AppendLogRecord(files, module, record);
        TrimLog(files, module, 1, action);
    }

    FileSystem& files = win32::SystemFileSystem();
    std::string folder, module, log;
};

TEST_F(Win32ActivityLog, FullLogUnderEachAction) {
    struct Case {
        const char* label;
        std::int32_t action;
        std::vector<int> kept;  // after seven popups
    };
    const Case cases[] = {
        {"remove oldest", kRemoveOldestEntries, {5, 6, 7}},
        {"stop recording", kStopRecordingEntries, {1, 2, 3}},
        {"clear entire log", kClearEntireLog, {7}},
    };
    for (const Case& c : cases) {
        DeleteFileA(log.c_str());
        std::vector<PopupRecord> popups;
        for (int n = 1; n <= 7; ++n) {
            popups.push_back(Popup(n));
            LogPopup(popups.back(), c.action);
        }
        std::string expected;
        for (int n : c.kept) expected += popups[n - 1].ToLogLine();
        EXPECT_EQ(ReadLog(), expected) << c.label;
        EXPECT_TRUE(Others().empty()) << c.label;
    }
}

TEST_F(Win32ActivityLog, ViewerHoldingTheLogKeepsAppendsAndTrimsOut) {
    PopupRecord first = Popup(1), second = Popup(2), third = Popup(3), fourth = Popup(4);
    for (const PopupRecord* record : {&first, &second, &third}) LogPopup(*record, 0);
    const std::string before = ReadLog();
    ASSERT_EQ(before, first.ToLogLine() + second.ToLogLine() + third.ToLogLine());

    HANDLE viewer = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    LogPopup(fourth, kRemoveOldestEntries);
    TrimLog(files, module, 0, kRemoveOldestEntries);
    CloseHandle(viewer);
    EXPECT_EQ(ReadLog(), before);
    EXPECT_TRUE(Others().empty());

    LogPopup(fourth, kRemoveOldestEntries);
    EXPECT_EQ(ReadLog(), second.ToLogLine() + third.ToLogLine() + fourth.ToLogLine());
}

TEST_F(Win32ActivityLog, AppendSharesTheLogWithAnotherWindowsAppend) {
    HANDLE otherWindow = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(otherWindow, INVALID_HANDLE_VALUE);
    PopupRecord record = Popup(1);
    AppendLogRecord(files, module, record);
    CloseHandle(otherWindow);
    EXPECT_EQ(ReadLog(), record.ToLogLine());
}

// The old log cannot be replaced while another handle has it open: the trim
// must then keep it whole rather than lose it.
TEST_F(Win32ActivityLog, TrimThatCannotReplaceTheLogKeepsIt) {
    std::string before;
    for (int n = 1; n <= 4; ++n) {
        PopupRecord record = Popup(n);
        AppendLogRecord(files, module, record);
        before += record.ToLogLine();
    }
    HANDLE otherTrim = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(otherTrim, INVALID_HANDLE_VALUE);
    TrimLog(files, module, 1, kRemoveOldestEntries);
    CloseHandle(otherTrim);
    EXPECT_EQ(ReadLog(), before);
    EXPECT_TRUE(Others().empty());
}

TEST_F(Win32ActivityLog, TrimRewritesAFileWithoutFinalLineEndOrEmptyLines) {
    std::string lines[5];
    for (int n = 1; n <= 4; ++n) lines[n] = Popup(n).ToLogLine();
    std::string content = "\r\n" + lines[1] + "\r\n" + lines[2] + lines[3] + lines[4];
    content.resize(content.size() - 2);
    HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);

    TrimLog(files, module, 1, kRemoveOldestEntries);
    EXPECT_EQ(ReadLog(), lines[2] + lines[3] + lines[4]);
}

TEST_F(Win32ActivityLog, TrimKeepsAReadOnlyLog) {
    std::string before;
    for (int n = 1; n <= 4; ++n) {
        PopupRecord record = Popup(n);
        AppendLogRecord(files, module, record);
        before += record.ToLogLine();
    }
    ASSERT_TRUE(SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY));
    TrimLog(files, module, 1, kRemoveOldestEntries);
    EXPECT_EQ(ReadLog(), before);
    EXPECT_TRUE(Others().empty());
}

struct LoggingWindow {
    const std::string* module;
    int popups;
};

DWORD WINAPI LogPopups(void* param) {
    auto* window = static_cast<LoggingWindow*>(param);
    for (int n = 0; n < window->popups; ++n) {
        PopupRecord record;
        record.title = L"popup " + std::to_wstring(n);
        record.url = std::wstring(200, L'u');
        AppendLogRecord(win32::SystemFileSystem(), *window->module, record);
        TrimLog(win32::SystemFileSystem(), *window->module, 1, kRemoveOldestEntries);
    }
    return 0;
}

// Two windows concluding captures at the same moment while the log is full:
// the log is never lost, holds whole lines only, and no copy stays behind.
TEST_F(Win32ActivityLog, TwoWindowsTrimmingAtOnceNeverLoseTheLog) {
    LoggingWindow windows[] = {{&module, 150}, {&module, 150}};
    win32::UniqueKernelHandle threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i].reset(CreateThread(nullptr, 0, LogPopups, &windows[i], 0, nullptr));
        ASSERT_TRUE(threads[i]);
    }
    for (auto& thread : threads) ASSERT_EQ(WaitForSingleObject(thread.get(), 60000), WAIT_OBJECT_0);
    const std::string content = ReadLog();
    ASSERT_NE(content, "(no log)");
    const std::vector<std::string> lines = SplitLogLines(content);
    EXPECT_FALSE(lines.empty());
    EXPECT_LE(content.size(), 1024u);
    for (const std::string& line : lines) {
        PopupRecord read;
        read.FromLogLine(line);
        EXPECT_EQ(read.url, std::wstring(200, L'u')) << "a line joined or cut";
    }
    EXPECT_TRUE(Others().empty());
}

}  // namespace
}  // namespace qm
