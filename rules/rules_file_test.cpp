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
// The memory file system numbers its temporary files from 1.
const std::string kTemporary = "C:\\Program Files\\quellmark\\qmr0001.tmp";

class RecordingUi : public RulesUi {
public:
    void ShowError(const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
    }
    std::vector<std::pair<std::string, std::string>> shown;
};

// One save as a change makes it: under the lock, failures shown.
bool SaveRules(MemoryFileSystem& files, const std::string& module, const RuleSet& rules,
               RulesUi& ui) {
    std::unique_ptr<FileLock> lock = LockRulesFile(files, module);
    const char* error = lock ? WriteRulesFile(files, module, rules) : kRulesAccessError;
    if (error) ui.ShowError(error, kRulesErrorCaption);
    return !error;
}

constexpr RulesFileState kLoaded = RulesFileState::kLoaded;

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
    ASSERT_EQ(LoadRules(files, kModule, loaded), kLoaded);
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
    ASSERT_EQ(LoadRules(files, kModule, rules), kLoaded);
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

// A file that is there but cannot be read now, or is too large for an
// editor-made list, is refused: the band must never save over it.
TEST(RulesFile, LoadingTellsNoFileFromLoadedFromRefused) {
    const RulesFileState kNoFile = RulesFileState::kNoFile;
    const RulesFileState kRefused = RulesFileState::kRefused;
    // Empty lines: the cheapest rules a file can hold.
    std::string atBound;
    while (atBound.size() < kMaxRulesFileSize) atBound += "\r\n";
    const std::string pastBound = atBound + "\r";
    struct Case {
        const char* label;
        void (*arrange)(MemoryFileSystem&, std::unique_ptr<File>& held,
                        std::unique_ptr<FileLock>& lock);
        std::string contents;  // of qmr.dat, when arrange leaves it
        RulesFileState state;
    } cases[] = {
        {"missing file", [](MemoryFileSystem& f, auto&, auto&) { f.remove(kPath); }, "", kNoFile},
        {"empty file", nullptr, "", kNoFile},
        {"zero byte first", nullptr, "\0\x31\x1Bn\x1Bp\x1Bs\r\n"s, kNoFile},
        {"rules", nullptr, kBytes, kLoaded},
        {"read fails", [](MemoryFileSystem& f, auto&, auto&) { f.failRead.insert(kPath); }, kBytes,
         kRefused},
        {"size unknown", [](MemoryFileSystem& f, auto&, auto&) { f.failSize.insert(kPath); },
         kBytes, kRefused},
        {"held without sharing by another program",
         [](MemoryFileSystem& f, auto& held, auto&) {
             held = f.open(kPath, FileAccess::Write, kShareNone, FileDisposition::OpenExisting);
         },
         kBytes, kRefused},
        {"another window keeps the lock",
         [](MemoryFileSystem& f, auto&, auto& lock) { lock = f.lock(kPath); }, kBytes, kRefused},
        {"at the size bound", nullptr, atBound, kLoaded},
        {"past the size bound", nullptr, pastBound, kRefused},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        files.put(kPath, c.contents);
        std::unique_ptr<File> held;
        std::unique_ptr<FileLock> lock;
        if (c.arrange) c.arrange(files, held, lock);
        RuleSet rules;
        rules.append(Rule{On | PopupExact, "kept", "P://K", ""});
        EXPECT_EQ(LoadRules(files, kModule, rules), c.state) << c.label;
        if (c.state == kLoaded) {
            EXPECT_NE(rules[0].name, "kept") << c.label;
        } else {
            ASSERT_EQ(rules.size(), 1u) << c.label;
            EXPECT_EQ(rules[0].name, "kept") << c.label;
        }
    }
    MemoryFileSystem files;
    files.put(kPath, atBound);
    RuleSet rules;
    ASSERT_EQ(LoadRules(files, kModule, rules), kLoaded);
    EXPECT_EQ(rules.size(), kMaxRulesFileSize / 2);
}

// A save stopped after the old file was deleted and before the new one was
// renamed (Windows 9x replaces in two steps) left the new one whole.
TEST(RulesFile, AMissingFileIsRecoveredFromAWholeLeftoverSave) {
    const std::string kFolder = "C:\\Program Files\\quellmark\\";
    const std::string whole = "\x31\x1Bnew\x1Bp\x1Bs\r\n";
    struct Case {
        const char* label;
        std::vector<std::pair<std::string, std::string>> files;
        RulesFileState state;
        const char* firstName;  // of the rules loaded, when loaded
        std::string rulesFile;  // qmr.dat afterwards
    } cases[] = {
        {"whole leftover", {{"qmr7a1f.tmp", whole}}, kLoaded, "new", whole},
        {"older fixed name", {{"QMR.TMP", whole}}, kLoaded, "new", whole},
        {"cut short", {{"qmr0002.tmp", "\x31\x1Bnew\x1Bp\x1Bs"}}, RulesFileState::kNoFile, "", ""},
        {"zeros of a power cut",
         {{"qmr0002.tmp", std::string(12, '\0')}},
         RulesFileState::kNoFile,
         "",
         ""},
        {"not one of ours",
         {{"qmr-notes.tmp", whole}, {"qmrfile.tmpx", whole}},
         RulesFileState::kNoFile,
         "",
         ""},
        {"rules file there",
         {{"qmr.dat", kBytes}, {"qmr0002.tmp", whole}},
         kLoaded,
         "D.T ... F",
         kBytes},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        for (const auto& file : c.files) files.put(kFolder + file.first, file.second);
        RuleSet rules;
        EXPECT_EQ(LoadRules(files, kModule, rules), c.state) << c.label;
        if (c.state == kLoaded) {
            EXPECT_EQ(rules[0].name, c.firstName) << c.label;
        }
        EXPECT_EQ(files.contents(kPath), c.rulesFile) << c.label;
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
    ASSERT_EQ(LoadRules(files, kModule, loaded), kLoaded);
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
    EXPECT_EQ(LoadRules(files, kModule, rules), RulesFileState::kNoFile);
    EXPECT_TRUE(rules.empty());
}

TEST(RulesFile, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    const std::string oldBytes = "\x31\x1Bold\x1Bp\x1Bs\r\n";
    // Each returns the handle another program holds open, if any.
    struct Case {
        const char* label;
        std::unique_ptr<File> (*inject)(MemoryFileSystem&);
        RuleSet rules;
        const char* message;
    } cases[] = {
        {"no temporary file can be made",
         [](MemoryFileSystem& f) {
             f.failTemporary = true;
             return std::unique_ptr<File>();
         },
         SetOf(kRules), kRulesAccessError},
        {"write fails",
         [](MemoryFileSystem& f) {
             f.failWrite.insert(kTemporary);
             return std::unique_ptr<File>();
         },
         SetOf(kRules), kRulesSaveError},
        {"flush fails",
         [](MemoryFileSystem& f) {
             f.failFlush.insert(kTemporary);
             return std::unique_ptr<File>();
         },
         SetOf(kRules), kRulesSaveError},
        {"rules file cannot be replaced",
         [](MemoryFileSystem& f) {
             f.failReplace.insert(kPath);
             return std::unique_ptr<File>();
         },
         SetOf(kRules), kRulesAccessError},
        {"rules file held open by a reader",
         [](MemoryFileSystem& f) {
             return f.open(kPath, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
         },
         SetOf(kRules), kRulesAccessError},
        {"last rule deleted, rules file held open",
         [](MemoryFileSystem& f) {
             return f.open(kPath, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
         },
         RuleSet(), kRulesAccessError},
        {"last rule deleted, rules file read-only",
         [](MemoryFileSystem& f) {
             f.failRemove.insert(kPath);
             return std::unique_ptr<File>();
         },
         RuleSet(), kRulesAccessError},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        files.put(kPath, oldBytes);
        std::unique_ptr<File> held = c.inject(files);
        RecordingUi ui;
        EXPECT_FALSE(SaveRules(files, kModule, c.rules, ui)) << c.label;
        EXPECT_EQ(files.contents(kPath), oldBytes) << c.label;
        EXPECT_EQ(files.fileCount(), 1u) << c.label << ": no temporary file is left";
        ASSERT_EQ(ui.shown.size(), 1u) << c.label;
        EXPECT_EQ(ui.shown[0].first, c.message) << c.label;
        EXPECT_EQ(ui.shown[0].second, "error!") << c.label;
        held.reset();
        RuleSet loaded;
        ASSERT_EQ(LoadRules(files, kModule, loaded), kLoaded) << c.label;
        EXPECT_EQ(loaded[0].name, "old") << c.label;
    }
}

TEST(RulesFile, ASaveRemovesLeftoversAndRefusesAListPastTheBound) {
    const std::string kFolder = "C:\\Program Files\\quellmark\\";
    MemoryFileSystem files;
    files.put(kFolder + "qmr.tmp", "stale");
    files.put(kFolder + "qmr12ab.tmp", "stale");
    files.put(kFolder + "qmr notes.tmp", "the user's");
    RecordingUi ui;
    ASSERT_TRUE(SaveRules(files, kModule, SetOf(kRules), ui));
    EXPECT_FALSE(files.exists(kFolder + "qmr.tmp"));
    EXPECT_FALSE(files.exists(kFolder + "qmr12ab.tmp"));
    EXPECT_EQ(files.contents(kFolder + "qmr notes.tmp"), "the user's");

    // One record of the editor's longest texts short of the bound, then one
    // past it: the file stays as the last save that fitted left it.
    const std::string text(259, 'x');
    const Rule longest{On | PopupExact, text, text, text};
    const std::size_t recordSize = 6 + 3 * text.size();
    RuleSet rules;
    for (std::size_t i = 0; i < kMaxRulesFileSize / recordSize; ++i) rules.append(longest);
    ASSERT_TRUE(SaveRules(files, kModule, rules, ui));
    EXPECT_LE(files.contents(kPath).size(), kMaxRulesFileSize);
    const std::string fitted = files.contents(kPath);
    rules.append(longest);
    EXPECT_FALSE(SaveRules(files, kModule, rules, ui));
    EXPECT_EQ(files.contents(kPath), fitted);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].first, kRulesSaveError);
}

}  // namespace
}  // namespace qm
