// The core's seams bound to the real system: code page, clock and files.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/code_page.h"
#include "common/win32/file_system_win32.h"

namespace qm {
namespace {

TEST(Win32CodePage, ConvertsThroughTheAnsiCodePage) {
    const CodePage& cp = systemCodePage();
    EXPECT_EQ(cp.toWide("Popup 42"), L"Popup 42");
    EXPECT_EQ(cp.toAnsi(L"Popup 42"), "Popup 42");
    EXPECT_EQ(cp.toWide(""), L"");
    EXPECT_FALSE(cp.isLeadByte('/'));
}

TEST(Win32Clock, ShowsTheLocalTime) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    LocalTime now = systemClock().localTime();
    EXPECT_EQ(now.year, before.wYear);
    EXPECT_EQ(now.month, before.wMonth);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.hour, 23);
}

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qm-files-test\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "a.dat";
        DeleteFileA(path.c_str());
        DeleteFileA((folder + "b.dat").c_str());
    }
    void TearDown() override {
        DeleteFileA(path.c_str());
        DeleteFileA((folder + "b.dat").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string Read(const std::string& name) {
        auto file = files.open(name, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
        std::string data;
        if (file) file->read(1 << 16, data);
        return data;
    }

    FileSystem& files = win32::SystemFileSystem();
    std::string folder;
    std::string path;
};

TEST_F(Win32Files, ExclusiveReaderKeepsWritersOut) {
    auto writer = files.open(path, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->write("one\r\n"));
    writer.reset();

    auto reader = files.open(path, FileAccess::Read, kShareNone, FileDisposition::OpenExisting);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->size(), 5);
    EXPECT_FALSE(files.open(path, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways));
    EXPECT_FALSE(files.remove(path));
    reader.reset();

    writer = files.open(path, FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->seekToEnd());
    EXPECT_TRUE(writer->write("two\r\n"));
    writer.reset();
    EXPECT_EQ(Read(path), "one\r\ntwo\r\n");
}

TEST_F(Win32Files, ReplaceMovesOntoAnExistingFile) {
    const std::string other = folder + "b.dat";
    for (const auto& [name, text] : {std::pair{path, "old"}, std::pair{other, "new"}}) {
        auto file = files.open(name, FileAccess::Write, kShareNone, FileDisposition::CreateAlways);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write(text));
    }
    EXPECT_TRUE(files.replace(other, path));
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(files.remove(path));
}

TEST_F(Win32Files, ModuleFileNameIsOurExecutable) {
    std::string name = win32::ModuleFileName(reinterpret_cast<const void*>(&systemClock));
    ASSERT_GT(name.size(), 4u);
    EXPECT_EQ(name.substr(name.size() - 4), ".exe");
    EXPECT_NE(name.find('\\'), std::string::npos);
}

}  // namespace
}  // namespace qm
