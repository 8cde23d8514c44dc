// Installations that fail part way: each failure shows its message, ends
// the wizard, and leaves what was written before it. The installers with a
// DLL that cannot register or a damaged packaged file are made from the real
// one with the system's resource updater.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "wizard/testing/pack_file.h"
#include "wizard/win32/e2e/product_state.h"
#include "wizard/win32/e2e/wizard_driver.h"
#include "wizard/win32/e2e/wizard_runs.h"

namespace qm::e2e {
namespace {

BOOL CALLBACK FirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// A copy of the installer whose packaged file `resource` holds `bytes` (as
// they are: pack a file first), or is missing when `bytes` is null.
std::string ChangedInstaller(const char* name, int resource, const std::string* bytes) {
    std::string copy = BuildFolder() + "fixtures\\" + name + ".exe";
    if (!CopyFileA(SetupProgram().c_str(), copy.c_str(), FALSE)) return {};
    WORD language = 0;
    HMODULE original = LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EnumResourceLanguagesA(original, "FILES", MAKEINTRESOURCEA(resource), &FirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(original);
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (!update) return {};
    UpdateResourceA(update, "FILES", MAKEINTRESOURCEA(resource), language, nullptr, 0);
    if (bytes) {
        UpdateResourceA(update, "FILES", MAKEINTRESOURCEA(resource), language,
                        const_cast<char*>(bytes->data()), static_cast<DWORD>(bytes->size()));
    }
    return EndUpdateResourceA(update, FALSE) ? copy : std::string();
}

class InstallerFailures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        RemoveProduct();
    }
    void TearDown() override {
        SetEnvironmentVariableA("QM_FIXTURE_RESULT", nullptr);
        RemoveProduct();
        OleUninitialize();
    }
};

TEST_F(InstallerFailures, ADllThatCannotRegisterLeavesNoUninstallEntry) {
    const std::string fixture = ReadFileBytes(BuildFolder() + "fixtures\\qm_fixture_server.dll");
    InstallRun run;
    const std::string packed = testing::PackFile(fixture);
    run.program = ChangedInstaller("setup-failing-dll", 199, &packed);
    run.screenshots = "setup-failure-registration";
    ASSERT_FALSE(run.program.empty());
    SetEnvironmentVariableA("QM_FIXTURE_RESULT", "80004005");
    std::string message;
    ASSERT_TRUE(InstallFailingWith(run, message));
    EXPECT_EQ(message, "Installer error: could not register dll");
    EXPECT_EQ(ReadFileBytes(InstallFolder() + "\\quellmark.dll"), fixture);
    EXPECT_EQ(FolderEntries(InstallFolder()).size(), 5u) << "the files stay";
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kSettingsKey).size(), 13u) << "the settings stay";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(FolderExists(StartMenuFolder()));
    DeleteFileA(run.program.c_str());
}

TEST_F(InstallerFailures, AFileThatCannotBeWrittenStopsTheInstallation) {
    // A folder where the help file goes: the file cannot be created.
    ASSERT_TRUE(CreateDirectoryA(MakerFolder().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(InstallFolder().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((InstallFolder() + "\\qmhelp.chm").c_str(), nullptr));
    InstallRun run;
    run.screenshots = "setup-failure-extract";
    std::string message;
    ASSERT_TRUE(InstallFailingWith(run, message));
    EXPECT_EQ(message, "Installer error:\ncould not extract file");
    EXPECT_EQ(FolderEntries(InstallFolder()), std::vector<std::string>{"qmhelp.chm"})
        << "no file of the failed installation stays";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey)) << "nothing after it happened";
    EXPECT_TRUE(RegisteredClsid().empty());
}

// The help file open in a viewer that lets no one move it: the new files
// cannot all take their places, and the installation before stays whole.
TEST_F(InstallerFailures, AReinstallationThatFailsLeavesTheInstallationBeforeIt) {
    ASSERT_TRUE(InstallWithWizard());
    const std::string folder = InstallFolder();
    const std::string dll = ReadFileBytes(folder + "\\quellmark.dll");
    ASSERT_TRUE(WriteFileBytes(folder + "\\EULA.txt", "the licence installed before"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\readme.txt", "the readme installed before"));
    HANDLE viewer = CreateFileA((folder + "\\qmhelp.chm").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    InstallRun run;
    run.screenshots = "setup-failure-reinstall";
    std::string message;
    bool failed = InstallFailingWith(run, message);
    CloseHandle(viewer);
    ASSERT_TRUE(failed);
    EXPECT_EQ(message, "Installer error:\ncould not extract file");
    EXPECT_EQ(ReadFileBytes(folder + "\\EULA.txt"), "the licence installed before");
    EXPECT_EQ(ReadFileBytes(folder + "\\readme.txt"), "the readme installed before");
    EXPECT_EQ(ReadFileBytes(folder + "\\quellmark.dll"), dll);
    std::vector<std::string> entries = FolderEntries(folder);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"EULA.txt", "qmhelp.chm", "quellmark.dll",
                                                 "readme.txt", "uninstall.exe"}))
        << "no temporary file is left";
    EXPECT_FALSE(RegisteredClsid().empty()) << "the installation before is still registered";
}

TEST_F(InstallerFailures, AFolderTooLongForItsFilesFailsWithTheProceduresOwnMessage) {
    // The system's paths end at 259 characters: a folder of 247 can be made
    // but no packaged file's name fits below it; one of 300 cannot be made.
    const std::string parent = "C:\\qm-e2e-long";
    const struct {
        std::string folder;
        const char* message;
        bool made;
    } cases[] = {
        {parent + "\\" + std::string(232, 'q'), "Installer error:\ncould not extract file", true},
        {parent + "\\" + std::string(200, 'q') + "\\" + std::string(84, 'm'),
         "Installer error:\ncould not create directory", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.size());
        RemoveTree(parent);
        InstallRun run;
        run.folder = c.folder;
        std::string message;
        ASSERT_TRUE(InstallFailingWith(run, message));
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(FolderExists(c.folder), c.made);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey)) << "nothing after the failure";
        EXPECT_FALSE(FolderExists(InstallFolder())) << "nothing in the proposed folder";
        RemoveTree(parent);
    }
}

TEST_F(InstallerFailures, ADamagedPackagedFileIsNotWritten) {
    // The help file's packed bytes with their last byte, the end of the
    // stream's sum, changed.
    HMODULE setup = LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(setup);
    HRSRC found = FindResourceA(setup, MAKEINTRESOURCEA(200), "FILES");
    ASSERT_TRUE(found);
    std::string damaged(static_cast<const char*>(LockResource(LoadResource(setup, found))),
                        SizeofResource(setup, found));
    FreeLibrary(setup);
    damaged.back() = static_cast<char>(damaged.back() ^ 1);
    InstallRun run;
    run.program = ChangedInstaller("setup-damaged-help", 200, &damaged);
    run.screenshots = "setup-failure-damaged";
    ASSERT_FALSE(run.program.empty());
    std::string message;
    ASSERT_TRUE(InstallFailingWith(run, message));
    EXPECT_EQ(message, "Installer error:\ncould not extract file");
    EXPECT_FALSE(FileExists(InstallFolder() + "\\qmhelp.chm")) << "no cut or changed file";
    EXPECT_TRUE(FolderEntries(InstallFolder()).empty()) << "no file of the failed installation";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMakerKey));
    DeleteFileA(run.program.c_str());
}

}  // namespace
}  // namespace qm::e2e
