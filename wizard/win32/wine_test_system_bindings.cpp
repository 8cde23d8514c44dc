// The installer's system bindings on the real system: folders by the
// exact-directory rule, DLL entry points, shell links and internet shortcuts.

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "common/win32/com_ptr.h"
#include "wizard/folders.h"
#include "wizard/win32/shell_shortcuts.h"
#include "wizard/win32/system_folders.h"
#include "wizard/win32/system_server_registration.h"

namespace qm::win32 {
namespace {

std::string TempFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

std::string BuildFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name);
    return path.substr(0, path.rfind('\\') + 1);
}

DWORD FixtureCalls(const char* entry) {
    HKEY key = nullptr;
    DWORD calls = 0;
    DWORD size = sizeof calls;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quellmark Tests\\Fixture", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        RegQueryValueExA(key, entry, nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size);
        RegCloseKey(key);
    }
    return calls;
}

template <typename Work>
DWORD WINAPI RunWork(void* work) {
    (*static_cast<Work*>(work))();
    return 0;
}

// Runs `work` on a thread of its own, which starts without COM or OLE.
template <typename Work>
void OnFreshThread(Work work) {
    HANDLE thread = CreateThread(nullptr, 0, &RunWork<Work>, &work, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

void Clean(const std::string& folder) {
    Folders& folders = SystemFolders();
    for (const char* sub : {"\\a\\b\\c", "\\a\\b", "\\a", ""}) {
        std::string path = folder + sub;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((path + "\\file.txt").c_str());
        folders.removeFolder(path);
    }
}

TEST(SystemFolders, EnsureFolderCreatesEveryLevelAndCountsOnlyPlainFolders) {
    Folders& folders = SystemFolders();
    const std::string root = TempFolder("qm-folders");
    Clean(root);
    const std::string deep = root + "\\a\\b\\c";
    EXPECT_FALSE(EnsureFolder(folders, deep, false));
    EXPECT_TRUE(EnsureFolder(folders, deep + "\\", true));
    EXPECT_TRUE(IsExistingFolder(folders, deep)) << "a new folder is a plain directory here too";

    ASSERT_TRUE(SetFileAttributesA(deep.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(folders.findAttributes(deep, attributes));
    EXPECT_NE(attributes, kAttributeDirectory) << "the system kept the hidden attribute";
    EXPECT_FALSE(IsExistingFolder(folders, deep));
    EXPECT_TRUE(EnsureFolder(folders, deep, true)) << "creating resets the attributes";
    EXPECT_TRUE(IsExistingFolder(folders, deep));

    HANDLE file = CreateFileA((root + "\\a\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);
    std::vector<std::string> names = folders.list(root + "\\a\\*.*");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "b", "file.txt"}));
    EXPECT_FALSE(folders.removeFolder(root + "\\a")) << "only an empty folder goes";
    EXPECT_FALSE(folders.deleteFile(root + "\\a\\b")) << "a folder is no file";
    EXPECT_TRUE(folders.deleteFile(root + "\\a\\file.txt"));
    EXPECT_TRUE(folders.list(root + "\\missing\\*.*").empty());
    Clean(root);
}

TEST(SystemServerRegistration, ReportsEachWayACallEnds) {
    const std::string fixture = BuildFolder() + "fixtures\\qm_fixture_server.dll";
    ServerRegistration& server = SystemServerRegistration();
    DWORD before = FixtureCalls("DllRegisterServer");
    SetEnvironmentVariableA("QM_FIXTURE_RESULT", nullptr);
    ServerCallResult done = ServerCallResult::EntryFailed;
    OnFreshThread([&] { done = server.call(fixture, "DllRegisterServer"); });
    EXPECT_EQ(done, ServerCallResult::Done);
    EXPECT_EQ(FixtureCalls("DllRegisterServer"), before + 1);
    EXPECT_EQ(GetModuleHandleA("qm_fixture_server.dll"), nullptr) << "the DLL is unloaded again";

    OnFreshThread([&] {
        SetEnvironmentVariableA("QM_FIXTURE_RESULT", "80004005");
        EXPECT_EQ(server.call(fixture, "DllUnregisterServer"), ServerCallResult::EntryFailed);
        SetEnvironmentVariableA("QM_FIXTURE_RESULT", "1");
        EXPECT_EQ(server.call(fixture, "DllUnregisterServer"), ServerCallResult::Done)
            << "S_FALSE is no failure";
        SetEnvironmentVariableA("QM_FIXTURE_RESULT", nullptr);
        EXPECT_EQ(server.call(BuildFolder() + "fixtures\\missing.dll", "DllRegisterServer"),
                  ServerCallResult::DllNotLoaded);
        EXPECT_EQ(server.call(fixture, "DllInstall"), ServerCallResult::EntryMissing);
    });

    OnFreshThread([&] {
        HRESULT first = OleInitialize(nullptr);
        EXPECT_EQ(first, S_OK);
        EXPECT_EQ(server.call(fixture, "DllRegisterServer"), ServerCallResult::OleInitFailed)
            << "OLE set up by someone else on this thread";
        if (SUCCEEDED(first)) OleUninitialize();
        EXPECT_EQ(OleInitialize(nullptr), S_OK) << "the call left OLE as it found it";
        OleUninitialize();
    });
    EXPECT_EQ(FixtureCalls("DllRegisterServer"), before + 1);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellmark Tests\\Fixture");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellmark Tests");
}

TEST(ShellShortcuts, SavesLinksAndInternetShortcutsTheShellReadsBack) {
    const std::string folder = TempFolder("qm-shortcuts");
    CreateDirectoryA(folder.c_str(), nullptr);
    ShortcutWriter& shortcuts = ShellShortcuts();
    ASSERT_TRUE(shortcuts.begin());
    const std::string link = folder + "\\quellmark Help.lnk";
    EXPECT_TRUE(shortcuts.saveLink(link, "C:\\Program Files\\Marrow Labs\\quellmark\\qmhelp.chm",
                                   "quellmark Help and Documentation"));
    const std::string url = folder + "\\Marrow Labs Online.url";
    EXPECT_TRUE(shortcuts.saveInternetShortcut(url, "http://www.marrowlabs.example/"));
    EXPECT_FALSE(
        shortcuts.saveLink(folder + "\\" + std::string(260, 'x') + ".lnk", "C:\\x", "too long"));
    EXPECT_FALSE(shortcuts.saveLink(folder + "\\missing\\a.lnk", "C:\\x", "no folder"));

    ComPtr<IShellLinkA> reader;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reader.putVoid())));
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(reader.as<IPersistFile>(IID_IPersistFile)->Load(wide, STGM_READ)));
    char text[MAX_PATH] = {};
    reader->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    EXPECT_STRCASEEQ(text, "C:\\Program Files\\Marrow Labs\\quellmark\\qmhelp.chm");
    reader->GetDescription(text, MAX_PATH);
    EXPECT_STREQ(text, "quellmark Help and Documentation");
    reader.reset();
    shortcuts.end();

    char address[256] = {};
    GetPrivateProfileStringA("InternetShortcut", "URL", "", address, sizeof address, url.c_str());
    EXPECT_STREQ(address, "http://www.marrowlabs.example/");
    DeleteFileA(link.c_str());
    DeleteFileA(url.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(SystemProgramsFolders, NameBothStartMenuFolders) {
    ProgramsFolders& programs = SystemProgramsFolders();
    std::string common = programs.common();
    std::string user = programs.user();
    EXPECT_FALSE(common.empty());
    EXPECT_FALSE(user.empty());
    EXPECT_NE(common, user);
    EXPECT_NE(GetFileAttributesA(user.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace qm::win32
