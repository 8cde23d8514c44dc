#include "wizard/install_steps.h"

#include <cctype>
#include <cstring>

namespace qm {
namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool SameAt(const std::string& name, std::size_t at, const char* part) {
    std::size_t length = std::strlen(part);
    if (at + length > name.size()) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (Lower(name[at + i]) != Lower(part[i])) return false;
    }
    return true;
}

bool SameName(const std::string& name, const char* other) {
    return name.size() == std::strlen(other) && SameAt(name, 0, other);
}

std::string TemporaryName(char kind, const PackagedFile& file) {
    return kTemporaryPrefix + std::string(1, kind) + std::to_string(file.resource) +
           kTemporarySuffix;
}

}  // namespace

const PackagedFile kPackagedFiles[5] = {
    {199, "quellmark.dll", "Extracting \"quellmark.dll\"", 50},
    {149, "EULA.txt", "Extracting \"eula.txt\"", 55},
    {186, "readme.txt", nullptr, 60},
    {197, "uninstall.exe", "Extracting \"Uninstall.exe\"", -1},
    {200, "qmhelp.chm", "Extracting quellmark Help File", 70},
};

const FirstSetting kFirstSettings[12] = {
    {"GuardLevel", 2, "Installer error:\ncould not access registry value HKLM:GuardLevel"},
    {"LoadBare", 1, "Installer error:\ncould not access registry value HKLM:LoadBare"},
    {"CompleteBlock", 0, "Installer error:\ncould not access registry value HKLM:CompleteBlock"},
    {"ClearOnUnload", 1, "Installer error:\ncould not access registry value HKLM:ClearOnUnload"},
    {"AllowFlashScripts", 1,
     "Installer error:\ncould not access registry value HKLM:AllowFlashScripts"},
    {"FlashAlert", 1, "Installer error:\ncould not access registry value HKLM:FlashAlert"},
    // The installer shows the popup list as a report, unlike the band's own default.
    {"PopupListView", 3, "Installer error:\ncould not access registry value HKLM:PopupListView"},
    {"BandVisibility", 1, "Installer error:\ncould not access registry value HKLM:Band Visibility"},
    {"LogStopped", 1, "Installer error:\ncould not access registry value HKLM:Log Stopped"},
    {"LogRecorded", 1, "Installer error:\ncould not access registry value HKLM:Log Recorded"},
    {"MaxLogSize", 10, "Installer error:\ncould not access registry value HKLM:Max Log Size"},
    {"LogFullAction", 0, "Installer error:\ncould not access registry value HKLM:Log Full Action"},
};

const StartMenuItem kStartMenuItems[5] = {
    {"EULA.lnk", "EULA.txt", "End User License Agreement for quellmark by Marrow Labs"},
    {"ReadMe.lnk", "readme.txt", "ReadMe information for quellmark by Marrow Labs"},
    {"Uninstall.lnk", kUninstallerEntryName, "Uninstall quellmark by Marrow Labs"},
    {"quellmark Help.lnk", "qmhelp.chm", "quellmark Help and Documentation"},
    {"Marrow Labs Online.url", nullptr, nullptr},
};

std::string NewFileName(const PackagedFile& file) {
    return TemporaryName('n', file);
}

std::string OldFileName(const PackagedFile& file) {
    return TemporaryName('o', file);
}

bool IsProductFileName(const std::string& name) {
    for (const PackagedFile& file : kPackagedFiles) {
        if (SameName(name, file.fileName)) return true;
    }
    for (const char* data : kBandDataFiles) {
        if (SameName(name, data)) return true;
    }
    std::size_t prefix = std::strlen(kTemporaryPrefix);
    std::size_t suffix = std::strlen(kTemporarySuffix);
    return name.size() > prefix + suffix && SameAt(name, 0, kTemporaryPrefix) &&
           SameAt(name, name.size() - suffix, kTemporarySuffix);
}

}  // namespace qm
