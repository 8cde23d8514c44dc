// QuellmarkSetup driven from outside, end to end, in the Wine prefix: the
// browser check, every wizard page, and what the installation leaves behind.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "wizard/win32/e2e/fake_browser.h"
#include "wizard/win32/e2e/product_state.h"
#include "wizard/win32/e2e/wizard_driver.h"
#include "wizard/win32/e2e/wizard_runs.h"

namespace qm::e2e {
namespace {

const char kCannotProceed[] =
    "Error!  Installation cannot proceed.\n\nAll running copies of Internet Explorer must be "
    "closed before quellmark can install properly.\n\nIf you want quellmark to try and close all "
    "copies of Internet Explorer for you, press the \"Close Internet Explorer for me\" button "
    "below.\n\nIf you would like to wait and close the windows your, press \"OK\" and close all "
    "instances of Internet Explorer, then try installing quellmark again.";
const char kCloseFailed[] =
    "There was a problem closing Internet Explorer.  Please close Internet Explorer manually and "
    "try to run the quellmark installation again.";

std::string Package(const char* name) {
    return BuildFolder() + "setup\\package\\" + name;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

int Width(HWND window) {
    RECT rect = ScreenRect(window);
    return rect.right - rect.left;
}

class InstallerEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        RemoveProduct();
    }
    void TearDown() override {
        RemoveProduct();
        OleUninitialize();
    }
};

TEST_F(InstallerEndToEnd, WalksThroughEveryPage) {
    ChildProcess setup("\"" + SetupProgram() + "\"");
    HWND sheet = WaitForWizard(setup.id());
    ASSERT_TRUE(sheet) << "no wizard";
    ASSERT_TRUE(WaitForPage(sheet, kWelcomePage));
    HWND back = GetDlgItem(sheet, kBack);
    HWND next = GetDlgItem(sheet, kNext);
    EXPECT_EQ(Text(next), "Install");
    EXPECT_FALSE(IsShown(back));
    EXPECT_EQ(Text(GetDlgItem(sheet, kCancel)), "Exit Installation");
    EXPECT_EQ(Text(CurrentPageWindow(sheet)), "quellmark v1.01 Installtion");
    EXPECT_EQ(ControlsOutside(CurrentPageWindow(sheet)), "") << "setup-1-welcome";
    Screenshot(sheet, "setup-1-welcome");

    Click(next);
    ASSERT_TRUE(WaitForPage(sheet, kOptionsPage));
    HWND options = CurrentPageWindow(sheet);
    EXPECT_NE(Text(next), "Install") << "Next has its own text again";
    EXPECT_TRUE(IsShown(back));
    EXPECT_EQ(Text(GetDlgItem(options, 1011)), InstallFolder());
    EXPECT_EQ(SendMessageA(GetDlgItem(options, 1015), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsShown(GetDlgItem(options, 1013))) << "no Reset for the proposed folder";
    int backWidth = Width(back);
    std::string backText = Text(back);
    EXPECT_EQ(ControlsOutside(CurrentPageWindow(sheet)), "") << "setup-2-options";
    Screenshot(sheet, "setup-2-options");
    // The folder browser runs with COM of its own, which must be gone again
    // when the procedure initialises OLE for the DLL.
    Click(GetDlgItem(options, 1012));
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        browser = WaitForDialogWith(setup.id(), 1, 100);
        return browser && FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    }));
    Click(GetDlgItem(browser, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));

    Click(next);
    MessageBoxSeen question = WaitForMessageBox(setup.id());
    EXPECT_EQ(question.caption, "Confirm");
    EXPECT_EQ(question.text, "Directory does not exist.  Create it?");
    Screenshot(question.window, "setup-2-options-create-folder");
    Answer(question, IDOK);
    ASSERT_TRUE(WaitForPage(sheet, kConfirmPage));
    EXPECT_EQ(Text(back), "< Make Changes");
    EXPECT_EQ(Text(next), "Confirm >");
    EXPECT_EQ(Width(back), backWidth + 30);
    std::string licence = Text(GetDlgItem(CurrentPageWindow(sheet), 1016));
    EXPECT_EQ(licence, ReadFileBytes(Package("EULA.txt")));
    EXPECT_FALSE(FolderExists(InstallFolder())) << "only the procedure creates the folder";
    EXPECT_EQ(ControlsOutside(CurrentPageWindow(sheet)), "") << "setup-3-confirm";
    Screenshot(sheet, "setup-3-confirm");

    Click(back);
    ASSERT_TRUE(WaitForPage(sheet, kOptionsPage));
    EXPECT_EQ(Text(back), backText);
    EXPECT_EQ(Width(back), backWidth) << "Back has its own width again";
    Click(next);
    Answer(WaitForMessageBox(setup.id()), IDOK);
    ASSERT_TRUE(WaitForPage(sheet, kConfirmPage));

    Click(next);
    ASSERT_TRUE(WaitForPage(sheet, kProgressPage));
    EXPECT_FALSE(IsEnabled(GetDlgItem(sheet, kCancel)));
    EXPECT_EQ(ControlsOutside(CurrentPageWindow(sheet)), "") << "setup-4-progress";
    Screenshot(sheet, "setup-4-progress");
    ASSERT_TRUE(WaitForPage(sheet, kFinishedPage)) << WaitForMessageBox(setup.id(), 1000).text;
    HWND finish = GetDlgItem(sheet, kFinish);
    EXPECT_EQ(Text(finish), "Finished");
    EXPECT_TRUE(IsShown(finish) && IsEnabled(finish));
    EXPECT_FALSE(IsEnabled(GetDlgItem(sheet, kCancel)));
    EXPECT_EQ(ControlsOutside(CurrentPageWindow(sheet)), "") << "setup-5-finished";
    Screenshot(sheet, "setup-5-finished");
    Click(finish);
    EXPECT_TRUE(setup.waitForExit());
}

TEST_F(InstallerEndToEnd, InstallsFilesSettingsShortcutsAndRegistration) {
    ASSERT_TRUE(InstallWithWizard());
    const std::string folder = InstallFolder();

    const char* files[] = {"quellmark.dll", "EULA.txt", "readme.txt", "uninstall.exe",
                           "qmhelp.chm"};
    for (const char* name : files) {
        std::string installed = ReadFileBytes(folder + "\\" + name);
        EXPECT_EQ(installed, ReadFileBytes(Package(name))) << name << " is not byte for byte";
        EXPECT_GT(installed.size(), 1000u) << name;
    }
    EXPECT_EQ(ReadFileBytes(folder + "\\quellmark.dll"),
              ReadFileBytes(OutputFolder() + "quellmark.dll"));
    EXPECT_EQ(ReadFileBytes(folder + "\\uninstall.exe"),
              ReadFileBytes(OutputFolder() + "uninstall.exe"));
    EXPECT_EQ(FolderEntries(folder).size(), 5u);

    const std::pair<const char*, DWORD> settings[] = {
        {"GuardLevel", 2},        {"LoadBare", 1},    {"CompleteBlock", 0}, {"ClearOnUnload", 1},
        {"AllowFlashScripts", 1}, {"FlashAlert", 1},  {"PopupListView", 3}, {"BandVisibility", 1},
        {"LogStopped", 1},        {"LogRecorded", 1}, {"MaxLogSize", 10},   {"LogFullAction", 0},
    };
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "Path"),
              (RegValue{REG_SZ, folder + std::string(1, '\0')}));
    for (const auto& [name, value] : settings) {
        EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name),
                  (RegValue{REG_DWORD, Dword(value)}))
            << name;
    }
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kSettingsKey).size(), 13u);

    const std::string uninstaller = folder + "\\Uninstall.exe" + std::string(1, '\0');
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayName"),
              (RegValue{REG_SZ, std::string("Marrow Labs quellmark") + '\0'}));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayIcon"),
              (RegValue{REG_SZ, uninstaller}));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString"),
              (RegValue{REG_SZ, uninstaller}));

    const struct {
        const char* item;
        const char* target;
        const char* description;
    } links[] = {
        {"EULA.lnk", "EULA.txt", "End User License Agreement for quellmark by Marrow Labs"},
        {"ReadMe.lnk", "readme.txt", "ReadMe information for quellmark by Marrow Labs"},
        {"Uninstall.lnk", "Uninstall.exe", "Uninstall quellmark by Marrow Labs"},
        {"quellmark Help.lnk", "qmhelp.chm", "quellmark Help and Documentation"},
    };
    for (const auto& link : links) {
        LinkSeen seen = ReadLink(StartMenuFolder() + "\\" + link.item);
        EXPECT_STRCASEEQ(seen.target.c_str(), (folder + "\\" + link.target).c_str()) << link.item;
        EXPECT_EQ(seen.description, link.description) << link.item;
    }
    std::string url = ReadFileBytes(StartMenuFolder() + "\\Marrow Labs Online.url");
    EXPECT_NE(url.find("URL=http://www.marrowlabs.example/"), std::string::npos) << url;
    EXPECT_EQ(FolderEntries(StartMenuFolder()).size(), 5u);

    // The installer's own call of DllRegisterServer leaves what regsvr32 leaves.
    RegistryTree byInstaller = ClassRegistration();
    ASSERT_FALSE(byInstaller.empty()) << "the class is not registered";
    std::string server = "CLSID\\" + RegisteredClsid() + "\\InprocServer32";
    EXPECT_STRCASEEQ(ReadValue(HKEY_CLASSES_ROOT, server, "").data.c_str(),
                     (folder + "\\quellmark.dll").c_str());
    const std::string dll = " \"" + folder + "\\quellmark.dll\"";
    EXPECT_EQ(RunToEnd("regsvr32.exe /s /u" + dll), 0u);
    EXPECT_TRUE(ClassRegistration().empty());
    EXPECT_EQ(RunToEnd("regsvr32.exe /s" + dll), 0u);
    EXPECT_EQ(ClassRegistration(), byInstaller);
}

TEST_F(InstallerEndToEnd, InstallingAgainResetsSettingsAndKeepsRulesAndLog) {
    ASSERT_TRUE(InstallWithWizard());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, &key), 0);
    DWORD changed = 0;
    RegSetValueExA(key, "GuardLevel", 0, REG_DWORD, reinterpret_cast<BYTE*>(&changed), 4);
    RegSetValueExA(key, "PopupListView", 0, REG_DWORD, reinterpret_cast<BYTE*>(&changed), 4);
    RegCloseKey(key);
    const std::string folder = InstallFolder();
    ASSERT_TRUE(WriteFileBytes(folder + "\\qmr.dat", "rules of the user\r\n"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\qml.dat", "log of the user\r\n"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\EULA.txt", "changed"));

    ASSERT_TRUE(InstallWithWizard());
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "GuardLevel").data, Dword(2));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "PopupListView").data, Dword(3));
    EXPECT_EQ(ReadFileBytes(folder + "\\qmr.dat"), "rules of the user\r\n");
    EXPECT_EQ(ReadFileBytes(folder + "\\qml.dat"), "log of the user\r\n");
    EXPECT_EQ(ReadFileBytes(folder + "\\EULA.txt"), ReadFileBytes(Package("EULA.txt")));
    EXPECT_EQ(FolderEntries(StartMenuFolder()).size(), 5u);
}

TEST_F(InstallerEndToEnd, WithoutTheStartMenuFolderMakesNoShortcuts) {
    InstallRun run;
    run.startMenu = false;
    ASSERT_TRUE(InstallWithWizard(run)) << "the bar still reaches the end";
    EXPECT_FALSE(FolderExists(CommonPrograms() + "\\Marrow Labs"));
    EXPECT_TRUE(FileExists(InstallFolder() + "\\quellmark.dll"));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kUninstallEntry).size(), 3u);
}

TEST_F(InstallerEndToEnd, OptionsPageChecksTheFolderBeforeGoingOn) {
    const std::string typed = "C:\\qm-e2e-options";
    RemoveTree(typed);
    ChildProcess setup("\"" + SetupProgram() + "\"");
    HWND sheet = WaitForWizard(setup.id());
    ASSERT_TRUE(sheet);
    Click(GetDlgItem(sheet, kNext));
    ASSERT_TRUE(WaitForPage(sheet, kOptionsPage));
    HWND options = CurrentPageWindow(sheet);
    HWND edit = GetDlgItem(options, 1011);
    HWND reset = GetDlgItem(options, 1013);

    SetText(edit, "");
    Click(GetDlgItem(sheet, kNext));
    MessageBoxSeen empty = WaitForMessageBox(setup.id());
    EXPECT_EQ(empty.text, "please enter a location");
    Answer(empty, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return Text(edit) == InstallFolder(); }));
    EXPECT_FALSE(IsShown(reset));
    EXPECT_EQ(CurrentPage(sheet), kOptionsPage);

    SetText(edit, typed + "\\");
    EXPECT_TRUE(WaitUntil([&] { return IsShown(reset); })) << "Reset is offered for another folder";
    Click(GetDlgItem(sheet, kNext));
    MessageBoxSeen question = WaitForMessageBox(setup.id());
    EXPECT_EQ(question.text, "Directory does not exist.  Create it?");
    Answer(question, IDCANCEL);
    EXPECT_EQ(CurrentPage(sheet), kOptionsPage) << "Cancel stays on the page";

    Click(reset);
    EXPECT_TRUE(WaitUntil([&] { return Text(edit) == InstallFolder() && !IsShown(reset); }));

    Click(GetDlgItem(options, 1012));
    HWND browser = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        browser = WaitForDialogWith(setup.id(), 1, 100);
        return browser && FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    })) << "no folder browser";
    if (browser) {
        Screenshot(browser, "setup-2-options-browse");
        Click(GetDlgItem(browser, IDCANCEL));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
    }
    EXPECT_EQ(Text(edit), InstallFolder()) << "a cancelled browser changes nothing";

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    SetText(edit, windows);
    Click(GetDlgItem(options, 1012));
    browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        browser = WaitForDialogWith(setup.id(), 1, 100);
        return browser && FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    }));
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(GetDlgItem(browser, IDOK)); }))
        << "the browser opens on the folder shown, a file-system folder";
    Click(GetDlgItem(browser, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
    EXPECT_STRCASEEQ(Text(edit).c_str(), windows);
    EXPECT_TRUE(IsShown(reset));
    Click(reset);
    EXPECT_TRUE(WaitUntil([&] { return Text(edit) == InstallFolder() && !IsShown(reset); }))
        << "Reset after browsing brings back the folder below Program Files";

    SetText(edit, typed + "\\");
    Click(GetDlgItem(sheet, kNext));
    Answer(WaitForMessageBox(setup.id()), IDOK);
    ASSERT_TRUE(WaitForPage(sheet, kConfirmPage));
    Click(GetDlgItem(sheet, kBack));
    ASSERT_TRUE(WaitForPage(sheet, kOptionsPage));
    EXPECT_EQ(Text(edit), typed) << "the folder is taken without its trailing backslash";
    EXPECT_TRUE(IsShown(reset));

    Click(GetDlgItem(sheet, kCancel));
    EXPECT_TRUE(setup.waitForExit()) << "Exit Installation ends the program";
    EXPECT_FALSE(FolderExists(typed));
    EXPECT_FALSE(FolderExists(InstallFolder()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey));
}

// The lab's stand-in browser, showing a page in its IEFrame until it is closed.
std::string StartLabBrowser() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string scenario = std::string(temp) + "qm-e2e-browser.txt";
    WriteFileBytes(scenario,
                   "page http://www.example.com/\r\n  title \"Example\"\r\nend\r\n"
                   "navigate http://www.example.com/\r\n");
    return "\"" + BuildFolder() + "lab\\quellmark-lab.exe\" --band none --keep-open \"" + scenario +
           "\"";
}

TEST_F(InstallerEndToEnd, ClosesTheBrowserForTheUser) {
    ChildProcess lab(StartLabBrowser());
    ASSERT_TRUE(lab.started());
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("IEFrame", nullptr) != nullptr; }))
        << "the lab shows no browser window";
    ChildProcess setup("\"" + SetupProgram() + "\"");
    HWND dialog = WaitForDialogWith(setup.id(), 1026);
    ASSERT_TRUE(dialog) << "no \"Installation Cannot Proceed\"";
    EXPECT_EQ(Text(dialog), "Installation Cannot Proceed");
    EXPECT_EQ(Text(GetDlgItem(dialog, 1027)), kCannotProceed);
    EXPECT_EQ(Text(GetDlgItem(dialog, 1026)), "Close Internet Explorer for me");
    Screenshot(dialog, "setup-0-cannot-proceed");
    Click(GetDlgItem(dialog, 1026));
    HWND sheet = WaitForWizard(setup.id());
    EXPECT_TRUE(sheet) << "the wizard starts once the browser is gone";
    EXPECT_EQ(FindWindowA("IEFrame", nullptr), nullptr);
    EXPECT_TRUE(lab.waitForExit()) << "the lab ends with its browser window";
    if (sheet) Click(GetDlgItem(sheet, kCancel));
    EXPECT_TRUE(setup.waitForExit());
}

TEST_F(InstallerEndToEnd, GivesUpOnABrowserThatStaysOpen) {
    FakeBrowserFrame browser(FakeBrowserFrame::OnClose::Refuse);
    ChildProcess setup("\"" + SetupProgram() + "\"");
    HWND dialog = WaitForDialogWith(setup.id(), 1026);
    ASSERT_TRUE(dialog);
    DWORD pressed = GetTickCount();
    Click(GetDlgItem(dialog, 1026));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(GetDlgItem(dialog, 1026)); }));
    EXPECT_FALSE(IsEnabled(GetDlgItem(dialog, IDOK)));
    MessageBoxSeen failed = WaitForMessageBox(setup.id());
    DWORD waited = GetTickCount() - pressed;
    EXPECT_EQ(failed.text, kCloseFailed);
    // Six ticks of 500 ms; a loaded machine only makes it later.
    EXPECT_GE(waited, 2500u);
    EXPECT_LE(waited, 20000u);
    EXPECT_TRUE(browser.open());
    Answer(failed, IDOK);
    EXPECT_TRUE(setup.waitForExit());
    EXPECT_FALSE(WaitForWizard(setup.id(), 0));
}

TEST_F(InstallerEndToEnd, OkInTheBrowserDialogEndsTheInstaller) {
    FakeBrowserFrame browser(FakeBrowserFrame::OnClose::Close);
    ChildProcess setup("\"" + SetupProgram() + "\"");
    HWND dialog = WaitForDialogWith(setup.id(), 1026);
    ASSERT_TRUE(dialog);
    Click(GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(setup.waitForExit());
    EXPECT_TRUE(browser.open()) << "the browser was not asked to close";
    EXPECT_EQ(browser.closeRequests(), 0);
}

}  // namespace
}  // namespace qm::e2e
