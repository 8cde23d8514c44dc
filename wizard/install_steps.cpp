#include "wizard/install_steps.h"

namespace qm {

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

}  // namespace qm
