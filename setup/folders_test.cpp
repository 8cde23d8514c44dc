#include "wizard/folders.h"

#include <gtest/gtest.h>

#include "setup/options_folder.h"
#include "wizard/testing/memory_folders.h"

namespace qm {
namespace {

using testing::MemoryFolders;

const std::string kFolder = "C:\\Program Files\\Marrow Labs\\quellmark";

class EnsureFolderTest : public ::testing::Test {
protected:
    EnsureFolderTest() {
        folders.addFolder("C:");
        folders.addFolder("C:\\Program Files");
    }
    MemoryFolders folders;
};

TEST_F(EnsureFolderTest, OnlyAPlainDirectoryCountsAsAFolder) {
    const struct {
        std::uint32_t attributes;
        bool counts;
    } cases[] = {
        {kAttributeDirectory, true},
        {kAttributeDirectory | kAttributeReadOnly, false},
        {kAttributeDirectory | 0x20, false},  // archive
        {0x20, false},                        // a file of that name
    };
    for (const auto& c : cases) {
        folders.addFolder(kFolder, c.attributes);
        EXPECT_EQ(IsExistingFolder(folders, kFolder), c.counts) << c.attributes;
        EXPECT_EQ(EnsureFolder(folders, kFolder, false), c.counts) << c.attributes;
    }
    EXPECT_TRUE(folders.created.empty());
}

TEST_F(EnsureFolderTest, CreatesEachMissingLevel) {
    EXPECT_FALSE(EnsureFolder(folders, kFolder, false));
    EXPECT_FALSE(folders.exists(kFolder)) << "nothing is created without being asked";
    EXPECT_TRUE(EnsureFolder(folders, kFolder + "\\", true));
    EXPECT_EQ(folders.created,
              (std::vector<std::string>{"C:\\Program Files\\Marrow Labs", kFolder}));
    EXPECT_EQ(folders.reset, std::vector<std::string>{"C:\\Program Files"})
        << "the existing level gets normal attributes, the drive is left alone";
}

TEST_F(EnsureFolderTest, AnExistingFolderWithOtherAttributesIsReset) {
    folders.addFolder("C:\\Program Files\\Marrow Labs");
    folders.addFolder(kFolder, kAttributeDirectory | kAttributeReadOnly);
    EXPECT_TRUE(EnsureFolder(folders, kFolder, true));
    EXPECT_TRUE(IsExistingFolder(folders, kFolder));
}

TEST_F(EnsureFolderTest, FailsWhereAFolderCannotBeMade) {
    const struct {
        const char* name;
        void (*arrange)(MemoryFolders&);
    } cases[] = {
        {"a file is in the way",
         [](MemoryFolders& f) { f.addFile("C:\\Program Files\\Marrow Labs"); }},
        {"no right to create", [](MemoryFolders& f) { f.failCreate.insert(kFolder); }},
        {"compressed folder",
         [](MemoryFolders& f) {
             f.addFolder("C:\\Program Files\\Marrow Labs");
             f.addFolder(kFolder, kAttributeDirectory | 0x800);
             f.keptAttributes = 0x800;
         }},
    };
    for (const auto& c : cases) {
        MemoryFolders caseFolders;
        caseFolders.addFolder("C:");
        caseFolders.addFolder("C:\\Program Files");
        c.arrange(caseFolders);
        EXPECT_FALSE(EnsureFolder(caseFolders, kFolder, true)) << c.name;
    }
}

TEST_F(EnsureFolderTest, OptionsPageChecksTheTypedFolder) {
    folders.addFolder("C:\\Games");
    const struct {
        const char* text;
        FolderCheck check;
        const char* folder;
    } cases[] = {
        {"", FolderCheck::Empty, ""},
        {"C:\\Games", FolderCheck::Accept, "C:\\Games"},
        {"C:\\Games\\", FolderCheck::Accept, "C:\\Games"},
        {"C:\\Games\\Marrow Labs", FolderCheck::AskToCreate, "C:\\Games\\Marrow Labs"},
        {"C:\\Games\\new\\", FolderCheck::AskToCreate, "C:\\Games\\new"},
    };
    for (const auto& c : cases) {
        OptionsFolder result = CheckOptionsFolder(folders, c.text);
        EXPECT_EQ(result.check, c.check) << c.text;
        EXPECT_EQ(result.folder, c.folder) << c.text;
    }
    EXPECT_TRUE(folders.created.empty()) << "the options page never creates the folder";
}

TEST(ResetButton, IsOfferedWhileTheFolderIsNotTheDefault) {
    const std::string defaultFolder = "C:\\Program Files\\Marrow Labs\\quellmark";
    EXPECT_FALSE(ResetOffered(defaultFolder, defaultFolder));
    EXPECT_TRUE(ResetOffered("D:\\Tools", defaultFolder));
    EXPECT_TRUE(ResetOffered(defaultFolder + "\\", defaultFolder));
    EXPECT_TRUE(ResetOffered("", defaultFolder));
}

}  // namespace
}  // namespace qm
