#pragma once
// What the installer writes: the packaged files, the settings with their
// first values, the Start-menu items and the uninstall entry, as tables.

#include <cstdint>
#include <string>

namespace qm {

// Resource type of the packaged files.
constexpr char kPackagedFileType[] = "FILES";

struct PackagedFile {
    int resource;
    const char* fileName;  // written into the install folder
    const char* status;    // text shown before the file is written; null keeps the last one
    int progress;          // bar position after the file; -1 leaves it
};
extern const PackagedFile kPackagedFiles[5];

// What the band keeps beside itself: the rules and the activity log.
constexpr const char* kBandDataFiles[] = {"qmr.dat", "qml.dat"};

// Every file the product writes under a temporary name, until it is whole,
// is named "qm" + anything + ".tmp" in the install folder: the rules and the
// log while they are rewritten, the installer's files while they are written.
constexpr char kTemporaryPrefix[] = "qm";
constexpr char kTemporarySuffix[] = ".tmp";

// The installer's temporary names for a packaged file: the new file until it
// is whole ("qmn199.tmp"), and the installed one while the new one takes its
// place ("qmo199.tmp").
std::string NewFileName(const PackagedFile& file);
std::string OldFileName(const PackagedFile& file);

// Whether `name`, an entry of the install folder, is one the product put
// there: a packaged file, the rules, the log or a temporary name of ours.
// Names are compared without regard to case, as the file system does.
bool IsProductFileName(const std::string& name);

// Settings values after `Path`, in the order they are written.
struct FirstSetting {
    const char* name;
    std::uint32_t value;
    const char* failure;
};
extern const FirstSetting kFirstSettings[12];
constexpr char kPathFailure[] = "Installer error:\ncould not access registry value: HKLM:Path";

struct StartMenuItem {
    const char* fileName;     // in the product's Start-menu folder
    const char* target;       // in the install folder; null for the internet shortcut
    const char* description;  // of a link
};
extern const StartMenuItem kStartMenuItems[5];

// The maker's home page, the target of the internet shortcut.
constexpr char kMakerHomePage[] = "http://www.marrowlabs.example/";

constexpr char kUninstallListKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUninstallEntry[] = "Marrow Labs quellmark";
constexpr char kUninstallDisplayName[] = "Marrow Labs quellmark";
// The entry and the shortcut name the uninstaller so; the file is written
// as "uninstall.exe" on a file system that ignores case.
constexpr char kUninstallerEntryName[] = "Uninstall.exe";

}  // namespace qm
