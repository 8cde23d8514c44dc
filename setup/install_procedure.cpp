#include "setup/install_procedure.h"

#include <memory>

#include "wizard/install_path.h"
#include "wizard/install_steps.h"
#include "settings/settings.h"

namespace qm {
namespace {

constexpr char kInternalError[] = "Installer error:\ninternal error";
constexpr char kFolderFailure[] = "Installer error:\ncould not create directory";
constexpr char kExtractFailure[] = "Installer error:\ncould not extract file";
constexpr char kMakerKeyFailure[] =
    "Installer error:\ncould not create registry information: HKLM:Marrow Labs";
constexpr char kProductKeyFailure[] =
    "Installer error:\ncould not create registry information: HKLM:quellmark";
constexpr char kProgramsMissing[] =
    "there was an error accessing your programs groups.  installation will continue.";
constexpr char kMenuFolderFailure[] =
    "there was an error creating start menu folder.  installation will continue.";
constexpr char kMenuIconsFailure[] =
    "there was an error creating start menu icons.  installation will continue.";
constexpr char kUninstallListFailure[] =
    "installer error:  error accessing registry (uninstaller)\ninstallation will continue, but "
    "uninstall must be run manually";
constexpr char kUninstallKeyFailure[] =
    "installer error:  error accessing registry (create un-key)\ninstallation will continue, but "
    "uninstall must be run manually";
constexpr char kUninstallValueFailure[] =
    "installer error:  error accessing registry (set displayname)\ninstallation will continue, "
    "but uninstall must be run manually";

class Installation {
public:
    Installation(InstallSystem& system, const InstallChoices& choices)
        : s_(system), folder_(choices.folder), createStartMenu_(choices.createStartMenu) {}

    bool run() {
        if (!packageComplete()) return fail(kInternalError);
        s_.page.setStatusText("Creating directory");
        if (!EnsureFolder(s_.folders, folder_, true)) return fail(kFolderFailure);
        s_.page.setProgress(10);
        s_.page.setStatusText("Directory was created successfully");
        // Each file is written whole under a name of its own first, and
        // only then do the five take the installed files' places: a
        // reinstallation that fails leaves the installation before it.
        for (const PackagedFile& file : kPackagedFiles) {
            if (!extract(file)) {
                discardNewFiles();
                return fail(kExtractFailure);
            }
        }
        if (!putInPlace()) return fail(kExtractFailure);
        if (!writeSettings()) return false;
        ServerCallResult registered = s_.server.call(path("quellmark.dll"), "DllRegisterServer");
        if (registered != ServerCallResult::Done) return fail(ServerCallMessage(registered));
        s_.page.setProgress(80);
        if (createStartMenu_) addStartMenuItems();
        s_.page.setProgress(90);
        if (!registerUninstaller()) return false;
        s_.page.setStatusText("Installation successfull");
        s_.page.setProgress(100);
        return true;
    }

private:
    bool fail(const char* message) {
        s_.page.showMessage(message);
        return false;
    }

    std::string path(std::string_view name) const { return JoinPath(folder_, name); }

    bool packageComplete() {
        for (const PackagedFile& file : kPackagedFiles) {
            if (!s_.package.has(file.resource)) return false;
        }
        return true;
    }

    // A file that cannot be written whole counts as not extracted: the
    // installation must not go on with a missing or cut DLL.
    bool extract(const PackagedFile& file) {
        if (file.status) s_.page.setStatusText(file.status);
        std::string_view bytes;
        if (path(file.fileName).size() > kLongestPath) return false;
        if (!s_.package.load(file.resource, bytes)) return false;
        std::unique_ptr<File> out = s_.files.open(path(NewFileName(file)), FileAccess::Write,
                                                  kShareNone, FileDisposition::CreateAlways);
        // Flushed before it replaces anything: a power cut must not leave a DLL of zeros.
        if (!out || !out->write(bytes) || !out->flush()) return false;
        if (file.progress >= 0) s_.page.setProgress(file.progress);
        return true;
    }

    void discardNewFiles() {
        for (const PackagedFile& file : kPackagedFiles) s_.files.remove(path(NewFileName(file)));
    }

    bool exists(const std::string& file) {
        return s_.files.open(file, FileAccess::Read, kShareRead | kShareWrite,
                             FileDisposition::OpenExisting) != nullptr;
    }

    // The installed file moves aside under a name of ours, the new one takes
    // its place; the first failure puts every installed file back.
    bool putInPlace() {
        constexpr std::size_t kCount = sizeof kPackagedFiles / sizeof kPackagedFiles[0];
        bool movedAside[kCount] = {};
        for (std::size_t i = 0; i < kCount; ++i) {
            const PackagedFile& file = kPackagedFiles[i];
            const std::string installed = path(file.fileName);
            const std::string old = path(OldFileName(file));
            s_.files.remove(old);  // left by an earlier run that could not delete it
            if (exists(installed)) {
                movedAside[i] = s_.files.replace(installed, old);
                if (!movedAside[i]) return putBack(i, movedAside);
            }
            if (!s_.files.replace(path(NewFileName(file)), installed)) {
                return putBack(i + 1, movedAside);
            }
        }
        // An old DLL still loaded somewhere stays under its temporary name;
        // the uninstaller knows it as ours.
        for (const PackagedFile& file : kPackagedFiles) s_.files.remove(path(OldFileName(file)));
        return true;
    }

    // The first `count` files go back to what was installed before. A new
    // file still under its own name never took a place, so what is
    // installed under that file's name is the old one.
    bool putBack(std::size_t count, const bool* movedAside) {
        for (std::size_t i = count; i-- > 0;) {
            const PackagedFile& file = kPackagedFiles[i];
            const std::string installed = path(file.fileName);
            if (movedAside[i]) {
                s_.files.replace(path(OldFileName(file)), installed);
            } else if (!exists(path(NewFileName(file)))) {
                s_.files.remove(installed);  // a new file where there was none
            }
        }
        discardNewFiles();
        return false;
    }

    bool writeSettings() {
        s_.page.setStatusText("Creating Registry Keys");
        std::unique_ptr<RegistryKey> maker;
        if (s_.registry.createLocalMachine("SOFTWARE", "Marrow Labs", maker) != kRegSuccess) {
            return fail(kMakerKeyFailure);
        }
        std::unique_ptr<RegistryKey> product;
        if (s_.registry.createLocalMachine(kSettingsParentKey, "quellmark", product) !=
            kRegSuccess) {
            return fail(kProductKeyFailure);
        }
        s_.page.setProgress(80);
        s_.page.setStatusText("Writing Registry Values");
        if (product->setValue("Path", kRegSz, folder_.c_str(),
                              static_cast<std::uint32_t>(folder_.size() + 1)) != kRegSuccess) {
            return fail(kPathFailure);
        }
        for (const FirstSetting& setting : kFirstSettings) {
            std::uint32_t value = setting.value;
            if (product->setValue(setting.name, kRegDword, &value, 4) != kRegSuccess) {
                return fail(setting.failure);
            }
        }
        return true;
    }

    // A missing folder is created; an existing one is taken as it is.
    bool haveMenuFolder(const std::string& folder) {
        return IsExistingFolder(s_.folders, folder) || s_.folders.createFolder(folder);
    }

    bool haveMenuFolders(const std::string& programs) {
        return haveMenuFolder(MakerMenuFolder(programs)) &&
               haveMenuFolder(ProductMenuFolder(programs));
    }

    // The Programs folder whose product folder exists now, or empty. The
    // product folder is made even when the maker's folder exists already,
    // so the shortcuts have their place.
    std::string prepareMenuFolder() {
        std::string programs = s_.programs.common();
        if (programs.empty()) {
            // The user's own folder stands in for the all-users one; there is
            // no further fallback, so a failure there is quiet.
            std::string user = s_.programs.user();
            if (user.empty()) s_.page.showMessage(kProgramsMissing);
            return !user.empty() && haveMenuFolders(user) ? user : std::string();
        }
        if (haveMenuFolders(programs)) return programs;
        std::string user = s_.programs.user();
        if (user.empty()) return {};
        if (!haveMenuFolder(MakerMenuFolder(user))) {
            s_.page.showMessage(kMenuFolderFailure);
            return {};
        }
        if (!haveMenuFolder(ProductMenuFolder(user))) {
            s_.page.showMessage(kMenuIconsFailure);
            return {};
        }
        return user;
    }

    // Items that cannot be saved are left out without a message.
    void addStartMenuItems() {
        s_.page.setStatusText("Adding Start Menu shortcuts");
        std::string programs = prepareMenuFolder();
        if (programs.empty() || !s_.shortcuts.begin()) return;
        std::string menu = ProductMenuFolder(programs);
        for (const StartMenuItem& item : kStartMenuItems) {
            std::string file = JoinPath(menu, item.fileName);
            s_.folders.deleteFile(file);
            if (item.target) {
                s_.shortcuts.saveLink(file, path(item.target), item.description);
            } else {
                s_.shortcuts.saveInternetShortcut(file, kMakerHomePage);
            }
        }
        s_.shortcuts.end();
    }

    bool registerUninstaller() {
        s_.page.setStatusText("Registering uninstaller");
        std::unique_ptr<RegistryKey> list;
        if (s_.registry.openLocalMachine(kUninstallListKey, true, list) != kRegSuccess) {
            return fail(kUninstallListFailure);
        }
        std::unique_ptr<RegistryKey> entry;
        if (s_.registry.createLocalMachine(kUninstallListKey, kUninstallEntry, entry) !=
            kRegSuccess) {
            return fail(kUninstallKeyFailure);
        }
        std::string uninstaller = path(kUninstallerEntryName);
        const std::pair<const char*, const std::string> values[] = {
            {"DisplayName", kUninstallDisplayName},
            {"DisplayIcon", uninstaller},
            {"UninstallString", uninstaller},
        };
        for (const auto& [name, text] : values) {
            if (entry->setValue(name, kRegSz, text.c_str(),
                                static_cast<std::uint32_t>(text.size() + 1)) != kRegSuccess) {
                return fail(kUninstallValueFailure);
            }
        }
        return true;
    }

    InstallSystem& s_;
    std::string folder_;
    bool createStartMenu_;
};

}  // namespace

bool RunInstall(InstallSystem& system, const InstallChoices& choices) {
    return Installation(system, choices).run();
}

}  // namespace qm
