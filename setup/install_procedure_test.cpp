#include "setup/install_procedure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "common/testing/memory_file_system.h"
#include "common/testing/memory_registry.h"
#include "wizard/install_path.h"
#include "wizard/install_steps.h"
#include "wizard/testing/memory_folders.h"
#include "wizard/testing/procedure_fakes.h"

namespace qm {
namespace {

using testing::FakePrograms;
using testing::FakeServer;
using testing::MemoryFileSystem;
using testing::MemoryFolders;
using testing::MemoryRegistry;
using testing::RecordingPage;

const std::string kFolder = "C:\\Program Files\\Marrow Labs\\quellmark";
const std::string kSettings = "SOFTWARE\\Marrow Labs\\quellmark";
const std::string kEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marrow Labs quellmark";

class FakePackage : public InstallPackage {
public:
    FakePackage() {
        for (const PackagedFile& file : kPackagedFiles) {
            resources[file.resource] =
                std::string("bytes of ") + file.fileName + std::string(3, '\0');
        }
    }
    bool has(int resource) override { return resources.count(resource) != 0; }
    bool load(int resource, std::string_view& bytes) override {
        if (!has(resource) || unloadable.count(resource)) return false;
        bytes = resources[resource];
        return true;
    }

    std::map<int, std::string> resources;
    std::set<int> unloadable;
};

// MemoryRegistry with failures of single creations and values.
class FailingRegistry : public Registry {
public:
    explicit FailingRegistry(MemoryRegistry& inner) : inner_(inner) {}

    RegStatus openLocalMachine(const std::string& path, bool writable,
                               std::unique_ptr<RegistryKey>& key) override {
        if (failOpen.count(path)) return kRegAccessDenied;
        std::unique_ptr<RegistryKey> opened;
        RegStatus status = inner_.openLocalMachine(path, writable, opened);
        if (status == kRegSuccess) key = std::make_unique<Key>(*this, std::move(opened));
        return status;
    }
    RegStatus createLocalMachine(const std::string& parent, const std::string& sub,
                                 std::unique_ptr<RegistryKey>& key) override {
        if (failCreate.count(sub)) return kRegAccessDenied;
        std::unique_ptr<RegistryKey> created;
        RegStatus status = inner_.createLocalMachine(parent, sub, created);
        if (status == kRegSuccess) key = std::make_unique<Key>(*this, std::move(created));
        return status;
    }

    std::set<std::string> failOpen, failCreate, failValue;

private:
    class Key : public RegistryKey {
    public:
        Key(FailingRegistry& owner, std::unique_ptr<RegistryKey> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        RegStatus queryValue(const std::string& name, std::uint32_t& type,
                             std::string& data) const override {
            return inner_->queryValue(name, type, data);
        }
        RegStatus setValue(const std::string& name, std::uint32_t type, const void* data,
                           std::uint32_t size) override {
            if (owner_.failValue.count(name)) return kRegAccessDenied;
            return inner_->setValue(name, type, data, size);
        }

    private:
        FailingRegistry& owner_;
        std::unique_ptr<RegistryKey> inner_;
    };

    MemoryRegistry& inner_;
};

// The memory file system on a disk of limited room: a write beyond it puts
// what fits and fails, as on a full disk.
class LimitedDisk : public FileSystem {
public:
    explicit LimitedDisk(MemoryFileSystem& inner) : inner_(inner) {}

    std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                               FileDisposition disposition) override {
        std::unique_ptr<File> file = inner_.open(path, access, share, disposition);
        if (!file) return nullptr;
        return std::make_unique<Limited>(*this, std::move(file));
    }
    bool remove(const std::string& path) override { return inner_.remove(path); }
    bool replace(const std::string& from, const std::string& to) override {
        return inner_.replace(from, to);
    }
    bool exists(const std::string& path) const override { return inner_.exists(path); }
    std::vector<std::string> list(const std::string& pattern) override {
        return inner_.list(pattern);
    }
    std::string createTemporary(const std::string& folder, const std::string& prefix) override {
        return inner_.createTemporary(folder, prefix);
    }
    std::unique_ptr<FileLock> lock(const std::string& path) override { return inner_.lock(path); }

    std::size_t room = SIZE_MAX;

private:
    class Limited : public File {
    public:
        Limited(LimitedDisk& disk, std::unique_ptr<File> inner)
            : disk_(disk), inner_(std::move(inner)) {}
        std::int64_t size() override { return inner_->size(); }
        bool seekToStart() override { return inner_->seekToStart(); }
        bool seekToEnd() override { return inner_->seekToEnd(); }
        bool seekTo(std::int64_t offset) override { return inner_->seekTo(offset); }
        bool flush() override { return inner_->flush(); }
        bool read(std::size_t count, std::string& data) override {
            return inner_->read(count, data);
        }
        bool write(std::string_view data) override {
            std::size_t fits = std::min(data.size(), disk_.room);
            disk_.room -= fits;
            return inner_->write(data.substr(0, fits)) && fits == data.size();
        }

    private:
        LimitedDisk& disk_;
        std::unique_ptr<File> inner_;
    };

    MemoryFileSystem& inner_;
};

// Saves an item only into a folder that exists, as the shell does.
class FakeShortcuts : public ShortcutWriter {
public:
    explicit FakeShortcuts(MemoryFolders& folders) : folders_(folders) {}
    bool begin() override { return beginWorks; }
    bool saveLink(const std::string& path, const std::string& target,
                  const std::string& description) override {
        return save(path, "link to " + target + " | " + description);
    }
    bool saveInternetShortcut(const std::string& path, const std::string& address) override {
        return save(path, "address " + address);
    }
    void end() override { ++ends; }

    bool beginWorks = true;
    int ends = 0;
    std::map<std::string, std::string> saved;

private:
    bool save(const std::string& path, const std::string& what) {
        if (!folders_.isFolder(ParentFolder(path)) || folders_.exists(path)) return false;
        folders_.addFile(path);
        saved[path] = what;
        return true;
    }
    MemoryFolders& folders_;
};

// The system the installer meets; members are public so the tables can
// arrange them.
struct InstallTarget {
    InstallTarget() {
        folders.addFolder("C:");
        folders.addFolder("C:\\Program Files");
        folders.addFolder("C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
        folders.addFolder("C:\\Documents and Settings\\pat\\Start Menu\\Programs");
        memoryRegistry.addKey("SOFTWARE");
        memoryRegistry.addKey(kUninstallListKey);
    }

    bool Install(bool createStartMenu = true) {
        return RunInstall(system, InstallChoices{kFolder, createStartMenu});
    }
    std::string CommonMenu() const {
        return "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Marrow "
               "Labs\\quellmark";
    }
    std::string UserMenu() const {
        return "C:\\Documents and Settings\\pat\\Start Menu\\Programs\\Marrow Labs\\quellmark";
    }
    std::uint32_t Dword(const std::string& name) const {
        const MemoryRegistry::Value* value = memoryRegistry.value(kSettings, name);
        std::uint32_t number = 0xDEADBEEF;
        if (value && value->data.size() == 4) std::memcpy(&number, value->data.data(), 4);
        return number;
    }

    FakePackage package;
    MemoryFileSystem files;
    LimitedDisk disk{files};
    std::unique_ptr<File> held;  // an installed file, as another program has it open
    MemoryFolders folders;
    MemoryRegistry memoryRegistry;
    FailingRegistry registry{memoryRegistry};
    FakeServer server;
    FakePrograms programs;
    FakeShortcuts shortcuts{folders};
    RecordingPage page;
    InstallSystem system{package, disk, folders, registry, server, programs, shortcuts, page};
};

class InstallProcedure : public ::testing::Test, public InstallTarget {};

TEST_F(InstallProcedure, ReportsEveryStepOnThePage) {
    ASSERT_TRUE(Install());
    const std::vector<std::string> expected = {
        "text: Creating directory",
        "progress: 10",
        "text: Directory was created successfully",
        "text: Extracting \"quellmark.dll\"",
        "progress: 50",
        "text: Extracting \"eula.txt\"",
        "progress: 55",
        "progress: 60",
        "text: Extracting \"Uninstall.exe\"",
        "text: Extracting quellmark Help File",
        "progress: 70",
        "text: Creating Registry Keys",
        "progress: 80",
        "text: Writing Registry Values",
        "progress: 80",
        "text: Adding Start Menu shortcuts",
        "progress: 90",
        "text: Registering uninstaller",
        "text: Installation successfull",
        "progress: 100",
    };
    EXPECT_EQ(page.events, expected);
}

TEST_F(InstallProcedure, WritesTheFiveFilesWholeIntoTheNewFolder) {
    ASSERT_TRUE(Install());
    EXPECT_EQ(folders.created,
              (std::vector<std::string>{"C:\\Program Files\\Marrow Labs", kFolder,
                                        "C:\\Documents and Settings\\All Users\\Start "
                                        "Menu\\Programs\\Marrow Labs",
                                        CommonMenu()}));
    for (const PackagedFile& file : kPackagedFiles) {
        std::string path = kFolder + "\\" + file.fileName;
        ASSERT_TRUE(files.exists(path)) << path;
        EXPECT_EQ(files.contents(path), package.resources[file.resource]) << path;
    }
    EXPECT_EQ(files.fileCount(), 5u);
}

TEST_F(InstallProcedure, WritesTheSettingsInOrderWithTheInstallersFirstValues) {
    ASSERT_TRUE(Install());
    const MemoryRegistry::Values& values = memoryRegistry.values(kSettings);
    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"GuardLevel", 2},        {"LoadBare", 1},    {"CompleteBlock", 0}, {"ClearOnUnload", 1},
        {"AllowFlashScripts", 1}, {"FlashAlert", 1},  {"PopupListView", 3}, {"BandVisibility", 1},
        {"LogStopped", 1},        {"LogRecorded", 1}, {"MaxLogSize", 10},   {"LogFullAction", 0},
    };
    ASSERT_EQ(values.size(), 13u);
    EXPECT_EQ(values[0].first, "Path");
    EXPECT_EQ(values[0].second.type, kRegSz);
    EXPECT_EQ(values[0].second.data, kFolder + std::string(1, '\0')) << "with its terminating zero";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(values[i + 1].first, expected[i].first);
        EXPECT_EQ(values[i + 1].second.type, kRegDword) << expected[i].first;
        EXPECT_EQ(Dword(expected[i].first), expected[i].second) << expected[i].first;
    }
}

TEST_F(InstallProcedure, RegistersTheInstalledDllThenEntersTheUninstaller) {
    ASSERT_TRUE(Install());
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls[0].first, kFolder + "\\quellmark.dll");
    EXPECT_EQ(server.calls[0].second, "DllRegisterServer");
    const MemoryRegistry::Values& entry = memoryRegistry.values(kEntry);
    ASSERT_EQ(entry.size(), 3u);
    const std::string uninstaller = kFolder + "\\Uninstall.exe" + std::string(1, '\0');
    EXPECT_EQ(entry[0].first, "DisplayName");
    EXPECT_EQ(entry[0].second.data, std::string("Marrow Labs quellmark") + '\0');
    EXPECT_EQ(entry[1].first, "DisplayIcon");
    EXPECT_EQ(entry[1].second.data, uninstaller);
    EXPECT_EQ(entry[2].first, "UninstallString");
    EXPECT_EQ(entry[2].second.data, uninstaller);
    for (const auto& [name, value] : entry) EXPECT_EQ(value.type, kRegSz) << name;
}

TEST_F(InstallProcedure, PutsFiveItemsIntoTheAllUsersStartMenu) {
    ASSERT_TRUE(Install());
    const std::map<std::string, std::string> expected = {
        {CommonMenu() + "\\EULA.lnk",
         "link to " + kFolder +
             "\\EULA.txt | End User License Agreement for quellmark by Marrow Labs"},
        {CommonMenu() + "\\ReadMe.lnk",
         "link to " + kFolder + "\\readme.txt | ReadMe information for quellmark by Marrow Labs"},
        {CommonMenu() + "\\Uninstall.lnk",
         "link to " + kFolder + "\\Uninstall.exe | Uninstall quellmark by Marrow Labs"},
        {CommonMenu() + "\\quellmark Help.lnk",
         "link to " + kFolder + "\\qmhelp.chm | quellmark Help and Documentation"},
        {CommonMenu() + "\\Marrow Labs Online.url", std::string("address ") + kMakerHomePage},
    };
    EXPECT_EQ(shortcuts.saved, expected);
    EXPECT_EQ(shortcuts.ends, 1);
}

TEST_F(InstallProcedure, ReplacesShortcutsOfAnEarlierInstallation) {
    folders.addFolder(CommonMenu().substr(0, CommonMenu().size() - 10));
    folders.addFolder(CommonMenu());
    folders.addFile(CommonMenu() + "\\EULA.lnk");
    folders.addFile(CommonMenu() + "\\Marrow Labs Online.url");
    ASSERT_TRUE(Install());
    EXPECT_EQ(shortcuts.saved.size(), 5u);
}

TEST_F(InstallProcedure, MakesTheProductMenuFolderBelowAnExistingMakersFolder) {
    const std::string maker = CommonMenu().substr(0, CommonMenu().size() - 10);
    folders.addFolder(maker);
    folders.addFolder(maker + "\\Other Product");
    ASSERT_TRUE(Install());
    EXPECT_TRUE(folders.isFolder(CommonMenu()));
    EXPECT_EQ(shortcuts.saved.size(), 5u);
    EXPECT_TRUE(page.messages().empty());
}

TEST_F(InstallProcedure, WithoutStartMenuItemsStillFinishes) {
    ASSERT_TRUE(Install(false));
    EXPECT_TRUE(shortcuts.saved.empty());
    EXPECT_FALSE(folders.exists(CommonMenu()));
    EXPECT_FALSE(folders.exists(UserMenu()));
    EXPECT_EQ(
        std::count(page.events.begin(), page.events.end(), "text: Adding Start Menu shortcuts"), 0);
    auto ninety = std::find(page.events.begin(), page.events.end(), "progress: 90");
    ASSERT_NE(ninety, page.events.end());
    EXPECT_EQ(page.events.back(), "progress: 100");
    EXPECT_EQ(memoryRegistry.values(kEntry).size(), 3u);
}

struct MenuCase {
    const char* name;
    std::function<void(MemoryFolders&, FakePrograms&)> arrange;
    std::vector<std::string> messages;
    bool inUserMenu;  // else in the all-users menu, or nowhere when neither
    bool anywhere;
};

TEST_F(InstallProcedure, StartMenuFallsBackToTheUsersOwnPrograms) {
    const std::string commonMaker =
        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Marrow Labs";
    const std::string userMaker =
        "C:\\Documents and Settings\\pat\\Start Menu\\Programs\\Marrow Labs";
    const MenuCase cases[] = {
        {"all-users folder refused",
         [&](MemoryFolders& f, FakePrograms&) { f.failCreate.insert(commonMaker); },
         {},
         true,
         true},
        {"all-users product folder refused",
         [&](MemoryFolders& f, FakePrograms&) { f.failCreate.insert(commonMaker + "\\quellmark"); },
         {},
         true,
         true},
        {"no all-users Programs folder",
         [](MemoryFolders&, FakePrograms& p) { p.commonFolder.clear(); },
         {},
         true,
         true},
        {"user's maker folder refused too",
         [&](MemoryFolders& f, FakePrograms&) {
             f.failCreate.insert(commonMaker);
             f.failCreate.insert(userMaker);
         },
         {"there was an error creating start menu folder.  installation will continue."},
         false,
         false},
        {"user's product folder refused too",
         [&](MemoryFolders& f, FakePrograms&) {
             f.failCreate.insert(commonMaker);
             f.failCreate.insert(userMaker + "\\quellmark");
         },
         {"there was an error creating start menu icons.  installation will continue."},
         false,
         false},
        {"only the user's Programs folder, its maker folder refused",
         [&](MemoryFolders& f, FakePrograms& p) {
             p.commonFolder.clear();
             f.failCreate.insert(userMaker);
         },
         {},
         false,
         false},
        {"only the user's Programs folder, its product folder refused",
         [&](MemoryFolders& f, FakePrograms& p) {
             p.commonFolder.clear();
             f.failCreate.insert(userMaker + "\\quellmark");
         },
         {},
         false,
         false},
        {"no Programs folder at all",
         [](MemoryFolders&, FakePrograms& p) {
             p.commonFolder.clear();
             p.userFolder.clear();
         },
         {"there was an error accessing your programs groups.  installation will continue."},
         false,
         false},
    };
    for (const MenuCase& c : cases) {
        MemoryFolders caseFolders;
        caseFolders.addFolder("C:");
        caseFolders.addFolder("C:\\Program Files");
        caseFolders.addFolder("C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
        caseFolders.addFolder("C:\\Documents and Settings\\pat\\Start Menu\\Programs");
        FakePrograms casePrograms;
        c.arrange(caseFolders, casePrograms);
        FakeShortcuts caseShortcuts(caseFolders);
        RecordingPage casePage;
        MemoryRegistry caseRegistry;
        caseRegistry.addKey("SOFTWARE");
        caseRegistry.addKey(kUninstallListKey);
        MemoryFileSystem caseFiles;
        InstallSystem s{package, caseFiles,    caseFolders,   caseRegistry,
                        server,  casePrograms, caseShortcuts, casePage};
        EXPECT_TRUE(RunInstall(s, InstallChoices{kFolder, true})) << c.name;
        EXPECT_EQ(casePage.messages(), c.messages) << c.name;
        std::string expectedMenu = c.inUserMenu ? UserMenu() : CommonMenu();
        std::size_t inExpected = 0;
        for (const auto& [path, what] : caseShortcuts.saved) {
            inExpected += ParentFolder(path) == expectedMenu;
        }
        EXPECT_EQ(caseShortcuts.saved.size(), c.anywhere ? 5u : 0u) << c.name;
        EXPECT_EQ(inExpected, c.anywhere ? 5u : 0u) << c.name;
        EXPECT_EQ(casePage.events.back(), "progress: 100") << c.name;
    }
}

TEST_F(InstallProcedure, ShortcutsAreLeftOutQuietlyWithoutCom) {
    shortcuts.beginWorks = false;
    ASSERT_TRUE(Install());
    EXPECT_TRUE(shortcuts.saved.empty());
    EXPECT_EQ(shortcuts.ends, 0) << "COM was not initialised, so it is not uninitialised";
    EXPECT_TRUE(page.messages().empty());
}

TEST_F(InstallProcedure, InstallingAgainResetsSettingsAndKeepsRulesAndLog) {
    ASSERT_TRUE(Install());
    memoryRegistry.setDword(kSettings, "GuardLevel", 0);
    memoryRegistry.setDword(kSettings, "PopupListView", 1);
    files.put(kFolder + "\\qmr.dat", "rules");
    files.put(kFolder + "\\qml.dat", "log");
    files.put(kFolder + "\\quellmark.dll", "an older dll that was longer than the new one");
    page.events.clear();
    ASSERT_TRUE(Install());
    EXPECT_EQ(Dword("GuardLevel"), 2u);
    EXPECT_EQ(Dword("PopupListView"), 3u);
    EXPECT_EQ(memoryRegistry.values(kSettings).size(), 13u);
    EXPECT_EQ(files.contents(kFolder + "\\qmr.dat"), "rules");
    EXPECT_EQ(files.contents(kFolder + "\\qml.dat"), "log");
    EXPECT_EQ(files.contents(kFolder + "\\quellmark.dll"), package.resources[199]);
    EXPECT_EQ(files.fileCount(), 7u) << "five files, rules and log: no temporary file is left";
    EXPECT_TRUE(page.messages().empty());
}

TEST_F(InstallProcedure, AFailedReinstallationLeavesTheInstalledFilesAsTheyWere) {
    const std::string dll = kFolder + "\\quellmark.dll";
    const std::string help = kFolder + "\\qmhelp.chm";
    const std::size_t beforeHelp = package.resources[199].size() + package.resources[149].size() +
                                   package.resources[186].size() + package.resources[197].size();
    const struct {
        const char* name;
        std::function<void(InstallTarget&)> arrange;
    } cases[] = {
        {"the disk fills up in the dll", [](InstallTarget& t) { t.disk.room = 5; }},
        {"the disk fills up in the help file",
         [beforeHelp](InstallTarget& t) { t.disk.room = beforeHelp + 3; }},
        {"a browser has the dll loaded",
         [dll](InstallTarget& t) {
             t.held =
                 t.files.open(dll, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
         }},
        {"the help file is open in a viewer",
         [help](InstallTarget& t) {
             t.held =
                 t.files.open(help, FileAccess::Read, kShareNone, FileDisposition::OpenExisting);
         }},
        {"the help file cannot be unpacked",
         [](InstallTarget& t) { t.package.unloadable.insert(200); }},
        {"the written files never reach the disk",
         [](InstallTarget& t) {
             for (const PackagedFile& file : kPackagedFiles) {
                 t.files.failFlush.insert(kFolder + "\\" + NewFileName(file));
             }
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstallTarget t;
        for (const PackagedFile& file : kPackagedFiles) {
            t.files.put(kFolder + "\\" + file.fileName, std::string("installed ") + file.fileName);
        }
        t.files.put(kFolder + "\\qmr.dat", "rules");
        c.arrange(t);
        EXPECT_FALSE(t.Install());
        EXPECT_EQ(t.page.messages(),
                  std::vector<std::string>{"Installer error:\ncould not extract file"});
        t.held.reset();
        for (const PackagedFile& file : kPackagedFiles) {
            EXPECT_EQ(t.files.contents(kFolder + "\\" + file.fileName),
                      std::string("installed ") + file.fileName)
                << file.fileName;
        }
        EXPECT_EQ(t.files.fileCount(), 6u) << "no temporary file is left";
        EXPECT_TRUE(t.server.calls.empty()) << "the installed dll is not registered again";
    }
}

TEST_F(InstallProcedure, AFolderTooLongForTheFilesNamesGetsNone) {
    // 247 characters: the folder can be made, "quellmark.dll" no longer fits below it.
    const std::string folder = "C:\\" + std::string(244, 'q');
    EXPECT_FALSE(RunInstall(system, InstallChoices{folder, true}));
    EXPECT_EQ(page.messages(),
              std::vector<std::string>{"Installer error:\ncould not extract file"});
    EXPECT_EQ(files.fileCount(), 0u);
}

struct FailureCase {
    std::string name;
    std::function<void(InstallProcedure&)> arrange;
    std::string message;
    std::size_t valuesWritten;  // the settings written before the failure stay
};

class InstallFailure : public InstallProcedure, public ::testing::WithParamInterface<int> {};

std::vector<FailureCase> FailureCases() {
    std::vector<FailureCase> cases = {
        {"a packaged file is missing", [](InstallProcedure& t) { t.package.resources.erase(200); },
         "Installer error:\ninternal error", 0},
        {"the folder cannot be created",
         [](InstallProcedure& t) { t.folders.failCreate.insert(kFolder); },
         "Installer error:\ncould not create directory", 0},
        {"the dll cannot be loaded", [](InstallProcedure& t) { t.package.unloadable.insert(199); },
         "Installer error:\ncould not extract file", 0},
        {"the help file cannot be loaded",
         [](InstallProcedure& t) { t.package.unloadable.insert(200); },
         "Installer error:\ncould not extract file", 0},
        {"the dll is in use",
         [](InstallProcedure& t) {
             t.files.put(kFolder + "\\quellmark.dll", "loaded");
             t.held = t.files.open(kFolder + "\\quellmark.dll", FileAccess::Read, kShareRead,
                                   FileDisposition::OpenExisting);
         },
         "Installer error:\ncould not extract file", 0},
        {"the disk fills up while writing the readme",
         [](InstallProcedure& t) {
             t.disk.room = t.package.resources[199].size() + t.package.resources[149].size() + 4;
         },
         "Installer error:\ncould not extract file", 0},
        {"the maker's key cannot be created",
         [](InstallProcedure& t) { t.registry.failCreate.insert("Marrow Labs"); },
         "Installer error:\ncould not create registry information: HKLM:Marrow Labs", 0},
        {"the product's key cannot be created",
         [](InstallProcedure& t) { t.registry.failCreate.insert("quellmark"); },
         "Installer error:\ncould not create registry information: HKLM:quellmark", 0},
        {"Path cannot be written", [](InstallProcedure& t) { t.registry.failValue.insert("Path"); },
         "Installer error:\ncould not access registry value: HKLM:Path", 0},
    };
    std::size_t written = 1;
    for (const FirstSetting& setting : kFirstSettings) {
        std::string name = setting.name;
        cases.push_back({name + " cannot be written",
                         [name](InstallProcedure& t) { t.registry.failValue.insert(name); },
                         setting.failure, written++});
    }
    const std::pair<ServerCallResult, const char*> server[] = {
        {ServerCallResult::OleInitFailed, "installer error: could not register dll (OLEINIT)"},
        {ServerCallResult::DllNotLoaded, "Installer error: error loading dll"},
        {ServerCallResult::EntryMissing, "Installer error: there is a problem with the dll"},
        {ServerCallResult::EntryFailed, "Installer error: could not register dll"},
    };
    for (const auto& [result, message] : server) {
        ServerCallResult r = result;
        cases.push_back({std::string("registration: ") + message,
                         [r](InstallProcedure& t) { t.server.result = r; }, message, 13});
    }
    const char* manual = "\ninstallation will continue, but uninstall must be run manually";
    cases.push_back(
        {"the uninstall list cannot be opened",
         [](InstallProcedure& t) { t.registry.failOpen.insert(kUninstallListKey); },
         std::string("installer error:  error accessing registry (uninstaller)") + manual, 13});
    cases.push_back(
        {"the uninstall entry cannot be created",
         [](InstallProcedure& t) { t.registry.failCreate.insert(kUninstallEntry); },
         std::string("installer error:  error accessing registry (create un-key)") + manual, 13});
    for (const char* value : {"DisplayName", "DisplayIcon", "UninstallString"}) {
        std::string name = value;
        cases.push_back(
            {name + " cannot be written",
             [name](InstallProcedure& t) { t.registry.failValue.insert(name); },
             std::string("installer error:  error accessing registry (set displayname)") + manual,
             13});
    }
    return cases;
}

TEST_P(InstallFailure, ShowsItsMessageAndStops) {
    const FailureCase c = FailureCases()[GetParam()];
    SCOPED_TRACE(c.name);
    c.arrange(*this);
    EXPECT_FALSE(Install());
    EXPECT_EQ(page.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(page.events.back(), "message: " + c.message) << "nothing happens after the message";
    EXPECT_LT(page.lastProgress(), 100);
    EXPECT_EQ(memoryRegistry.values(kSettings).size(), c.valuesWritten)
        << "no rollback, no later step";
    EXPECT_LE(memoryRegistry.values(kEntry).size(), 2u) << "the uninstall entry stays incomplete";
    if (c.valuesWritten < 13) {
        EXPECT_TRUE(server.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, InstallFailure,
                         ::testing::Range(0, static_cast<int>(FailureCases().size())));

}  // namespace
}  // namespace qm
