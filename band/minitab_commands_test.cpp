#include "band/minitab_commands.h"

#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/testing/dbcs_code_page.h"

namespace qm::band {
namespace {

TEST(MinitabCommands, TabClicks) {
    const struct {
        const char* label;
        bool maximised;
        bool selected;
        bool changeSize;
        bool maximiseTo;
    } cases[] = {
        {"another page of the maximised band", true, false, false, true},
        {"the selected tab minimises", true, true, true, false},
        {"the selected tab of the minimised band maximises", false, true, true, true},
        {"another tab of the minimised band maximises", false, false, true, true},
    };
    for (const auto& c : cases) {
        TabClick click = OnTabClick(c.maximised, c.selected);
        EXPECT_EQ(click.changeSize, c.changeSize) << c.label;
        if (click.changeSize) {
            EXPECT_EQ(click.maximiseTo, c.maximiseTo) << c.label;
        }
    }
}

TEST(MinitabCommands, QuickButtonAlternatesBetweenFullAndRecordOnly) {
    EXPECT_EQ(NextQuickLevel(2), 1);
    EXPECT_EQ(NextQuickLevel(1), 2);
    EXPECT_EQ(NextQuickLevel(0), 2);
}

TEST(MinitabCommands, HelpFileBesideTheDll) {
    const struct {
        const char* module;
        const char* help;
    } cases[] = {
        {"C:\\Program Files\\Quellmark\\quellmark.dll", "C:\\Program Files\\Quellmark\\qmhelp.chm"},
        {"C:\\quellmark.dll", "C:\\qmhelp.chm"},
        {"quellmark.dll", "\\qmhelp.chm"},
        {"", "\\qmhelp.chm"},
    };
    for (const auto& c : cases) EXPECT_EQ(HelpFilePath(c.module), c.help) << c.module;
}

TEST(MinitabCommands, HelpFolderIgnoresABackslashInsideADoubleByteCharacter) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    // 0x95 0x5C is one character whose second byte looks like a backslash.
    EXPECT_EQ(HelpFilePath("C:\\Tools\\\x95\\quellmark.dll"), "C:\\Tools\\qmhelp.chm");
    EXPECT_EQ(HelpFilePath("C:\\\x95\\x\\quellmark.dll"), "C:\\\x95\\x\\qmhelp.chm");
}

}  // namespace
}  // namespace qm::band
