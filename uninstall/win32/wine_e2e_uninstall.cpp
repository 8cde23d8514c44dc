// uninstall.exe driven from outside, end to end, after a real installation:
// what it removes, what it leaves for others, and how it removes itself.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "wizard/win32/e2e/product_state.h"
#include "wizard/win32/e2e/wizard_driver.h"
#include "wizard/win32/e2e/wizard_runs.h"

namespace qm::e2e {
namespace {

std::string TempScript() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + "qmdel.bat";
}

// The script runs once the uninstaller has ended, at idle priority.
bool GoneWithin(const std::string& path, DWORD timeout = 30000) {
    return WaitUntil([&] { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                     timeout);
}

class UninstallerEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        RemoveProduct();
        ASSERT_TRUE(InstallWithWizard());
        clsid = RegisteredClsid();
        ASSERT_FALSE(clsid.empty());
    }
    void TearDown() override {
        RemoveProduct();
        RemoveTree(MakerFolder());
        OleUninitialize();
    }

    std::string clsid;
};

TEST_F(UninstallerEndToEnd, RemovesEverythingAndThenItself) {
    const std::string folder = InstallFolder();
    for (const char* name : {"qmr.dat", "qml.dat", "qml.tmp", "qmr3F2A.tmp"}) {
        ASSERT_TRUE(WriteFileBytes(folder + "\\" + name, "the band's"));
    }
    // The script must not loop for ever on a read-only uninstaller.
    ASSERT_TRUE(SetFileAttributesA((folder + "\\uninstall.exe").c_str(), FILE_ATTRIBUTE_READONLY));
    // The browser's caches of the bar categories, as it leaves them after a start.
    const std::pair<HKEY, std::string> caches[] = {
        {HKEY_CLASSES_ROOT, "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum"},
        {HKEY_CURRENT_USER,
         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\"
         "Component Categories\\{00021493-0000-0000-C000-000000000046}\\Enum"},
        {HKEY_CURRENT_USER,
         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\"
         "Component Categories\\{00021494-0000-0000-C000-000000000046}\\Enum"},
    };
    for (const auto& [root, path] : caches) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Implementing", 0, REG_BINARY, reinterpret_cast<const BYTE*>("bars"),
                       4);
        RegCloseKey(key);
    }
    ASSERT_TRUE(UninstallWithWizard("uninstall"));
    for (const auto& [root, path] : caches) EXPECT_FALSE(KeyExists(root, path)) << path;

    EXPECT_TRUE(GoneWithin(folder + "\\uninstall.exe")) << "the script deletes the uninstaller";
    EXPECT_TRUE(GoneWithin(folder)) << "then the install folder";
    EXPECT_TRUE(GoneWithin(MakerFolder())) << "and the maker's folder it was alone in";
    EXPECT_TRUE(GoneWithin(TempScript())) << "and itself";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + clsid));
    EXPECT_TRUE(ClassRegistration().empty()) << "ProgIDs, class and type library are gone";
    EXPECT_FALSE(FolderExists(StartMenuFolder()));
    EXPECT_FALSE(FolderExists(CommonPrograms() + "\\Marrow Labs"));
}

// Installed into a folder of their own through Browse (the desktop, the
// documents): the user's files stay, and with them the folder.
TEST_F(UninstallerEndToEnd, LeavesTheUsersFilesAndTheirFolder) {
    const std::string folder = InstallFolder();
    const std::string notes = folder + "\\my notes.txt";
    const std::string photos = folder + "\\photos";
    ASSERT_TRUE(WriteFileBytes(notes, "the user's"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\qmr.dat", "rules"));
    ASSERT_TRUE(CreateDirectoryA(photos.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(photos + "\\qmr.dat", "a file of the user's named like ours"));

    ASSERT_TRUE(UninstallWithWizard());
    EXPECT_TRUE(GoneWithin(folder + "\\uninstall.exe"));
    EXPECT_TRUE(GoneWithin(TempScript())) << "the script ran to its end";
    EXPECT_EQ(ReadFileBytes(notes), "the user's");
    std::vector<std::string> entries = FolderEntries(folder);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"my notes.txt", "photos"}));
    EXPECT_TRUE(FileExists(photos + "\\qmr.dat"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_TRUE(ClassRegistration().empty());
}

// A browser window still open: the DLL cannot go, and the uninstaller says
// so before it changes anything, so that it can be run again.
TEST_F(UninstallerEndToEnd, ADllABrowserHoldsStopsItBeforeAnyChange) {
    const std::string dll = InstallFolder() + "\\quellmark.dll";
    HMODULE browser = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_TRUE(browser);
    {
        ChildProcess uninstall("\"" + InstallFolder() + "\\uninstall.exe\"");
        HWND sheet = WaitForWizard(uninstall.id());
        ASSERT_TRUE(sheet);
        Click(GetDlgItem(sheet, kNext));
        MessageBoxSeen failed = WaitForMessageBox(uninstall.id());
        EXPECT_EQ(failed.text,
                  "error in uninstaller:  could not delete quellmark.dll (in use)\nclose all "
                  "Internet Explorer windows, then run uninstall again");
        Answer(failed, IDOK);
        EXPECT_TRUE(uninstall.waitForExit());
    }
    FreeLibrary(browser);
    EXPECT_EQ(FolderEntries(InstallFolder()).size(), 5u);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_EQ(RegisteredClsid(), clsid) << "still registered";

    ASSERT_TRUE(UninstallWithWizard()) << "with the browser closed it succeeds";
    EXPECT_TRUE(GoneWithin(MakerFolder()));
    EXPECT_TRUE(ClassRegistration().empty());
}

TEST_F(UninstallerEndToEnd, LeavesWhatOtherProductsOfTheMakerUse) {
    const std::string sibling = MakerFolder() + "\\otherproduct";
    ASSERT_TRUE(CreateDirectoryA(sibling.c_str(), nullptr));
    HKEY maker = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, KEY_ALL_ACCESS, &maker), 0);
    RegSetValueExA(maker, "Licence", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(maker);
    const std::string menuSibling = CommonPrograms() + "\\Marrow Labs\\otherproduct";
    ASSERT_TRUE(CreateDirectoryA(menuSibling.c_str(), nullptr));

    ASSERT_TRUE(UninstallWithWizard());
    EXPECT_TRUE(GoneWithin(InstallFolder()));
    EXPECT_TRUE(FolderExists(sibling));
    EXPECT_TRUE(FolderExists(MakerFolder()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kMakerKey, "Licence").data, std::string("x") + '\0');
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(FolderExists(StartMenuFolder()));
    EXPECT_TRUE(FolderExists(menuSibling));
    RemoveDirectoryA(menuSibling.c_str());
}

TEST_F(UninstallerEndToEnd, AFailedUnregistrationLeavesAProductToUninstallAgain) {
    const std::string dll = InstallFolder() + "\\quellmark.dll";
    const std::string moved = InstallFolder() + "\\quellmark.dl_";
    ASSERT_TRUE(MoveFileA(dll.c_str(), moved.c_str()));
    RegValue command = ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString");
    {
        ChildProcess uninstall("\"" + std::string(command.data.c_str()) + "\"");
        HWND sheet = WaitForWizard(uninstall.id());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(Text(GetDlgItem(sheet, kNext)), "Yes, Continue");
        EXPECT_EQ(Text(GetDlgItem(sheet, kCancel)), "Exit Installation");
        EXPECT_FALSE(IsShown(GetDlgItem(sheet, kBack)));
        Click(GetDlgItem(sheet, kNext));
        MessageBoxSeen failed = WaitForMessageBox(uninstall.id());
        EXPECT_EQ(failed.text, "Installer error: error loading dll");
        Answer(failed, IDOK);
        EXPECT_TRUE(uninstall.waitForExit());
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey)) << "the uninstaller still finds it";
    EXPECT_TRUE(FileExists(InstallFolder() + "\\uninstall.exe"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));

    ASSERT_TRUE(MoveFileA(moved.c_str(), dll.c_str()));
    ASSERT_TRUE(UninstallWithWizard()) << "the second attempt succeeds";
    EXPECT_TRUE(GoneWithin(MakerFolder()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey));
    EXPECT_TRUE(ClassRegistration().empty());
}

TEST_F(UninstallerEndToEnd, ExitOnTheQuestionChangesNothing) {
    ChildProcess uninstall("\"" + InstallFolder() + "\\uninstall.exe\"");
    HWND sheet = WaitForWizard(uninstall.id());
    ASSERT_TRUE(sheet);
    Click(GetDlgItem(sheet, kCancel));
    EXPECT_TRUE(uninstall.waitForExit());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_EQ(FolderEntries(InstallFolder()).size(), 5u);
    EXPECT_EQ(RegisteredClsid(), clsid);
}

}  // namespace
}  // namespace qm::e2e
