#include "rules/rule_set.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/testing/dbcs_code_page.h"

namespace qm {
namespace {

constexpr std::uint16_t kToDomain = PopupDomain | PopupExact;
constexpr std::uint16_t kFromDomain = SourceDomain | SourceExact;

struct MatchCase {
    const char* label;
    std::uint16_t flags;  // condition bits; the rule is an active white-list rule
    const char* popupLocation;
    const char* sourceLocation;
    const char* popupAddress;
    const char* sourceAddress;
    bool matches;
};

RuleSet OneRule(std::uint16_t flags, const char* popupLocation, const char* sourceLocation) {
    RuleSet rules;
    rules.append(Rule{flags, "rule", popupLocation, sourceLocation});
    return rules;
}

void ExpectWhiteMatches(const MatchCase& c) {
    RuleSet rules = OneRule(static_cast<std::uint16_t>(c.flags | White | On), c.popupLocation,
                            c.sourceLocation);
    EXPECT_EQ(rules.MatchesWhiteList(c.popupAddress, c.sourceAddress), c.matches)
        << c.label << ": popup [" << c.popupAddress << "] source [" << c.sourceAddress << "]";
    EXPECT_FALSE(rules.MatchesBlackList(c.popupAddress, c.sourceAddress)) << c.label;
}

// The worked table: one active white-list rule each; "anything" tried as
// an unrelated address and as the address the other side matches.
TEST(RuleMatching, WorkedTable) {
    for (const char* anything : {"", "Z://X.Y/Q", "P://W.D.T/Z"}) {
        SCOPED_TRACE(std::string("anything = ") + anything);
        const MatchCase cases[] = {
            {"same last two labels", kToDomain, "P://W.D.T/X", "", "Q://A.B.D.T:N/Y", anything,
             true},
            {"top-level label differs", kToDomain, "D.T", "", "P://D.U/X", anything, false},
            {"trailing slash trimmed", PopupExact, "P://W.D.T/X/", "", "P://W.D.T/XY", anything,
             true},
            {"case differs", PopupExact, "P://W.D.T/X", "", "p://W.D.T/X", anything, false},
            {"source prefix", SourceExact, "", "P://W.D.T/", anything, "P://W.D.T/Z", true},
            {"only TO tested", PopupExact | SourceExact, "P://A.T", "P://W.D.T", "P://B.T",
             "P://W.D.T", false},
        };
        for (const MatchCase& c : cases) ExpectWhiteMatches(c);
    }
    RuleSet off = OneRule(kFromDomain | White, "", "D.T");
    EXPECT_FALSE(off.MatchesWhiteList("anything", "P://W.D.T"));
}

TEST(RuleMatching, ConditionsAndTrimming) {
    const MatchCase cases[] = {
        {"TO and FROM: TO fails, FROM would match", kToDomain | kFromDomain, "P://A.T", "D.T",
         "P://B.U", "P://W.D.T", false},
        {"TO and FROM: TO matches, FROM fails", PopupExact | SourceExact, "P://A.T", "P://W.D.T",
         "P://A.T/X", "P://Z.Z", true},
        {"TO domain tested as domain only: prefix holds, labels differ", kToDomain, "P://W.D", "",
         "P://W.DX.T", "", false},
        {"TO domain tested as domain only: labels hold, prefix does not", kToDomain, "P://W.D.T/X",
         "", "Q://Z.D.T/Y", "", true},
        {"slash or backslash on the location", PopupExact, "P://W.D.T/X\\/ ", "", "P://W.D.T/X", "",
         true},
        {"partial word continues inside the directory", PopupExact, "P://W.D.T/di", "",
         "P://W.D.T/dir/file", "", true},
        {"partial word continues beyond it", PopupExact, "P://W.D.T/di", "", "P://W.D.T/dig", "",
         true},
        {"prefix stops at no label boundary", PopupExact, "P://W.D", "", "P://W.DX.T/", "", true},
        {"address longer than location only by slashes", PopupExact, "P://W.D.T/X", "",
         "P://W.D.T/X// \\", "", true},
        {"address shorter than location", PopupExact, "P://W.D.T/X", "", "P://W.D.T/", "", false},
        {"leading blanks of the address are trimmed", SourceExact, "", "P://W.D.T", "",
         " \t\r\nP://W.D.T/X", true},
        {"leading blanks of the location stay", SourceExact, "", " P://W.D.T", "", "P://W.D.T/X",
         false},
        {"domain case differs", kToDomain, "P://W.D.T", "", "P://W.d.T", "", false},
        {"top-level label case differs", kFromDomain, "", "D.T", "", "P://W.D.t", false},
        {"bare host, other protocol, server and port", kFromDomain, "", "D.T", "",
         "ftp://U:W@A.B.D.T:8080/X?Q#H", true},
        {"bare host matches the bare domain", kToDomain, "D.T", "", "D.T", "", true},
        {"dotted numbers: last two equal", kToDomain, "P://1.2.3.4/", "", "P://9.9.3.4/X", "",
         true},
        {"dotted numbers: last differs", kToDomain, "1.2.3.4", "", "P://1.2.3.5", "", false},
        {"location of slashes only matches everything", PopupExact, "///", "", "Z", "", true},
        {"empty location matches even an empty address", SourceExact, "", "", "", "", true},
        {"no condition bit is tested as FROM exact", 0, "", "P://W.D.T", "", "P://W.D.T/X", true},
        {"no condition bit, FROM fails", 0, "P://W.D.T", "P://A.B", "P://W.D.T", "P://W", false},
        {"domain of a one-label host", kToDomain, "P://H/X", "", "Q://H:80/", "", true},
        {"one-label host does not match a dotted one", kToDomain, "P://H/X", "", "Q://H.T/", "",
         false},
    };
    for (const MatchCase& c : cases) ExpectWhiteMatches(c);
}

TEST(RuleMatching, OnlyActiveRulesOfTheAskedList) {
    const char* popup = "P://W.D.T/X";
    const char* source = "P://S.E.U/Y";
    struct Case {
        const char* label;
        std::uint16_t flags;
        bool white, black;
    } cases[] = {
        {"white, on", White | On, true, false},
        {"black, on", On, false, true},
        {"white, off", White, false, false},
        {"black, off", 0, false, false},
    };
    for (const Case& c : cases) {
        for (std::uint16_t condition :
             {kToDomain, std::uint16_t{PopupExact}, kFromDomain, std::uint16_t{SourceExact}}) {
            RuleSet rules = OneRule(static_cast<std::uint16_t>(c.flags | condition), "P://W.D.T/",
                                    "P://S.E.U/");
            EXPECT_EQ(rules.MatchesWhiteList(popup, source), c.white) << c.label << condition;
            EXPECT_EQ(rules.MatchesBlackList(popup, source), c.black) << c.label << condition;
        }
    }
    RuleSet empty;
    EXPECT_FALSE(empty.MatchesWhiteList(popup, source));
    EXPECT_FALSE(empty.MatchesBlackList(popup, source));
}

TEST(RuleMatching, AnyMatchingRuleAnswersWhateverItsPlace) {
    RuleSet rules;
    rules.append(Rule{White | On | PopupExact, "miss", "P://Z", ""});
    rules.append(Rule{On | PopupExact, "black", "P://W", ""});
    rules.append(Rule{White | On | kFromDomain, "hit by source", "", "E.U"});
    rules.append(Rule{White | On | PopupExact, "hit by popup", "P://W", ""});
    EXPECT_TRUE(rules.MatchesWhiteList("P://W.D.T", "P://S.E.U"));
    rules.removeAt(2);
    EXPECT_TRUE(rules.MatchesWhiteList("P://W.D.T", "P://S.E.U"));
    rules.removeAt(2);
    EXPECT_FALSE(rules.MatchesWhiteList("P://W.D.T", "P://S.E.U"));
    EXPECT_TRUE(rules.MatchesBlackList("P://W.D.T", "P://S.E.U"));
}

// In a double-byte code page a trail byte may be "/" or "\"; it is part of
// its character, never trimmed, and a location never ends inside one.
TEST(RuleMatching, DoubleByteCharactersAreOneUnit) {
    const MatchCase cases[] = {
        // \x81/ and \x81\\ are whole characters, so the location keeps them.
        {"trail slash not trimmed from the location", PopupExact, "P://W.D.T/\x81/", "",
         "P://W.D.T/\x81X", "", false},
        {"trail backslash not trimmed from the address", SourceExact, "", "P://W.D.T/\x81\\", "",
         "P://W.D.T/\x81\\", true},
        {"location ending in a lone lead byte", PopupExact, "P://W.D.T/\x81", "", "P://W.D.T/\x81X",
         "", false},
        {"lone lead byte against the same address", PopupExact, "P://W.D.T/\x81", "",
         "P://W.D.T/\x81", "", true},
        {"a trail-byte dot is no label separator", kToDomain, "D.T", "", "P://W\x81.D.T", "",
         false},
        {"a trail-byte slash does not end the host", kFromDomain, "", "D.T", "",
         "P://A.\x81/.D.T/X", true},
    };
    testing::DbcsCodePage dbcs;
    {
        ScopedCodePage scope(dbcs);
        for (const MatchCase& c : cases) ExpectWhiteMatches(c);
    }
    // The same bytes in a single-byte code page split differently.
    const bool singleByteAnswers[] = {true, true, true, true, true, false};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        MatchCase c = cases[i];
        c.matches = singleByteAnswers[i];
        ExpectWhiteMatches(c);
    }
}

TEST(RuleSet, KeepsOrderFindsFirstEqualAndRederivesOnReplace) {
    const Rule a{White | On | PopupExact, "a", "P://A.T", ""};
    const Rule b{On | kFromDomain, "b", "", "B.T"};
    RuleSet rules;
    rules.append(a);
    rules.append(b);
    rules.append(a);
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules.find(a), std::optional<std::size_t>(0));
    EXPECT_EQ(rules.find(b), std::optional<std::size_t>(1));
    Rule renamed = a;
    renamed.name = "A";
    EXPECT_EQ(rules.find(renamed), std::nullopt);
    Rule otherFlags = a;
    otherFlags.flags = White | PopupExact;
    EXPECT_EQ(rules.find(otherFlags), std::nullopt);

    rules.removeAt(*rules.find(a));
    EXPECT_EQ(rules[0], b);
    EXPECT_EQ(rules[1], a);

    // The edited rule keeps its place and matches by its new location.
    EXPECT_TRUE(rules.MatchesBlackList("", "P://S.B.T"));
    rules.replace(0, Rule{On | kFromDomain, "b", "", "C.T"});
    EXPECT_EQ(rules[0].sourceLocation, "C.T");
    EXPECT_FALSE(rules.MatchesBlackList("", "P://S.B.T"));
    EXPECT_TRUE(rules.MatchesBlackList("", "P://S.C.T"));

    // A copy matches on its own, whatever happens to the original.
    RuleSet copy = rules;
    rules.clear();
    EXPECT_TRUE(rules.empty());
    EXPECT_TRUE(copy.MatchesBlackList("", "P://S.C.T"));
    EXPECT_TRUE(copy.MatchesWhiteList("P://A.T/X", ""));
}

// Records as a rules file holds them, each closed by CR LF.
RuleRecords RecordsOf(const std::string& bytes) {
    RuleRecords records{bytes, {}};
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos;
         end = bytes.find("\r\n", end + 2)) {
        records.ends.push_back(static_cast<std::uint32_t>(end));
    }
    return records;
}

std::vector<Rule> RulesOf(const RuleSet& set) {
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < set.size(); ++i) rules.push_back(set[i]);
    return rules;
}

// A set built rule by rule from `rules`: what a set holding them must answer.
RuleSet Appended(const std::vector<Rule>& rules) {
    RuleSet set;
    for (const Rule& rule : rules) set.append(rule);
    return set;
}

const std::string kRecordBytes =
    "\x31\x1BW.D.T ... F\x1BP://W.D.T/F\x1B\r\n"
    "\x2C\x1B"
    "entire E.U\x1B\x1B"
    "E\x1B.\x1B\x1BU\r\n"  // surplus separators: the source is "E.U"
    "\r\n"
    "\x3C\x1B"
    "from S\x1B\x1BP://S.T/\r\n";
const std::vector<Rule> kRecordRules = {
    {White | On | PopupExact, "W.D.T ... F", "P://W.D.T/F", ""},
    {On | kFromDomain, "entire E.U", "", "E.U"},
    {0, "", "", ""},
    {White | On | kFromDomain, "from S", "", "P://S.T/"},
};

TEST(RuleSet, RulesFromRecordsReadAsTheyWereWritten) {
    RuleSet rules;
    rules.append(Rule{On | PopupExact, "replaced", "P://R", ""});
    rules.assign(RecordsOf(kRecordBytes));
    ASSERT_EQ(rules.size(), kRecordRules.size());
    EXPECT_EQ(RulesOf(rules), kRecordRules);
    EXPECT_EQ(rules.find(kRecordRules[3]), std::optional<std::size_t>(3));
    EXPECT_EQ(rules.find(Rule{On | PopupExact, "replaced", "P://R", ""}), std::nullopt);

    // Matching asks the read rules, surplus separators gone from their texts.
    const RuleSet reference = Appended(kRecordRules);
    const char* addresses[] = {"", "P://W.D.T/F/X", "P://A.E.U/", "P://E.U", "Q://X.S.T/Y"};
    for (const char* popup : addresses) {
        for (const char* source : addresses) {
            EXPECT_EQ(rules.MatchesWhiteList(popup, source),
                      reference.MatchesWhiteList(popup, source))
                << popup << " from " << source;
            EXPECT_EQ(rules.MatchesBlackList(popup, source),
                      reference.MatchesBlackList(popup, source))
                << popup << " from " << source;
        }
    }
    EXPECT_TRUE(rules.MatchesBlackList("", "P://A.E.U/"));

    // Either way round a rule reads as a Rule of its own.
    const Rule& first = rules[0];
    EXPECT_EQ(first, kRecordRules[0]);
    EXPECT_EQ(rules[1].sourceLocation, "E.U");
    EXPECT_NE(rules[1], rules[0]);
}

TEST(RuleSet, ACopyReadsItsRecordsOnItsOwn) {
    RuleSet loaded;
    loaded.assign(RecordsOf(kRecordBytes));
    RuleSet copy = loaded;
    loaded.replace(1, Rule{On | kFromDomain, "entire F.U", "", "F.U"});
    EXPECT_EQ(RulesOf(copy), kRecordRules);
    EXPECT_TRUE(copy.MatchesBlackList("", "P://A.E.U/"));
    EXPECT_FALSE(loaded.MatchesBlackList("", "P://A.E.U/"));
    EXPECT_TRUE(loaded.MatchesBlackList("", "P://A.F.U/"));
}

// The editor appends, replaces and removes rules of a loaded set, over and
// over; every other rule must stay as it was, in reading and in matching,
// however often the set rebuilds its texts.
TEST(RuleSet, EditsKeepEveryOtherRuleIntact) {
    RuleSet rules;
    rules.assign(RecordsOf(kRecordBytes));
    std::vector<Rule> model = kRecordRules;
    const std::uint16_t kConditions[] = {kToDomain, PopupExact, kFromDomain, SourceExact};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    for (int step = 0; step < 400; ++step) {
        std::string n = std::to_string(step);
        Rule rule{static_cast<std::uint16_t>(kConditions[step % 4] | On | (step % 3 ? White : 0)),
                  "rule " + n, "P://W" + n + ".D" + std::to_string(step % 5) + ".T/" + n,
                  std::string(next(40), 'x') + "S" + n + ".U/"};
        std::uint32_t action = model.empty() ? 0 : next(3);
        SCOPED_TRACE("step " + n + ", action " + std::to_string(action));
        if (action == 0) {
            rules.append(rule);
            model.push_back(rule);
        } else if (action == 1) {
            std::size_t at = next(static_cast<std::uint32_t>(model.size()));
            rules.replace(at, rule);
            model[at] = rule;
        } else {
            std::size_t at = next(static_cast<std::uint32_t>(model.size()));
            rules.removeAt(at);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
        }
        ASSERT_EQ(RulesOf(rules), model);
        if (!model.empty()) {
            const Rule& wanted = model[next(static_cast<std::uint32_t>(model.size()))];
            std::size_t first = 0;
            while (model[first] != wanted) ++first;
            EXPECT_EQ(rules.find(wanted), std::optional<std::size_t>(first));
        }
        const RuleSet reference = Appended(model);
        const std::string popup = "P://A.D" + std::to_string(step % 5) + ".T/x";
        const std::string source = "P://" + std::string(next(40), 'x') + "S" + n + ".U/";
        ASSERT_EQ(rules.MatchesWhiteList(popup, source), reference.MatchesWhiteList(popup, source));
        ASSERT_EQ(rules.MatchesBlackList(popup, source), reference.MatchesBlackList(popup, source));
    }
    rules.clear();
    EXPECT_TRUE(rules.empty());
    rules.append(kRecordRules[1]);
    EXPECT_EQ(RulesOf(rules), std::vector<Rule>{kRecordRules[1]});
}

}  // namespace
}  // namespace qm
