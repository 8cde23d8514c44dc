#include "uninstall/uninstall_procedure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "common/testing/memory_file_system.h"
#include "wizard/install_path.h"
#include "wizard/testing/memory_folders.h"
#include "wizard/testing/procedure_fakes.h"

namespace qm {
namespace {

using testing::FakePrograms;
using testing::FakeServer;
using testing::MemoryFileSystem;
using testing::MemoryFolders;
using testing::RecordingPage;

const std::string kFolder = "C:\\Program Files\\Marrow Labs\\quellmark";
const std::string kMaker = "C:\\Program Files\\Marrow Labs";
const std::string kMakerKey = "Software\\Marrow Labs";
const std::string kProductKey = "Software\\Marrow Labs\\quellmark";
const std::string kEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marrow Labs quellmark";
const std::string kScript = "C:\\WINDOWS\\TEMP\\qmdel.bat";
const std::string kCommonMenu =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Marrow Labs";
const std::string kUserMenu = "C:\\Documents and Settings\\pat\\Start Menu\\Programs\\Marrow Labs";

// Keys by hive and path, compared without regard to case as the registry does.
class FakeRegistry : public UninstallRegistry {
public:
    using Values = std::map<std::string, std::string>;

    bool canOpen(Hive hive, const std::string& path) override {
        return keys_.count(Id(hive, path)) && !denied.count(Lower(path));
    }
    bool readString(Hive hive, const std::string& path, const std::string& name,
                    std::string& value) override {
        auto key = keys_.find(Id(hive, path));
        if (key == keys_.end()) return false;
        auto found = key->second.find(name);
        if (found == key->second.end() || found->second.size() > 259) return false;
        value = found->second;
        return true;
    }
    bool contents(Hive hive, const std::string& path, KeyContents& contents) override {
        auto key = keys_.find(Id(hive, path));
        if (key == keys_.end()) return false;
        contents = KeyContents{};
        for (const auto& [id, values] : keys_) {
            if (IsChild(id, key->first)) ++contents.subkeys;
        }
        for (const auto& [name, value] : key->second) contents.valueNames.push_back(name);
        return true;
    }
    bool deleteTree(Hive hive, const std::string& path) override {
        std::string id = Id(hive, path);
        if (!keys_.count(id)) return false;
        for (auto it = keys_.begin(); it != keys_.end();) {
            it = (it->first == id || it->first.rfind(id + "\\", 0) == 0) ? keys_.erase(it) : ++it;
        }
        deleted.push_back(path);
        return true;
    }

    void add(Hive hive, const std::string& path, Values values = {}) {
        keys_[Id(hive, path)] = std::move(values);
    }
    bool has(Hive hive, const std::string& path) const { return keys_.count(Id(hive, path)) != 0; }

    std::set<std::string> denied;      // lower-case paths refused to full access
    std::vector<std::string> deleted;  // in order

private:
    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }
    static std::string Id(Hive hive, const std::string& path) {
        return std::to_string(static_cast<int>(hive)) + ":" + Lower(path);
    }
    static bool IsChild(const std::string& id, const std::string& parent) {
        return id.size() > parent.size() + 1 && id.rfind(parent + "\\", 0) == 0 &&
               id.find('\\', parent.size() + 1) == std::string::npos;
    }
    std::map<std::string, Values> keys_;
};

class FakePage : public testing::RecordingPage, public UninstallPage {
public:
    void disableWizard() override { events.push_back("wizard disabled"); }
};

class FakeShell : public UninstallShell {
public:
    std::string ownFileName() override { return uninstaller; }
    std::string tempFolder() override { return "C:\\WINDOWS\\TEMP\\"; }
    // Windows-1252 to code page 850 for the letters the tests use; the euro
    // sign has no place there.
    bool toScriptCodePage(const std::string& text, std::string& converted) override {
        converted.clear();
        for (char c : text) {
            auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                converted += c;
            } else if (byte == 0xFC) {
                converted += '\x81';  // ü
            } else if (byte == 0xE9) {
                converted += '\x82';  // é
            } else {
                return false;
            }
        }
        return true;
    }
    bool startScript(const std::string& script) override {
        started.push_back(script);
        return startWorks;
    }

    std::string uninstaller = kFolder + "\\uninstall.exe";
    bool startWorks = true;
    std::vector<std::string> started;
};

// An installation as the installer leaves it, with what the band and the
// user added; members are public so the tables can arrange them.
struct InstalledProduct {
    InstalledProduct() {
        registry.add(Hive::LocalMachine, kMakerKey);
        registry.add(Hive::LocalMachine, kProductKey,
                     {{"Path", kFolder}, {"GuardLevel", "\2\0\0\0"}});
        registry.add(Hive::LocalMachine, kEntryKey, {{"DisplayName", "Marrow Labs quellmark"}});
        registry.add(Hive::ClassesRoot,
                     "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum");
        registry.add(Hive::ClassesRoot,
                     "Component Categories\\{00021494-0000-0000-C000-000000000046}");
        for (const char* catid :
             {"{00021493-0000-0000-C000-000000000046}", "{00021494-0000-0000-C000-000000000046}"}) {
            registry.add(Hive::CurrentUser,
                         std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                     "Discardable\\PostSetup\\Component Categories\\") +
                             catid + "\\Enum",
                         {{"Implementing", "cached"}});
        }
        folders.addFolder("C:");
        folders.addFolder("C:\\Program Files");
        folders.addFolder(kMaker);
        folders.addFolder(kFolder);
        for (const char* name : {"quellmark.dll", "EULA.txt", "readme.txt", "uninstall.exe",
                                 "qmhelp.chm", "qmr.dat", "qml.dat", "qml.tmp", "my notes.txt"}) {
            folders.addFile(kFolder + "\\" + name);
        }
        files.put(kFolder + "\\quellmark.dll", "the dll");
        folders.addFolder("C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
        folders.addFolder(kCommonMenu);
        folders.addFolder(kCommonMenu + "\\quellmark");
        for (const char* item : {"EULA.lnk", "ReadMe.lnk", "Uninstall.lnk", "quellmark Help.lnk",
                                 "Marrow Labs Online.url"}) {
            folders.addFile(kCommonMenu + "\\quellmark\\" + item);
        }
        folders.addFolder("C:\\Documents and Settings\\pat\\Start Menu\\Programs");
    }

    UninstallOutcome Uninstall() { return RunUninstall(system); }
    std::string Script() const {
        return files.exists(kScript) ? files.contents(kScript) : "(none)";
    }

    FakeRegistry registry;
    FakeServer server;
    MemoryFolders folders;
    MemoryFileSystem files;
    FakePrograms programs;
    FakeShell shell;
    FakePage page;
    UninstallSystem system{registry, server, folders, files, programs, shell, page};
    std::unique_ptr<File> browserHolds;  // the DLL, as a browser has it loaded
};

class UninstallProcedure : public ::testing::Test, public InstalledProduct {};

TEST_F(UninstallProcedure, ReportsEveryStepOnThePage) {
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    const std::vector<std::string> expected = {
        "text: Retreiving information from the registry",
        "progress: 5",
        "progress: 7",
        "progress: 10",
        "text: unregistering quellmark",
        "progress: 35",
        "text: Locating quellmark folder",
        "progress: 40",
        "text: Reading quellmark folder",
        "progress: 50",
        "text: Deleting Files",
        "progress: 60",
        "text: Updating ExplorerBand cache",
        "progress: 70",
        "progress: 80",
        "text: Removing Start Menu Shortcuts",
        "progress: 90",
        "text: Readying self-delete...",
        "progress: 100",
        "text: Uninstall successful",
        "wizard disabled",
        "message: Uninstall successful.\n\nPlease close all Internet Explorer windows and\nrestart "
        "Internet Explorer to view changes.",
    };
    EXPECT_EQ(page.events, expected);
}

TEST_F(UninstallProcedure, UnregistersThenRemovesWhatTheProductPutThere) {
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls[0].first, kFolder + "\\quellmark.dll");
    EXPECT_EQ(server.calls[0].second, "DllUnregisterServer");
    EXPECT_EQ(folders.below(kFolder),
              (std::vector<std::string>{kFolder + "\\my notes.txt", kFolder + "\\uninstall.exe"}))
        << "rules, log and its temporary rewrite go; the user's own file stays";
    EXPECT_FALSE(folders.exists(kCommonMenu));
    EXPECT_FALSE(registry.has(Hive::LocalMachine, kProductKey));
    EXPECT_FALSE(registry.has(Hive::LocalMachine, kMakerKey));
    EXPECT_FALSE(registry.has(Hive::LocalMachine, kEntryKey));
    EXPECT_EQ(registry.deleted.size(), 6u) << "settings, maker, three caches, uninstall entry";
    EXPECT_TRUE(registry.has(Hive::ClassesRoot,
                             "Component Categories\\{00021494-0000-0000-C000-000000000046}"))
        << "only the cache below the category goes";
}

TEST_F(UninstallProcedure, LeavesAScriptThatRemovesTheUninstallerAndBothFolders) {
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    const std::string uninstaller = "\"" + kFolder + "\\uninstall.exe\"";
    std::string expected;
    for (const std::string& line :
         {"attrib -r " + uninstaller, std::string(":Repeat"), "del " + uninstaller,
          "if exist " + uninstaller + " goto Repeat", "rmdir \"" + kFolder + "\"",
          "rmdir \"" + kMaker + "\"", "del \"" + kScript + "\""}) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(Script(), expected) << "the script ends with its last line: no zero byte after it";
    EXPECT_EQ(shell.started, std::vector<std::string>{kScript});
}

TEST_F(UninstallProcedure, AnotherProductOfTheMakerKeepsItsFolderAndKey) {
    folders.addFolder(kMaker + "\\otherproduct");
    registry.add(Hive::LocalMachine, kMakerKey + "\\otherproduct");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_EQ(Script().find("rmdir \"" + kMaker + "\""), std::string::npos);
    EXPECT_TRUE(registry.has(Hive::LocalMachine, kMakerKey));
    EXPECT_FALSE(registry.has(Hive::LocalMachine, kProductKey));
}

TEST_F(UninstallProcedure, MakersKeyGoesOnlyWithoutOtherValues) {
    const struct {
        FakeRegistry::Values values;
        bool goes;
    } cases[] = {
        {{}, true},
        {{{"", "default"}}, true},
        {{{"Licence", "x"}}, false},
        {{{"", "default"}, {"Licence", "x"}}, false},
    };
    for (const auto& c : cases) {
        FakeRegistry caseRegistry;
        caseRegistry.add(Hive::LocalMachine, kMakerKey, c.values);
        caseRegistry.add(Hive::LocalMachine, kProductKey, {{"Path", kFolder}});
        UninstallSystem s{caseRegistry, server, folders, files, programs, shell, page};
        RunUninstall(s);
        EXPECT_EQ(caseRegistry.has(Hive::LocalMachine, kMakerKey), !c.goes) << c.values.size();
    }
}

TEST_F(UninstallProcedure, ASubFolderSurvivesAndKeepsTheFolders) {
    folders.addFolder(kFolder + "\\skins");
    folders.addFile(kFolder + "\\skins\\blue.bmp");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_TRUE(folders.exists(kFolder + "\\skins\\blue.bmp"));
    EXPECT_NE(Script().find("rmdir \"" + kMaker + "\""), std::string::npos)
        << "the maker's folder still holds only the install folder";
}

TEST_F(UninstallProcedure, DeletesOnlyNamesTheProductUses) {
    const struct {
        const char* name;
        bool goes;
    } cases[] = {
        {"qmr.tmp", true},      {"qml.tmp", true},      {"qmr3F2A.tmp", true},
        {"qmn199.tmp", true},   {"QMO186.TMP", true},   {"QMR.DAT", true},
        {"Readme.TXT", true},   {"notes.tmp", false},   {"qm.tmp", false},
        {"qmr.dat.bak", false}, {"desktop.ini", false}, {"quellmark.dll.old", false},
    };
    for (const auto& c : cases) {
        InstalledProduct t;
        const std::string path = kFolder + "\\" + c.name;
        t.folders.addFile(path);
        EXPECT_EQ(t.Uninstall(), UninstallOutcome::ScriptStarted) << c.name;
        EXPECT_EQ(t.folders.exists(path), !c.goes) << c.name;
        EXPECT_TRUE(t.folders.exists(kFolder + "\\my notes.txt")) << c.name;
    }
}

TEST_F(UninstallProcedure, FindsAFolderTheSystemHasMarked) {
    for (std::uint32_t attributes : {0x810u, 0x2010u, 0x30u, 0x11u}) {
        InstalledProduct t;
        t.folders.addFolder(kFolder, attributes);
        EXPECT_EQ(t.Uninstall(), UninstallOutcome::ScriptStarted) << attributes;
        EXPECT_FALSE(t.registry.has(Hive::LocalMachine, kProductKey)) << attributes;
        EXPECT_FALSE(t.folders.exists(kFolder + "\\quellmark.dll")) << attributes;
    }
}

TEST_F(UninstallProcedure, AFileInUseStaysAndTheRestGoes) {
    folders.locked.insert(kFolder + "\\qml.dat");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_EQ(folders.below(kFolder),
              (std::vector<std::string>{kFolder + "\\my notes.txt", kFolder + "\\qml.dat",
                                        kFolder + "\\uninstall.exe"}));
    EXPECT_EQ(page.messages().size(), 1u) << "only the final message";
}

TEST_F(UninstallProcedure, KeepsItselfWhenStartedUnderAnotherCase) {
    shell.uninstaller = kFolder + "\\Uninstall.exe";
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_TRUE(folders.exists(kFolder + "\\uninstall.exe"));
    EXPECT_NE(Script().find("del \"" + kFolder + "\\Uninstall.exe\""), std::string::npos);
}

TEST_F(UninstallProcedure, ClearsTheUsersOwnStartMenuToo) {
    folders.addFolder(kUserMenu);
    folders.addFolder(kUserMenu + "\\quellmark");
    folders.addFile(kUserMenu + "\\quellmark\\EULA.lnk");
    folders.addFolder(kCommonMenu + "\\otherproduct");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_FALSE(folders.exists(kUserMenu));
    EXPECT_FALSE(folders.exists(kCommonMenu + "\\quellmark"));
    EXPECT_TRUE(folders.exists(kCommonMenu)) << "it holds another product's items";
}

TEST_F(UninstallProcedure, WithoutAllUsersFolderClearsTheUsersMenu) {
    programs.commonFolder.clear();
    folders.addFolder(kUserMenu);
    folders.addFolder(kUserMenu + "\\quellmark");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_FALSE(folders.exists(kUserMenu));
    EXPECT_TRUE(folders.exists(kCommonMenu + "\\quellmark\\EULA.lnk"));
}

TEST_F(UninstallProcedure, AScriptNotWrittenWholeIsNeitherLeftNorStarted) {
    const struct {
        const char* name;
        std::function<void(InstalledProduct&)> arrange;
    } cases[] = {
        {"cannot be created", [](InstalledProduct& t) { t.files.failOpen.insert(kScript); }},
        {"disk full", [](InstalledProduct& t) { t.files.failWrite.insert(kScript); }},
        {"a path the interpreter's code page cannot name",
         [](InstalledProduct& t) { t.shell.uninstaller = kFolder + "\\\x80uninstall.exe"; }},
    };
    for (const auto& c : cases) {
        InstalledProduct t;
        c.arrange(t);
        EXPECT_EQ(t.Uninstall(), UninstallOutcome::ScriptMissing) << c.name;
        EXPECT_EQ(t.page.messages(), std::vector<std::string>{"creating temp file for self-delete"})
            << c.name;
        EXPECT_EQ(
            std::count(t.page.events.begin(), t.page.events.end(), "text: Uninstall successful"), 0)
            << c.name;
        EXPECT_FALSE(t.files.exists(kScript)) << c.name;
        EXPECT_TRUE(t.shell.started.empty()) << c.name;
    }
}

TEST_F(UninstallProcedure, ScriptNamesPathsAsTheInterpreterReadsThem) {
    const struct {
        std::string folder;
        std::string inScript;
    } cases[] = {
        {"C:\\100% free\\quellmark", "\"C:\\100%% free\\quellmark\""},
        {"C:\\%TEMP%\\quellmark", "\"C:\\%%TEMP%%\\quellmark\""},
        {"C:\\J\xFCrgen\\caf\xE9", "\"C:\\J\x81rgen\\caf\x82\""},
    };
    for (const auto& c : cases) {
        InstalledProduct t;
        t.registry.add(Hive::LocalMachine, kProductKey, {{"Path", c.folder}});
        t.folders.addFolder(ParentFolder(c.folder));
        t.folders.addFolder(c.folder);
        t.shell.uninstaller = c.folder + "\\uninstall.exe";
        EXPECT_EQ(t.Uninstall(), UninstallOutcome::ScriptStarted) << c.folder;
        EXPECT_NE(t.Script().find("rmdir " + c.inScript + "\r\n"), std::string::npos)
            << c.folder << "\n"
            << t.Script();
        EXPECT_NE(t.Script().find("attrib -r " + c.inScript.substr(0, c.inScript.size() - 1) +
                                  "\\uninstall.exe\"\r\n:Repeat\r\n"),
                  std::string::npos)
            << c.folder << "\n"
            << t.Script();
    }
}

TEST_F(UninstallProcedure, ScriptThatCannotBeStartedIsDeleted) {
    shell.startWorks = false;
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptNotStarted);
    EXPECT_EQ(page.messages().back(), "error deleting self");
    EXPECT_FALSE(files.exists(kScript));
}

const char kDllInUse[] =
    "error in uninstaller:  could not delete quellmark.dll (in use)\nclose all Internet Explorer "
    "windows, then run uninstall again";

struct FailureCase {
    const char* name;
    std::function<void(UninstallProcedure&)> arrange;
    const char* message;
    bool unregisterCalled;
};

class UninstallFailure : public UninstallProcedure, public ::testing::WithParamInterface<int> {};

std::vector<FailureCase> FailureCases() {
    return {
        {"no maker's key",
         [](UninstallProcedure& t) { t.registry.denied.insert("software\\marrow labs"); },
         "error in uninstaller: could not access registery (HKLM:Marrow Labs)", false},
        {"no product key",
         [](UninstallProcedure& t) {
             t.registry.denied.insert("software\\marrow labs\\quellmark");
         },
         "error in uninstaller: could not access registery (HKLM:quellmark)", false},
        {"no Path", [](UninstallProcedure& t) { t.registry.add(Hive::LocalMachine, kProductKey); },
         "error in uninstaller: could not read registry value (HKLM:Path)", false},
        {"empty Path",
         [](UninstallProcedure& t) {
             t.registry.add(Hive::LocalMachine, kProductKey, {{"Path", ""}});
         },
         "error in uninstaller:  could not locate quellmark installation folder", false},
        {"OLE", [](UninstallProcedure& t) { t.server.result = ServerCallResult::OleInitFailed; },
         "installer error: could not register dll (OLEINIT)", true},
        {"dll gone",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::DllNotLoaded; },
         "Installer error: error loading dll", true},
        {"no entry",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::EntryMissing; },
         "Installer error: there is a problem with the dll", true},
        {"entry fails",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::EntryFailed; },
         "Installer error: could not register dll", true},
        {"folder gone",
         [](UninstallProcedure& t) {
             t.registry.add(Hive::LocalMachine, kProductKey, {{"Path", "D:\\gone"}});
         },
         "error in uninstaller:  could not locate quellmark installation folder", true},
        {"a browser holds the dll",
         [](UninstallProcedure& t) {
             const std::string dll = kFolder + "\\quellmark.dll";
             t.browserHolds =
                 t.files.open(dll, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
             t.folders.locked.insert(dll);
         },
         kDllInUse, false},
        {"the dll cannot be deleted after all",
         [](UninstallProcedure& t) { t.folders.locked.insert(kFolder + "\\quellmark.dll"); },
         kDllInUse, true},
    };
}

TEST_P(UninstallFailure, ShowsItsMessageAndChangesNoFile) {
    const FailureCase c = FailureCases()[GetParam()];
    SCOPED_TRACE(c.name);
    c.arrange(*this);
    EXPECT_EQ(Uninstall(), UninstallOutcome::Failed);
    EXPECT_EQ(page.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(page.events.back(), std::string("message: ") + c.message);
    EXPECT_TRUE(registry.has(Hive::LocalMachine, kProductKey))
        << "the settings key goes only once the dll is gone";
    EXPECT_EQ(server.calls.size(), c.unregisterCalled ? 1u : 0u);
    for (const char* name : {"quellmark.dll", "EULA.txt", "qmr.dat", "my notes.txt"}) {
        EXPECT_TRUE(folders.exists(kFolder + "\\" + name)) << name;
    }
    EXPECT_TRUE(registry.has(Hive::LocalMachine, kEntryKey));
    EXPECT_TRUE(shell.started.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, UninstallFailure,
                         ::testing::Range(0, static_cast<int>(FailureCases().size())));

}  // namespace
}  // namespace qm
