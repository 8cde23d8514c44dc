#include "wizard/install_path.h"

#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/testing/dbcs_code_page.h"

namespace qm {
namespace {

using Prefixes = std::vector<std::string>;

TEST(InstallPath, SplitsAFolderIntoItsCumulativePrefixes) {
    const struct {
        const char* path;
        Prefixes prefixes;
    } cases[] = {
        {"C:\\Program Files\\Marrow Labs\\quellmark",
         {"C:", "C:\\Program Files", "C:\\Program Files\\Marrow Labs",
          "C:\\Program Files\\Marrow Labs\\quellmark"}},
        {"C:\\a\\\\b", {"C:", "C:\\a", "C:\\a\\b"}},
        {"C:\\a\\b\\", {"C:", "C:\\a", "C:\\a\\b"}},
        {"C:", {"C:"}},
        {"\\\\server\\share\\q", {"\\\\server", "\\\\server\\share", "\\\\server\\share\\q"}},
        {"", {}},
        {"\\", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(CumulativePrefixes(c.path), c.prefixes) << c.path;
}

TEST(InstallPath, NamesAndFoldersOfAPath) {
    const struct {
        const char* path;
        const char* withoutSlash;
        const char* last;
        const char* parent;
    } cases[] = {
        {"C:\\Program Files\\Marrow Labs\\quellmark", "C:\\Program Files\\Marrow Labs\\quellmark",
         "quellmark", "C:\\Program Files\\Marrow Labs"},
        {"C:\\a\\", "C:\\a", "", "C:\\a"},
        {"C:\\a\\\\", "C:\\a\\", "", "C:\\a\\"},
        {"uninstall.exe", "uninstall.exe", "uninstall.exe", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutTrailingBackslash(c.path), c.withoutSlash) << c.path;
        EXPECT_EQ(LastComponent(c.path), c.last) << c.path;
        EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    }
}

TEST(InstallPath, ABackslashTrailByteSplitsNothing) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scoped(dbcs);
    // 0x95 0x5C is one double-byte character whose trail byte is a backslash.
    const std::string folder = "C:\\\x95\\";
    EXPECT_EQ(WithoutTrailingBackslash(folder), folder);
    EXPECT_EQ(CumulativePrefixes(folder + "\\x"), (Prefixes{"C:", folder, folder + "\\x"}));
    EXPECT_EQ(LastComponent(folder), "\x95\\");
    EXPECT_EQ(ParentFolder(folder), "C:");
    EXPECT_EQ(JoinPath(folder, "a"), folder + "\\a");
}

TEST(InstallPath, JoinsWithoutDoublingABackslash) {
    EXPECT_EQ(JoinPath("C:\\Temp\\", "qmdel.bat"), "C:\\Temp\\qmdel.bat");
    EXPECT_EQ(JoinPath("C:\\Temp", "qmdel.bat"), "C:\\Temp\\qmdel.bat");
}

TEST(InstallPath, DefaultFolderIsBelowProgramFiles) {
    EXPECT_EQ(DefaultInstallFolder("C:\\Program Files", "D:\\Apps"),
              "C:\\Program Files\\Marrow Labs\\quellmark");
    EXPECT_EQ(DefaultInstallFolder("", "D:\\Apps"), "D:\\Apps\\Marrow Labs\\quellmark")
        << "the registry's ProgramFilesDir when the system names no folder";
    EXPECT_EQ(DefaultInstallFolder("E:\\", ""), "E:\\Marrow Labs\\quellmark");
}

}  // namespace
}  // namespace qm
