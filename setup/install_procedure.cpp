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
        for (const PackagedFile& file : kPackagedFiles) {
            if (!extract(file)) return fail(kExtractFailure);
        }
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

    std::string path(const char* name) const { return JoinPath(folder_, name); }

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
        if (!s_.package.load(file.resource, bytes)) return false;
        std::unique_ptr<File> out = s_.files.open(path(file.fileName), FileAccess::Write,
                                                  kShareNone, FileDisposition::CreateAlways);
        if (!out || !out->write(bytes)) return false;
        if (file.progress >= 0) s_.page.setProgress(file.progress);
        return true;
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
