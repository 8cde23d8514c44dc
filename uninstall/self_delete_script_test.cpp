#include "uninstall/self_delete_script.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::string kUninstaller = "C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe";
const std::string kFolder = "C:\\Program Files\\Marrow Labs\\quellmark";
const std::string kScript = "C:\\WINDOWS\\TEMP\\qmdel.bat";

TEST(SelfDeleteScript, ClearsReadOnlyRepeatsUntilTheUninstallerIsGoneThenRemovesTheFolders) {
    EXPECT_EQ(
        SelfDeleteScript(kUninstaller, kFolder, "C:\\Program Files\\Marrow Labs", kScript),
        "attrib -r \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\"\r\n"
        ":Repeat\r\n"
        "del \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\"\r\n"
        "if exist \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\" goto Repeat\r\n"
        "rmdir \"C:\\Program Files\\Marrow Labs\\quellmark\"\r\n"
        "rmdir \"C:\\Program Files\\Marrow Labs\"\r\n"
        "del \"C:\\WINDOWS\\TEMP\\qmdel.bat\"\r\n");
}

TEST(SelfDeleteScript, KeepsTheMakersFolderWhenItHoldsMore) {
    EXPECT_EQ(
        SelfDeleteScript(kUninstaller, kFolder, "", kScript),
        "attrib -r \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\"\r\n"
        ":Repeat\r\n"
        "del \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\"\r\n"
        "if exist \"C:\\Program Files\\Marrow Labs\\quellmark\\uninstall.exe\" goto Repeat\r\n"
        "rmdir \"C:\\Program Files\\Marrow Labs\\quellmark\"\r\n"
        "del \"C:\\WINDOWS\\TEMP\\qmdel.bat\"\r\n");
}

TEST(SelfDeleteScript, MakersFolderGoesWhenOnlyTheInstallFolderIsInIt) {
    const struct {
        std::size_t entries;
        bool goes;
    } cases[] = {{0, true}, {2, true}, {3, true}, {4, false}, {40, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(MakerFolderGoes("C:\\Program Files\\Marrow Labs", c.entries), c.goes)
            << c.entries;
    }
    EXPECT_FALSE(MakerFolderGoes("", 3)) << "an install folder without a parent";
}

}  // namespace
}  // namespace qm
