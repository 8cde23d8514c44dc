#include "rules/rule_book.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "common/testing/memory_file_system.h"
#include "rules/rule_lists.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;

const std::string kModule = "C:\\qm\\quellmark.dll";
const std::string kPath = "C:\\qm\\qmr.dat";

// The rules one per line: "flags(hex)|name|popup|source".
std::string Dump(const RuleSet& rules) {
    std::ostringstream out;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        out << std::hex << rules[i].flags << "|" << rules[i].name << "|" << rules[i].popupLocation
            << "|" << rules[i].sourceLocation << "\n";
    }
    return out.str();
}

RuleSet SetOf(const std::vector<Rule>& rules) {
    RuleSet set;
    for (const Rule& rule : rules) set.append(rule);
    return set;
}

// Plays the user at the editor and records what the rule book asked for.
class ScriptedUi : public RuleBookUi {
public:
    explicit ScriptedUi(MemoryFileSystem& files) : files_(files) {}

    bool RunRuleEditor(RuleEditorState& state) override {
        opened.push_back(state);
        events.push_back("editor");
        return user ? user(state) : false;
    }
    std::string CurrentPageAddress() override {
        events.push_back("page address");
        return pageAddress;
    }
    void RefreshRuleLists() override {
        events.push_back("refresh");
        fileAtRefresh = files_.exists(kPath) ? files_.contents(kPath) : "(none)";
    }
    void ShowError(const std::string& text, const std::string& caption) override {
        events.push_back(caption + ": " + text);
    }

    std::function<bool(RuleEditorState&)> user;
    std::string pageAddress = "http://www.page.com/news/";
    std::vector<RuleEditorState> opened;
    std::vector<std::string> events;
    std::string fileAtRefresh;

private:
    MemoryFileSystem& files_;
};

class RuleBookTest : public ::testing::Test {
protected:
    void Start(const std::vector<Rule>& start) {
        rules = SetOf(start);
        files.put(kPath, EncodeRules(rules));
    }
    // What the file holds, decoded.
    std::string FileRules() {
        RuleSet loaded;
        if (!files.exists(kPath)) return "(no file)";
        DecodeRules(files.contents(kPath), loaded);
        return Dump(loaded);
    }

    MemoryFileSystem files;
    ScriptedUi ui{files};
    RuleSet rules;
    RuleBook book{rules, files, kModule, ui};
};

const Rule kWhite1{White | On | PopupExact, "w1", "P://W1.D.T/", ""};
const Rule kBlack1{On | SourceExact, "b1", "", "P://B1.D.T/"};
const Rule kWhite2{White | SourceDomain | SourceExact, "w2", "", "W2.T"};
const Rule kBlack2{On | PopupDomain | PopupExact, "b2", "B2.T", ""};

TEST_F(RuleBookTest, AddRuleOpensTheEditorPrefilledForEachCaller) {
    struct Case {
        const char* label;
        std::uint16_t flags;
        const char* popup;
        const char* source;
        bool isWhite, isOn;
        const char* expectedSource;
    } cases[] = {
        {"white Add New", White | On, "", "", true, true, "http://www.page.com/news/"},
        {"black Add New", On, "", "", false, true, "http://www.page.com/news/"},
        {"Add Popup to White List", White | On, "P://ads.D.T/x", "P://S.E.U/", true, true,
         "P://S.E.U/"},
        {"Add Popup to Black List", On, "P://ads.D.T/x", "", false, true, ""},
        {"source without a popup address", White | On, "", "P://S.E.U/", true, true,
         "http://www.page.com/news/"},
        {"off, preset TO domain", PopupDomain | PopupExact, "P://ads.D.T/x", "", false, false, ""},
    };
    for (const Case& c : cases) {
        ui.opened.clear();
        book.AddRule(c.flags, c.popup, c.source);
        ASSERT_EQ(ui.opened.size(), 1u) << c.label;
        const RuleEditorState& s = ui.opened[0];
        EXPECT_EQ(s.isWhite, c.isWhite) << c.label;
        EXPECT_EQ(s.isOn, c.isOn) << c.label;
        EXPECT_TRUE(s.isAdd) << c.label;
        EXPECT_EQ(s.name, "") << c.label;
        EXPECT_EQ(s.popupLocation, c.popup) << c.label;
        EXPECT_EQ(s.sourceLocation, c.expectedSource) << c.label;
        bool preset = (c.flags & PopupDomain) != 0;
        EXPECT_EQ(s.popupDomain, preset) << c.label;
        EXPECT_EQ(s.popupExact, preset) << c.label;
        EXPECT_FALSE(s.sourceExact || s.sourceDomain) << c.label;
    }
    EXPECT_TRUE(rules.empty()) << "every editor was cancelled";
}

TEST_F(RuleBookTest, ConfirmedAddAppendsTheRuleThenRefreshesThenSaves) {
    Start({kWhite1});
    ui.user = [](RuleEditorState& s) {
        s.sourceExact = true;
        s.isOn = false;
        s.name = "";  // left empty: the rule gets its fallback name
        return true;
    };
    ui.pageAddress = "http://www.page.com/news/today.html";
    book.AddRule(White | On, "", "");
    EXPECT_EQ(Dump(rules),
              "31|w1|P://W1.D.T/|\n"
              "14|page.com ... today.html||http://www.page.com/news/today.html\n");
    EXPECT_EQ(ui.events, (std::vector<std::string>{"page address", "editor", "refresh"}));
    EXPECT_EQ(ui.fileAtRefresh, EncodeRules(rules)) << "the lists show what was saved";
    EXPECT_EQ(FileRules(), Dump(rules));

    ui.user = [](RuleEditorState& s) {
        s.popupExact = s.popupDomain = true;
        s.name = "ads";
        return true;
    };
    book.AddRule(On, "P://ads.D.T/x", "P://S.E.U/");
    EXPECT_EQ(rules[2].flags, On | PopupExact | PopupDomain) << "black: no White bit";
    EXPECT_EQ(rules[2].name, "ads");
    EXPECT_EQ(rules[2].sourceLocation, "P://S.E.U/");
    EXPECT_EQ(FileRules(), Dump(rules));
}

TEST_F(RuleBookTest, CancelledAddStillRefreshesAndRewritesTheFile) {
    Start({kBlack1});
    book.AddRule(White | On, "", "");
    EXPECT_EQ(Dump(rules), Dump(SetOf({kBlack1})));
    EXPECT_EQ(ui.events.back(), "refresh");
    EXPECT_EQ(FileRules(), Dump(rules));
}

TEST_F(RuleBookTest, EditOpensTheRuleShownAtThatRowOfItsList) {
    Start({kWhite1, kBlack1, kWhite2, kBlack2});
    struct Case {
        bool isWhite;
        std::size_t row;
        const Rule& rule;
    } cases[] = {{true, 0, kWhite1}, {false, 0, kBlack1}, {true, 1, kWhite2}, {false, 1, kBlack2}};
    for (const Case& c : cases) {
        ui.opened.clear();
        book.EditRule(c.isWhite, c.row);
        ASSERT_EQ(ui.opened.size(), 1u) << c.rule.name;
        const RuleEditorState& s = ui.opened[0];
        EXPECT_EQ(s.name, c.rule.name);
        EXPECT_EQ(s.popupLocation, c.rule.popupLocation) << c.rule.name;
        EXPECT_EQ(s.sourceLocation, c.rule.sourceLocation) << c.rule.name;
        EXPECT_EQ(s.isWhite, c.isWhite) << c.rule.name;
        EXPECT_FALSE(s.isAdd) << c.rule.name;
        EXPECT_EQ(s.isOn, (c.rule.flags & On) != 0) << c.rule.name;
        EXPECT_EQ(s.popupExact, (c.rule.flags & PopupExact) != 0) << c.rule.name;
        EXPECT_EQ(s.popupDomain, (c.rule.flags & PopupDomain) != 0) << c.rule.name;
        EXPECT_EQ(s.sourceExact, (c.rule.flags & SourceExact) != 0) << c.rule.name;
        EXPECT_EQ(s.sourceDomain, (c.rule.flags & SourceDomain) != 0) << c.rule.name;
    }
    EXPECT_EQ(FileRules(), Dump(SetOf({kWhite1, kBlack1, kWhite2, kBlack2})));
}

TEST_F(RuleBookTest, ConfirmedEditKeepsPlaceListAndOtherBits) {
    const Rule odd{0x40 | White | On | PopupExact, "odd", "P://O.T/", ""};
    Start({kBlack1, odd, kBlack2});
    ui.user = [](RuleEditorState& s) {
        s.popupExact = false;
        s.sourceExact = true;
        s.sourceLocation = "http://S.E.U/dir/last";
        s.isOn = false;
        s.name = "";
        return true;
    };
    book.EditRule(true, 0);
    EXPECT_EQ(Dump(rules),
              "24|b1||P://B1.D.T/\n"
              "54|E.U ... last|P://O.T/|http://S.E.U/dir/last\n"
              "23|b2|B2.T|\n");
    EXPECT_EQ(FileRules(), Dump(rules));
}

TEST_F(RuleBookTest, CancelledEditChangesNothingButStillSaves) {
    Start({kWhite1, kBlack1});
    ui.user = [](RuleEditorState& s) {
        s.name = "not taken";
        return false;
    };
    book.EditRule(false, 0);
    EXPECT_EQ(Dump(rules), Dump(SetOf({kWhite1, kBlack1})));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"editor", "refresh"}));
    EXPECT_EQ(files.contents(kPath), EncodeRules(rules));
}

TEST_F(RuleBookTest, EditingAMissingRowIsReportedAndNothingElseHappens) {
    Start({kWhite1, kBlack1});
    files.put(kPath, "untouched");
    book.EditRule(true, 1);
    book.EditRule(false, 7);
    const std::string error = "error: error: could not access rules";
    EXPECT_EQ(ui.events, (std::vector<std::string>{error, error}));
    EXPECT_EQ(files.contents(kPath), "untouched");
    EXPECT_EQ(Dump(rules), Dump(SetOf({kWhite1, kBlack1})));
}

// Only editing has an error message; a delete of a row that is gone removes
// nothing and refreshes and saves as every delete does.
TEST_F(RuleBookTest, DeletingAMissingRowRemovesNothingQuietly) {
    Start({kWhite1, kBlack1});
    book.DeleteRule(false, 1);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"refresh"}));
    EXPECT_EQ(Dump(rules), Dump(SetOf({kWhite1, kBlack1})));
    EXPECT_EQ(FileRules(), Dump(rules));
}

TEST_F(RuleBookTest, DeletingOneOfTwoIdenticalRulesRemovesTheFirst) {
    const Rule twin{White | On | PopupExact, "twin", "P://T.T/", ""};
    Start({kBlack1, twin, kWhite2, twin});
    book.DeleteRule(true, 2);  // the second twin in the white list
    EXPECT_EQ(Dump(rules), Dump(SetOf({kBlack1, kWhite2, twin})));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"refresh"}));
    EXPECT_EQ(FileRules(), Dump(rules));

    book.DeleteRule(false, 0);
    book.DeleteRule(true, 0);
    book.DeleteRule(true, 0);
    EXPECT_TRUE(rules.empty());
    EXPECT_FALSE(files.exists(kPath)) << "no rules, no file";
}

TEST_F(RuleBookTest, AFailedSaveIsShownAfterTheListsWereRefilled) {
    Start({kWhite1, kBlack1});
    files.failTemporary = true;
    book.DeleteRule(true, 0);
    EXPECT_EQ(ui.events, (std::vector<std::string>{
                             "refresh", "error!: error!  could not access rules file."}));
    EXPECT_EQ(FileRules(), Dump(SetOf({kWhite1, kBlack1}))) << "the old file stays";
    EXPECT_EQ(Dump(rules), FileRules()) << "and the lists show it";
}

// Two browser windows, each with its own band: window A's rules are those
// of the file when A started; window B then changes the file. Whatever A
// does next is made to the file's rules as B left them.
TEST_F(RuleBookTest, NoWindowUndoesWhatAnotherSaved) {
    const Rule kAdded{White | On | PopupExact, "added", "P://N.T/", ""};
    const Rule kEdited{On | SourceExact, "b1 edited", "", "P://B1.D.T/x"};
    using User = std::function<bool(RuleEditorState&)>;
    const User add = [&](RuleEditorState& s) {
        s.popupExact = true;
        s.popupLocation = kAdded.popupLocation;
        s.sourceLocation = "";
        s.name = kAdded.name;
        return true;
    };
    const User edit = [&](RuleEditorState& s) {
        s.name = kEdited.name;
        s.sourceLocation = kEdited.sourceLocation;
        return true;
    };
    const User cancel = [](RuleEditorState&) { return false; };
    struct Window {
        RuleSet rules;
        ScriptedUi ui;
        RuleBook book;
        explicit Window(MemoryFileSystem& files) : ui(files), book(rules, files, kModule, ui) {}
    };
    struct Case {
        const char* label;
        User bUser;
        void (*b)(RuleBook&);
        User aUser;
        void (*a)(RuleBook&);
        std::vector<Rule> file;
        std::vector<std::string> aEvents;
    } cases[] = {
        {"B adds, A cancels its editor",
         add,
         [](RuleBook& b) { b.AddRule(White | On, "", ""); },
         cancel,
         [](RuleBook& a) { a.AddRule(On, "", ""); },
         {kWhite1, kBlack1, kAdded},
         {"page address", "editor", "refresh"}},
        {"B adds, A adds",
         add,
         [](RuleBook& b) { b.AddRule(White | On, "", ""); },
         add,
         [](RuleBook& a) { a.AddRule(White | On, "", ""); },
         {kWhite1, kBlack1, kAdded, kAdded},
         {"page address", "editor", "refresh"}},
        {"B deletes, A edits the deleted rule",
         cancel,
         [](RuleBook& b) { b.DeleteRule(false, 0); },
         edit,
         [](RuleBook& a) { a.EditRule(false, 0); },
         {kWhite1},
         {"editor", "refresh", "error: error: could not access rules"}},
        {"B edits, A deletes the rule as it was",
         edit,
         [](RuleBook& b) { b.EditRule(false, 0); },
         cancel,
         [](RuleBook& a) { a.DeleteRule(false, 0); },
         {kWhite1, kEdited},
         {"refresh"}},
        {"B deletes everything, A cancels an edit",
         cancel,
         [](RuleBook& b) {
             b.DeleteRule(true, 0);
             b.DeleteRule(false, 0);
         },
         cancel,
         [](RuleBook& a) { a.EditRule(true, 0); },
         {},
         {"editor", "refresh"}},
    };
    for (const Case& c : cases) {
        MemoryFileSystem disk;
        disk.put(kPath, EncodeRules(SetOf({kWhite1, kBlack1})));
        Window a(disk), b(disk);
        ASSERT_EQ(LoadRules(disk, kModule, a.rules), RulesFileState::kLoaded);
        ASSERT_EQ(LoadRules(disk, kModule, b.rules), RulesFileState::kLoaded);
        b.ui.user = c.bUser;
        c.b(b.book);
        a.ui.user = c.aUser;
        c.a(a.book);
        RuleSet onDisk;
        DecodeRules(disk.contents(kPath), onDisk);
        EXPECT_EQ(Dump(onDisk), Dump(SetOf(c.file))) << c.label;
        EXPECT_EQ(Dump(a.rules), Dump(SetOf(c.file))) << c.label << ": A's lists show the file";
        EXPECT_EQ(a.ui.events, c.aEvents) << c.label;
    }
}

// A file there but unread when the band started (held by a scanner or a
// backup) is never saved over; once it can be read, changes go into it.
TEST_F(RuleBookTest, AFileThatCannotBeReadIsNeverSavedOver) {
    const std::string kThree = EncodeRules(SetOf({kWhite1, kBlack1, kWhite2}));
    const std::string kAccess = "error!: error!  could not access rules file.";
    files.put(kPath, kThree);
    ui.user = [](RuleEditorState& s) {
        s.popupExact = true;
        s.popupLocation = "P://N.T/";
        s.sourceLocation = "";
        s.name = "new";
        return true;
    };
    struct Case {
        const char* label;
        void (*hold)(MemoryFileSystem&, std::unique_ptr<File>&, std::unique_ptr<FileLock>&);
    } holds[] = {
        {"held without sharing",
         [](MemoryFileSystem& f, auto& held, auto&) {
             held = f.open(kPath, FileAccess::Write, kShareNone, FileDisposition::OpenExisting);
         }},
        {"unreadable", [](MemoryFileSystem& f, auto&, auto&) { f.failRead.insert(kPath); }},
        {"lock kept by another window",
         [](MemoryFileSystem& f, auto&, auto& lock) { lock = f.lock(kPath); }},
    };
    for (const Case& c : holds) {
        std::unique_ptr<File> held;
        std::unique_ptr<FileLock> lock;
        c.hold(files, held, lock);
        rules.clear();
        EXPECT_EQ(LoadRules(files, kModule, rules), RulesFileState::kRefused) << c.label;
        for (auto change : {+[](RuleBook& b) { b.AddRule(White | On, "", ""); },
                            +[](RuleBook& b) { b.AddRule(On, "", ""); },
                            +[](RuleBook& b) { b.DeleteRule(true, 0); }}) {
            ui.events.clear();
            change(book);
            EXPECT_EQ(ui.events.back(), kAccess) << c.label;
            EXPECT_EQ(files.contents(kPath), kThree) << c.label;
            EXPECT_TRUE(rules.empty()) << c.label;
        }
        files.failRead.clear();
    }
    book.AddRule(White | On, "", "");
    EXPECT_EQ(
        FileRules(),
        Dump(SetOf({kWhite1, kBlack1, kWhite2, {White | On | PopupExact, "new", "P://N.T/", ""}})));
    EXPECT_EQ(Dump(rules), FileRules());
}

TEST_F(RuleBookTest, DeletingTheLastRuleOfAReadOnlyFileIsReported) {
    Start({kBlack1});
    files.failRemove.insert(kPath);
    book.DeleteRule(false, 0);
    EXPECT_EQ(ui.events, (std::vector<std::string>{
                             "refresh", "error!: error!  could not access rules file."}));
    EXPECT_EQ(FileRules(), Dump(SetOf({kBlack1})));
    EXPECT_EQ(Dump(rules), FileRules());
}

TEST(RuleLists, EachListShowsItsRulesInRuleSetOrderWithTheirPictures) {
    RuleSet rules = SetOf({
        {White | On | SourceExact, "a", "", "P://A"},
        {On | PopupDomain | PopupExact | SourceExact, "b", "B.T", "P://S"},
        {White | PopupExact | SourceDomain, "c", "P://C", "C.T"},
        {0, "", "", ""},
        {White | On | SourceDomain | SourceExact, "d", "", "D.T"},
        {PopupExact, "e", "P://E", ""},
    });
    auto show = [](const std::vector<RuleListRow>& rows) {
        std::ostringstream out;
        for (const RuleListRow& row : rows) {
            out << row.name << ":" << static_cast<int>(row.icon) << "@" << row.ruleIndex << " ";
        }
        return out.str();
    };
    EXPECT_EQ(show(RuleListRows(rules, true)), "a:1@0 c:4@2 d:3@4 ");
    EXPECT_EQ(show(RuleListRows(rules, false)), "b:7@1 :0@3 e:4@5 ");

    EXPECT_EQ(RuleAtRow(rules, true, 1), 2u);
    EXPECT_EQ(RuleAtRow(rules, false, 2), 5u);
    EXPECT_EQ(RuleAtRow(rules, true, 3), std::nullopt);
    EXPECT_EQ(RuleAtRow(RuleSet(), false, 0), std::nullopt);
}

}  // namespace
}  // namespace qm
