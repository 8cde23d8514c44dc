#include "uninstall/uninstall_procedure.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "wizard/install_path.h"
#include "wizard/install_steps.h"
#include "uninstall/self_delete_script.h"

namespace qm {
namespace {

constexpr char kMakerKey[] = "Software\\Marrow Labs";
constexpr char kProductKey[] = "Software\\Marrow Labs\\quellmark";
constexpr char kNoMakerKey[] =
    "error in uninstaller: could not access registery (HKLM:Marrow Labs)";
constexpr char kNoProductKey[] =
    "error in uninstaller: could not access registery (HKLM:quellmark)";
constexpr char kNoPath[] = "error in uninstaller: could not read registry value (HKLM:Path)";
constexpr char kNoFolder[] =
    "error in uninstaller:  could not locate quellmark installation folder";
constexpr char kDllInUse[] =
    "error in uninstaller:  could not delete quellmark.dll (in use)\nclose all Internet Explorer "
    "windows, then run uninstall again";
constexpr char kScriptMissing[] = "creating temp file for self-delete";
constexpr char kScriptNotStarted[] = "error deleting self";
constexpr char kDone[] =
    "Uninstall successful.\n\nPlease close all Internet Explorer windows and\nrestart Internet "
    "Explorer to view changes.";

// The browser's caches of the desk-band, info-band and comm-band categories;
// it rebuilds them at its next start and then lists the bar no more.
struct CachedCategory {
    Hive hive;
    const char* key;
};
const CachedCategory kBandCaches[] = {
    {Hive::ClassesRoot, "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum"},
    {Hive::CurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
     "Categories\\{00021493-0000-0000-C000-000000000046}\\Enum"},
    {Hive::CurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
     "Categories\\{00021494-0000-0000-C000-000000000046}\\Enum"},
};

constexpr char kDllName[] = "quellmark.dll";

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

class Uninstallation {
public:
    explicit Uninstallation(UninstallSystem& system) : s_(system) {}

    UninstallOutcome run() {
        s_.page.setStatusText("Retreiving information from the registry");
        if (!s_.registry.canOpen(Hive::LocalMachine, kMakerKey)) return fail(kNoMakerKey);
        s_.page.setProgress(5);
        if (!s_.registry.canOpen(Hive::LocalMachine, kProductKey)) return fail(kNoProductKey);
        s_.page.setProgress(7);
        if (!s_.registry.readString(Hive::LocalMachine, kProductKey, "Path", folder_)) {
            return fail(kNoPath);
        }
        s_.page.setProgress(10);
        if (folder_.empty()) return fail(kNoFolder);

        s_.page.setStatusText("unregistering quellmark");
        // A DLL a browser holds cannot be deleted: find that out while the
        // product is still registered, so the user can close the browser
        // and run the uninstaller again.
        const std::string dll = JoinPath(folder_, kDllName);
        if (inUse(dll)) return fail(kDllInUse);
        ServerCallResult unregistered = s_.server.call(dll, "DllUnregisterServer");
        if (unregistered != ServerCallResult::Done) return fail(ServerCallMessage(unregistered));
        s_.page.setProgress(35);

        s_.page.setStatusText("Locating quellmark folder");
        if (!IsFolder(s_.folders, folder_)) return fail(kNoFolder);
        s_.page.setProgress(40);
        if (!deleteFiles()) return fail(kDllInUse);
        // Only now: a failure before this point leaves the key, so running
        // the uninstaller again still finds the product.
        deleteSettingsKey();
        forgetProduct();
        std::string maker = ParentFolder(folder_);
        if (!MakerFolderGoes(maker, s_.folders.list(JoinPath(maker, "*.*")).size())) maker.clear();
        s_.page.setProgress(80);
        removeStartMenuFolders();
        return selfDelete(maker);
    }

private:
    UninstallOutcome fail(const char* message) {
        s_.page.showMessage(message);
        return UninstallOutcome::Failed;
    }

    // There, and refused to anyone who would change it: a program has it
    // loaded (a file that cannot be read at all is left to the deletion).
    bool inUse(const std::string& file) {
        if (!s_.files.open(file, FileAccess::Read, kShareRead | kShareWrite,
                           FileDisposition::OpenExisting)) {
            return false;
        }
        return !s_.files.open(file, FileAccess::Write, kShareNone, FileDisposition::OpenExisting);
    }

    void deleteSettingsKey() {
        s_.registry.deleteTree(Hive::LocalMachine, kProductKey);
        KeyContents maker;
        if (s_.registry.contents(Hive::LocalMachine, kMakerKey, maker) && MakerKeyMayGo(maker)) {
            s_.registry.deleteTree(Hive::LocalMachine, kMakerKey);
        }
    }

    // What the product put there, the DLL first, but the running
    // uninstaller: the rules and the log go too, a file of the user's and a
    // sub-folder stay (and keep the folder). False when the DLL stays.
    bool deleteFiles() {
        uninstaller_ = s_.shell.ownFileName();
        std::string ownName = LastComponent(uninstaller_);
        s_.page.setStatusText("Reading quellmark folder");
        std::vector<std::string> entries = s_.folders.list(JoinPath(folder_, "*.*"));
        s_.page.setProgress(50);
        s_.page.setStatusText("Deleting Files");
        const std::string dll = JoinPath(folder_, kDllName);
        std::uint32_t attributes = 0;
        if (s_.folders.findAttributes(dll, attributes) && !s_.folders.deleteFile(dll)) return false;
        for (const std::string& entry : entries) {
            if (!IsProductFileName(entry) || SameName(entry, kDllName) ||
                SameName(entry, ownName)) {
                continue;
            }
            s_.folders.deleteFile(JoinPath(folder_, entry));
        }
        s_.page.setProgress(60);
        return true;
    }

    void forgetProduct() {
        s_.page.setStatusText("Updating ExplorerBand cache");
        for (const CachedCategory& cache : kBandCaches)
            s_.registry.deleteTree(cache.hive, cache.key);
        s_.registry.deleteTree(Hive::LocalMachine, JoinPath(kUninstallListKey, kUninstallEntry));
        s_.page.setProgress(70);
    }

    // The installer falls back to the user's own Programs folder when it
    // cannot write the all-users one, so both are cleared.
    void removeStartMenuFolders() {
        s_.page.setStatusText("Removing Start Menu Shortcuts");
        std::vector<std::string> programsFolders;
        std::string common = s_.programs.common();
        std::string user = s_.programs.user();
        if (!common.empty()) programsFolders.push_back(common);
        if (!user.empty() && !SameName(user, common)) programsFolders.push_back(user);
        for (const std::string& programs : programsFolders) {
            std::string menu = ProductMenuFolder(programs);
            for (const std::string& entry : s_.folders.list(JoinPath(menu, "*.*"))) {
                if (!IsDotEntry(entry)) s_.folders.deleteFile(JoinPath(menu, entry));
            }
            s_.folders.removeFolder(menu);
            s_.folders.removeFolder(MakerMenuFolder(programs));
        }
        s_.page.setProgress(90);
    }

    UninstallOutcome selfDelete(const std::string& maker) {
        s_.page.setStatusText("Readying self-delete...");
        std::string script = JoinPath(s_.shell.tempFolder(), kSelfDeleteScriptName);
        bool whole = writeScript(script, SelfDeleteScript(uninstaller_, folder_, maker, script));
        s_.page.setProgress(100);
        if (whole) s_.page.setStatusText("Uninstall successful");
        s_.page.disableWizard();
        if (!whole) {
            s_.page.showMessage(kScriptMissing);
            return UninstallOutcome::ScriptMissing;
        }
        s_.page.showMessage(kDone);
        if (!s_.shell.startScript(script)) {
            s_.files.remove(script);
            s_.page.showMessage(kScriptNotStarted);
            return UninstallOutcome::ScriptNotStarted;
        }
        return UninstallOutcome::ScriptStarted;
    }

    // A script cut short (a full disk) or naming a path the interpreter
    // would read as another is not left to run.
    bool writeScript(const std::string& script, const std::string& text) {
        std::string converted;
        if (!s_.shell.toScriptCodePage(text, converted)) return false;
        // Without a terminating zero: a zero byte after the last line keeps
        // Wine's cmd spinning on the deleted script for ever.
        bool whole = false;
        if (auto file = s_.files.open(script, FileAccess::Write, kShareNone,
                                      FileDisposition::CreateAlways)) {
            whole = file->write(converted);
        }
        if (!whole) s_.files.remove(script);
        return whole;
    }

    UninstallSystem& s_;
    std::string folder_;
    std::string uninstaller_;
};

}  // namespace

bool MakerKeyMayGo(const KeyContents& contents) {
    if (contents.subkeys != 0) return false;
    return contents.valueNames.empty() ||
           (contents.valueNames.size() == 1 && contents.valueNames[0].empty());
}

UninstallOutcome RunUninstall(UninstallSystem& system) {
    return Uninstallation(system).run();
}

}  // namespace qm
