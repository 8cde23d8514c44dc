#include "uninstall/uninstall_procedure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "common/testing/memory_file_system.h"
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
    bool startScript(const std::string& script) override {
        started.push_back(script);
        return startWorks;
    }

    std::string uninstaller = kFolder + "\\uninstall.exe";
    bool startWorks = true;
    std::vector<std::string> started;
};

// Members are public so the failure table can arrange them.
class UninstallProcedure : public ::testing::Test {
public:
    UninstallProcedure() {
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
};

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

TEST_F(UninstallProcedure, UnregistersThenRemovesEverythingButItself) {
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls[0].first, kFolder + "\\quellmark.dll");
    EXPECT_EQ(server.calls[0].second, "DllUnregisterServer");
    EXPECT_EQ(folders.below(kFolder), std::vector<std::string>{kFolder + "\\uninstall.exe"})
        << "rules, log, its temporary rewrite and the user's own file are gone too";
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
         {std::string(":Repeat"), "del " + uninstaller, "if exist " + uninstaller + " goto Repeat",
          "rmdir \"" + kFolder + "\"", "rmdir \"" + kMaker + "\"", "del \"" + kScript + "\""}) {
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

TEST_F(UninstallProcedure, AFileInUseStaysAndTheRestGoes) {
    folders.locked.insert(kFolder + "\\qml.dat");
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptStarted);
    EXPECT_EQ(folders.below(kFolder),
              (std::vector<std::string>{kFolder + "\\qml.dat", kFolder + "\\uninstall.exe"}));
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

TEST_F(UninstallProcedure, ScriptThatCannotBeWritten) {
    files.failOpen.insert(kScript);
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptMissing);
    EXPECT_EQ(page.messages(), std::vector<std::string>{"creating temp file for self-delete"});
    EXPECT_TRUE(shell.started.empty());
}

TEST_F(UninstallProcedure, ScriptThatCannotBeStartedIsDeleted) {
    shell.startWorks = false;
    EXPECT_EQ(Uninstall(), UninstallOutcome::ScriptNotStarted);
    EXPECT_EQ(page.messages().back(), "error deleting self");
    EXPECT_FALSE(files.exists(kScript));
}

struct FailureCase {
    const char* name;
    std::function<void(UninstallProcedure&)> arrange;
    const char* message;
    bool keyKept;
    bool unregisterCalled;
};

class UninstallFailure : public UninstallProcedure, public ::testing::WithParamInterface<int> {};

std::vector<FailureCase> FailureCases() {
    return {
        {"no maker's key",
         [](UninstallProcedure& t) { t.registry.denied.insert("software\\marrow labs"); },
         "error in uninstaller: could not access registery (HKLM:Marrow Labs)", true, false},
        {"no product key",
         [](UninstallProcedure& t) {
             t.registry.denied.insert("software\\marrow labs\\quellmark");
         },
         "error in uninstaller: could not access registery (HKLM:quellmark)", true, false},
        {"no Path", [](UninstallProcedure& t) { t.registry.add(Hive::LocalMachine, kProductKey); },
         "error in uninstaller: could not read registry value (HKLM:Path)", true, false},
        {"empty Path",
         [](UninstallProcedure& t) {
             t.registry.add(Hive::LocalMachine, kProductKey, {{"Path", ""}});
         },
         "error in uninstaller:  could not locate quellmark installation folder", true, false},
        {"OLE", [](UninstallProcedure& t) { t.server.result = ServerCallResult::OleInitFailed; },
         "installer error: could not register dll (OLEINIT)", true, true},
        {"dll gone",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::DllNotLoaded; },
         "Installer error: error loading dll", true, true},
        {"no entry",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::EntryMissing; },
         "Installer error: there is a problem with the dll", true, true},
        {"entry fails",
         [](UninstallProcedure& t) { t.server.result = ServerCallResult::EntryFailed; },
         "Installer error: could not register dll", true, true},
        {"folder gone",
         [](UninstallProcedure& t) {
             t.registry.add(Hive::LocalMachine, kProductKey, {{"Path", "D:\\gone"}});
         },
         "error in uninstaller:  could not locate quellmark installation folder", false, true},
    };
}

TEST_P(UninstallFailure, ShowsItsMessageAndChangesNoFile) {
    const FailureCase c = FailureCases()[GetParam()];
    SCOPED_TRACE(c.name);
    c.arrange(*this);
    EXPECT_EQ(Uninstall(), UninstallOutcome::Failed);
    EXPECT_EQ(page.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(page.events.back(), std::string("message: ") + c.message);
    EXPECT_EQ(registry.has(Hive::LocalMachine, kProductKey), c.keyKept)
        << "the settings key goes only once the dll is unregistered";
    EXPECT_EQ(server.calls.size(), c.unregisterCalled ? 1u : 0u);
    EXPECT_TRUE(folders.exists(kFolder + "\\quellmark.dll"));
    EXPECT_TRUE(registry.has(Hive::LocalMachine, kEntryKey));
    EXPECT_TRUE(shell.started.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, UninstallFailure,
                         ::testing::Range(0, static_cast<int>(FailureCases().size())));

}  // namespace
}  // namespace qm
