// The uninstaller's registry and shell bindings on the real system: trees
// of keys, the maker key's contents, and the hidden script started after it.

#include <windows.h>

#include <gtest/gtest.h>

#include "uninstall/self_delete_script.h"
#include "uninstall/win32/system_uninstall.h"

namespace qm::win32 {
namespace {

const char kTestKey[] = "Software\\Quellmark Tests\\Uninstall";

void SetString(const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

TEST(SystemUninstallRegistry, DeletesWholeTreesAndReadsTheirContents) {
    UninstallRegistry& registry = SystemUninstallRegistry();
    const std::string root = kTestKey;
    SetString(root, "", "default");
    SetString(root + "\\quellmark", "Path", "C:\\Program Files\\Marrow Labs\\quellmark");
    SetString(root + "\\quellmark\\deep\\deeper", "x", "y");
    SetString(root + "\\quellmark", "Long", std::string(260, 'p'));

    KeyContents contents;
    ASSERT_TRUE(registry.contents(Hive::CurrentUser, root, contents));
    EXPECT_EQ(contents.subkeys, 1u);
    EXPECT_EQ(contents.valueNames, std::vector<std::string>{""});

    std::string path;
    EXPECT_TRUE(registry.canOpen(Hive::CurrentUser, root + "\\quellmark"));
    EXPECT_TRUE(registry.readString(Hive::CurrentUser, root + "\\quellmark", "Path", path));
    EXPECT_EQ(path, "C:\\Program Files\\Marrow Labs\\quellmark");
    EXPECT_FALSE(registry.readString(Hive::CurrentUser, root + "\\quellmark", "Long", path))
        << "longer than a folder name can be";
    EXPECT_FALSE(registry.readString(Hive::CurrentUser, root + "\\quellmark", "None", path));

    EXPECT_TRUE(registry.deleteTree(Hive::CurrentUser, root + "\\quellmark"));
    EXPECT_FALSE(registry.canOpen(Hive::CurrentUser, root + "\\quellmark"));
    ASSERT_TRUE(registry.contents(Hive::CurrentUser, root, contents));
    EXPECT_EQ(contents.subkeys, 0u);
    EXPECT_TRUE(MakerKeyMayGo(contents));
    EXPECT_FALSE(registry.deleteTree(Hive::CurrentUser, root + "\\quellmark"));
    EXPECT_TRUE(registry.deleteTree(Hive::CurrentUser, "Software\\Quellmark Tests"));
}

TEST(SystemUninstallShell, StartsTheScriptHiddenAndItRuns) {
    UninstallShell& shell = SystemUninstallShell();
    std::string temp = shell.tempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    EXPECT_EQ(shell.ownFileName(), own);

    const std::string folder = temp + "qm script test";
    const std::string marker = folder + "\\marker.txt";
    const std::string script = folder + "\\run me.bat";
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string text = "echo done > \"" + marker + "\"\r\ndel \"" + script + "\"\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    int priority = GetThreadPriority(GetCurrentThread());
    DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    ASSERT_TRUE(shell.startScript(script));
    SetThreadPriority(GetCurrentThread(), priority);
    SetPriorityClass(GetCurrentProcess(), priorityClass);

    DWORD start = GetTickCount();
    while (GetFileAttributesA(script.c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < 30000) {
        Sleep(50);
    }
    EXPECT_EQ(GetFileAttributesA(script.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the script ran to its end and deleted itself";
    EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(marker.c_str());
    RemoveDirectoryA(folder.c_str());
}

bool GoneWithin(const std::string& path, DWORD timeout) {
    DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeout) return false;
        Sleep(50);
    }
    return true;
}

// The self-delete script as the uninstaller writes it, run by the real
// interpreter on names it could misread: a '%', a letter beyond ASCII, and
// a read-only program.
TEST(SystemUninstallShell, TheSelfDeleteScriptRemovesWhatItNames) {
    UninstallShell& shell = SystemUninstallShell();
    const std::string maker = shell.tempFolder() + "qm J\xFCrgen 100% %OS%";
    const std::string folder = maker + "\\caf\xE9";
    const std::string program = folder + "\\uninstall.exe";
    const std::string script = shell.tempFolder() + "qm self-delete test.bat";
    ASSERT_TRUE(CreateDirectoryA(maker.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    HANDLE file = CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    std::string text;
    ASSERT_TRUE(shell.toScriptCodePage(SelfDeleteScript(program, folder, maker, script), text));
    file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, text.size());

    int priority = GetThreadPriority(GetCurrentThread());
    DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    ASSERT_TRUE(shell.startScript(script));
    SetThreadPriority(GetCurrentThread(), priority);
    SetPriorityClass(GetCurrentProcess(), priorityClass);

    EXPECT_TRUE(GoneWithin(script, 30000)) << "the script ran to its end";
    EXPECT_EQ(GetFileAttributesA(program.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(maker.c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(maker.c_str());
    DeleteFileA(script.c_str());
}

TEST(SystemUninstallShell, ConvertsTheScriptIntoTheInterpretersCodePage) {
    if (GetACP() != 1252 || GetOEMCP() != 437) {
        GTEST_SKIP() << "written for the code pages 1252 and 437, not " << GetACP() << " and "
                     << GetOEMCP();
    }
    UninstallShell& shell = SystemUninstallShell();
    const struct {
        std::string ansi;
        bool converts;
        std::string oem;
    } cases[] = {
        {"del \"C:\\x\\uninstall.exe\"\r\n", true, "del \"C:\\x\\uninstall.exe\"\r\n"},
        {"J\xFCrgen caf\xE9", true, "J\x81rgen caf\x82"},
        {"price \x80", false, ""},  // the euro sign: no such letter in 437
        {"\x8A\x9E", false, ""},    // Š, ž: 437 would give S and z, other names
    };
    for (const auto& c : cases) {
        std::string converted;
        EXPECT_EQ(shell.toScriptCodePage(c.ansi, converted), c.converts) << c.ansi;
        if (c.converts) EXPECT_EQ(converted, c.oem) << c.ansi;
    }
}

}  // namespace
}  // namespace qm::win32
