#include "rules/rules_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/testing/memory_file_system.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;
using namespace std::string_literals;

const std::string kModule = "C:\\Program Files\\quellmark\\quellmark.dll";
const std::string kPath = "C:\\Program Files\\quellmark\\qmr.dat";
const std::string kTemporary = "C:\\Program Files\\quellmark\\qmr.tmp";

class RecordingUi : public RulesUi {
public:
    void ShowError(const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
    }
    std::vector<std::pair<std::string, std::string>> shown;
};

std::vector<Rule> RulesOf(const RuleSet& set) {
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < set.size(); ++i) rules.push_back(set[i]);
    return rules;
}

RuleSet SetOf(const std::vector<Rule>& rules) {
    RuleSet set;
    for (const Rule& rule : rules) set.append(rule);
    return set;
}

std::string Printable(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        static const char kHex[] = "0123456789ABCDEF";
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += std::string("<") + kHex[c >> 4] + kHex[c & 15] + ">";
        }
    }
    return out;
}

}  // namespace

void PrintTo(const Rule& rule, std::ostream* out) {
    *out << "{flags " << rule.flags << ", [" << Printable(rule.name) << "], ["
         << Printable(rule.popupLocation) << "], [" << Printable(rule.sourceLocation) << "]}";
}

namespace {

TEST(RulesFile, LivesBesideTheModule) {
    EXPECT_EQ(RulesFilePath(kModule), kPath);
    EXPECT_EQ(RulesFilePath("D:\\quellmark.dll"), "D:\\qmr.dat");
}

// Rules the editor makes and rules only a file can hold, in the exact bytes
// that hold them.
const std::vector<Rule> kRules = {
    {White | On | PopupExact, "D.T ... F", "http://W.D.T/A/F", "http://S.E.U/"},
    {On | SourceDomain | SourceExact, "entire", "", "E.U"},
    {PopupExact | SourceExact | SourceDomain, "flags 0D", "P://A", "P://B"},
    {White | PopupDomain | PopupExact, "", "D.T", ""},
    {0xFFA5, "high byte \x81\x40", "P://\xE0\x41/", "\x82"},
};
const std::string kBytes =
    "\x31\x1B"
    "D.T ... F\x1Bhttp://W.D.T/A/F\x1Bhttp://S.E.U/\r\n"
    "\x2C\x1B"
    "entire\x1B\x1B"
    "E.U\r\n"
    "\x0D\x1B"
    "flags 0D\x1BP://A\x1BP://B\r\n"
    "\x13\x1B\x1B"
    "D.T\x1B\r\n"
    "\xA5\x1B"
    "high byte \x81\x40\x1BP://\xE0\x41/\x1B\x82\r\n";

TEST(RulesFile, SavesRecordsByteForByteAndLoadsThemBack) {
    MemoryFileSystem files;
    RecordingUi ui;
    ASSERT_TRUE(SaveRules(files, kModule, SetOf(kRules), ui));
    EXPECT_EQ(Printable(files.contents(kPath)), Printable(kBytes));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(files.exists(kTemporary));

    RuleSet loaded;
    ASSERT_TRUE(LoadRules(files, kModule, loaded));
    EXPECT_EQ(RulesOf(loaded), kRules);
    // And loaded rules are saved as they were read.
    files.remove(kPath);
    ASSERT_TRUE(SaveRules(files, kModule, loaded, ui));
    EXPECT_EQ(Printable(files.contents(kPath)), Printable(kBytes));
}

// What the rule editor does: load, change, save. The loaded rules' texts
// come from the file's bytes; the file must come out with the edits only.
TEST(RulesFile, LoadedRulesAreEditedAndSavedAgain) {
    MemoryFileSystem files;
    files.put(kPath, kBytes);
    RuleSet rules;
    ASSERT_TRUE(LoadRules(files, kModule, rules));
    rules.removeAt(*rules.find(kRules[0]));
    rules.replace(0, Rule{On | SourceDomain | SourceExact, "entire F.U", "", "F.U"});
    rules.append(Rule{White | On | PopupExact, "new", "P://N", "S"});
    RecordingUi ui;
    ASSERT_TRUE(SaveRules(files, kModule, rules, ui));
    const std::string expected =
        "\x2C\x1B"
        "entire F.U\x1B\x1B"
        "F.U\r\n"
        "\x0D\x1B"
        "flags 0D\x1BP://A\x1BP://B\r\n"
        "\x13\x1B\x1B"
        "D.T\x1B\r\n"
        "\xA5\x1B"
        "high byte \x81\x40\x1BP://\xE0\x41/\x1B\x82\r\n"
        "\x31\x1Bnew\x1BP://N\x1BS\r\n";
    EXPECT_EQ(Printable(files.contents(kPath)), Printable(expected));
    EXPECT_TRUE(rules.MatchesBlackList("", "P://W.F.U/"));
    EXPECT_FALSE(rules.MatchesBlackList("", "P://W.E.U/"));
}

TEST(RulesFile, LoadingReplacesTheRulesOnlyWhenThereIsData) {
    struct Case {
        const char* label;
        bool exists;
        std::string contents;
        bool failRead;
        bool loads;
    } cases[] = {
        {"missing file", false, "", false, false},
        {"empty file", true, "", false, false},
        {"zero byte first", true, "\0\x31\x1Bn\x1Bp\x1Bs\r\n"s, false, false},
        {"read fails", true, kBytes, true, false},
        {"rules", true, kBytes, false, true},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        if (c.exists) files.put(kPath, c.contents);
        if (c.failRead) files.failRead.insert(kPath);
        RuleSet rules;
        rules.append(Rule{On | PopupExact, "kept", "P://K", ""});
        EXPECT_EQ(LoadRules(files, kModule, rules), c.loads) << c.label;
        if (c.loads) {
            EXPECT_EQ(RulesOf(rules), kRules) << c.label;
        } else {
            ASSERT_EQ(rules.size(), 1u) << c.label;
            EXPECT_EQ(rules[0].name, "kept") << c.label;
        }
    }
}

TEST(RulesFile, MalformedRecordsLoadAsFarAsTheScanTakesThem) {
    struct Case {
        const char* label;
        std::string data;
        std::vector<Rule> rules;
    } cases[] = {
        {"last record without line end, complete", "\x31\x1Bn\x1Bp\x1Bs", {{0x31, "n", "p", "s"}}},
        {"last record without line end, no flags", "\x1Bn\x1Bp\x1Bs", {}},
        {"last record without line end, empty name", "\x31\x1B\x1Bp\x1Bs", {}},
        {"last record without line end, empty popup", "\x31\x1Bn\x1B\x1Bs", {}},
        {"last record without line end, empty source", "\x31\x1Bn\x1Bp\x1B", {}},
        {"last record without line end after a full one",
         "\x31\x1B"
         "a\x1B"
         "b\x1B"
         "c\r\n\x32",
         {{0x31, "a", "b", "c"}}},
        {"empty line", "\r\n", {{0, "", "", ""}}},
        {"empty lines between records",
         "\x31\x1Bn\x1Bp\x1Bs\r\n\r\n\r\n\x32\x1Bm\x1Bq\x1Bt",
         {{0x31, "n", "p", "s"}, {0, "", "", ""}, {0, "", "", ""}, {0x32, "m", "q", "t"}}},
        {"surplus separators",
         "\x31\x1Bn\x1Bp\x1Bs1\x1Bs2\x1B\x1Bs3\r\n",
         {{0x31, "n", "p", "s1s2s3"}}},
        {"several flags bytes: the last counts", "ABC\x1Bn\x1Bp\x1Bs\r\n", {{'C', "n", "p", "s"}}},
        {"flags 0D before a separator", "\x0D\x1Bn\x1Bp\x1Bs\r\n", {{0x0D, "n", "p", "s"}}},
        {"high flags byte is sign-extended", "\xB0\x1Bn\x1Bp\x1Bs\r\n", {{0xFFB0, "n", "p", "s"}}},
        {"CR before the line end is a flags byte", "\r\r\n", {{0x0D, "", "", ""}}},
        {"lone CR and LF are text", "\x31\x1Bn\rx\x1Bp\ny\x1Bs\r\n", {{0x31, "n\rx", "p\ny", "s"}}},
        {"fewer fields", "\x31\x1Bname\r\n\x32\r\n", {{0x31, "name", "", ""}, {0x32, "", "", ""}}},
        {"data ends at the first zero byte",
         "\x31\x1Bn\x1Bp\x1Bs\r\n\x32\x1Bm\0\x1Bq\x1Bt\r\n"s,
         {{0x31, "n", "p", "s"}}},
        {"zero byte cuts a last record short", "\x31\x1Bn\x1Bp\x1Bs\0x"s, {{0x31, "n", "p", "s"}}},
    };
    for (const Case& c : cases) {
        RuleSet rules;
        EXPECT_TRUE(DecodeRules(c.data, rules)) << c.label;
        EXPECT_EQ(RulesOf(rules), c.rules) << c.label;
    }
}

TEST(RulesFile, TextsCannotBreakRecords) {
    const std::vector<Rule> rules = {
        {White | On | PopupExact,
         "a\x1B"
         "b\rc\nd\0e"s,
         "P://X\r\n/", "\x1B"},
        {On | SourceExact, "next", "", "P://Y"},
    };
    MemoryFileSystem files;
    RecordingUi ui;
    ASSERT_TRUE(SaveRules(files, kModule, SetOf(rules), ui));
    RuleSet loaded;
    ASSERT_TRUE(LoadRules(files, kModule, loaded));
    const std::vector<Rule> expected = {
        {White | On | PopupExact, "a b c d e", "P://X  /", " "},
        {On | SourceExact, "next", "", "P://Y"},
    };
    EXPECT_EQ(RulesOf(loaded), expected);
}

TEST(RulesFile, FlagsThatWouldEndTheDataOrShiftTheFieldsAreNotWritten) {
    const std::vector<Rule> rules = {
        {0, "", "", ""},  // loaded from an empty line
        {White | SourceDomain | PopupDomain | PopupExact, "esc", "D.T", ""},
        {On | SourceExact, "after", "", "P://Y"},
    };
    RuleSet encoded;
    ASSERT_TRUE(DecodeRules(EncodeRules(SetOf(rules)), encoded));
    const std::vector<Rule> expected = {
        {0, "", "", ""},
        {White | SourceDomain | SourceExact | PopupDomain | PopupExact, "esc", "D.T", ""},
        {On | SourceExact, "after", "", "P://Y"},
    };
    EXPECT_EQ(RulesOf(encoded), expected);
}

TEST(RulesFile, SavingNoRulesLeavesNoFile) {
    MemoryFileSystem files;
    files.put(kPath, kBytes);
    RecordingUi ui;
    EXPECT_TRUE(SaveRules(files, kModule, RuleSet(), ui));
    EXPECT_EQ(files.fileCount(), 0u);
    EXPECT_TRUE(SaveRules(files, kModule, RuleSet(), ui));  // nothing to delete
    EXPECT_TRUE(ui.shown.empty());

    RuleSet rules;
    EXPECT_FALSE(LoadRules(files, kModule, rules));
    EXPECT_TRUE(rules.empty());
}

TEST(RulesFile, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    const std::string oldBytes = "\x31\x1Bold\x1Bp\x1Bs\r\n";
    // Each returns the handle another window holds open, if any.
    struct Case {
        const char* label;
        std::unique_ptr<File> (*inject)(MemoryFileSystem&);
        const char* message;
        bool othersTemporary;  // another save's temporary file stays
    } cases[] = {
        {"temporary file cannot be created",
         [](MemoryFileSystem& f) {
             f.failOpen.insert(kTemporary);
             return std::unique_ptr<File>();
         },
         kRulesAccessError, false},
        {"temporary file held by another save",
         [](MemoryFileSystem& f) {
             return f.open(kTemporary, FileAccess::Write, kShareNone,
                           FileDisposition::CreateAlways);
         },
         kRulesAccessError, true},
        {"write fails",
         [](MemoryFileSystem& f) {
             f.failWrite.insert(kTemporary);
             return std::unique_ptr<File>();
         },
         kRulesSaveError, false},
        {"rules file cannot be replaced",
         [](MemoryFileSystem& f) {
             f.failReplace.insert(kPath);
             return std::unique_ptr<File>();
         },
         kRulesAccessError, false},
        {"rules file held open by a reader",
         [](MemoryFileSystem& f) {
             return f.open(kPath, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
         },
         kRulesAccessError, false},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        files.put(kPath, oldBytes);
        std::unique_ptr<File> held = c.inject(files);
        RecordingUi ui;
        EXPECT_FALSE(SaveRules(files, kModule, SetOf(kRules), ui)) << c.label;
        EXPECT_EQ(files.contents(kPath), oldBytes) << c.label;
        EXPECT_EQ(files.exists(kTemporary), c.othersTemporary) << c.label;
        ASSERT_EQ(ui.shown.size(), 1u) << c.label;
        EXPECT_EQ(ui.shown[0].first, c.message) << c.label;
        EXPECT_EQ(ui.shown[0].second, "error!") << c.label;
        held.reset();
        RuleSet loaded;
        ASSERT_TRUE(LoadRules(files, kModule, loaded)) << c.label;
        EXPECT_EQ(loaded[0].name, "old") << c.label;
    }
}

}  // namespace
}  // namespace qm
