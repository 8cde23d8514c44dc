// The activity log on real files through CreateFileA: appends, trims and the
// sharing that keeps a viewer's read and other windows' handles safe.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32/file_system_win32.h"
#include "log/activity_log.h"

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
        rewrite = folder + "qml.tmp";
        DeleteFileA(log.c_str());
        DeleteFileA(rewrite.c_str());
    }
    void TearDown() override {
        DeleteFileA(log.c_str());
        DeleteFileA(rewrite.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "a file was left in " << folder;
    }

    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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
    std::string folder, module, log, rewrite;
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
        EXPECT_FALSE(Exists(rewrite)) << c.label;
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
    EXPECT_FALSE(Exists(rewrite));

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
    EXPECT_FALSE(Exists(rewrite));
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

}  // namespace
}  // namespace qm
