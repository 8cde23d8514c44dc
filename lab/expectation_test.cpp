#include "lab/expectation.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

TEST(Expectation, PatternsMatchWholeLines) {
    struct Case {
        const char* pattern;
        const char* line;
        bool matches;
    };
    const Case cases[] = {
        {"bar hidden", "bar hidden", true},
        {"bar hidden", "bar hidden now", false},
        {"bar", "bar hidden", false},
        {"*", "", true},
        {"*", "anything", true},
        {"bar *", "bar shown height=104", true},
        {"*height=104", "bar shown height=104", true},
        {"*height=18", "bar shown height=104", false},
        {"new-window * \"http://a/?x=1\"*", "new-window allowed \"http://a/?x=1\" into=w", true},
        {"a*b*c", "a-b-b-c", true},
        {"a*b*c", "a-c-b", false},
        {"**x", "yyx", true},
        {"", "", true},
        {"", "x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PatternMatches(c.pattern, c.line), c.matches)
            << "pattern [" << c.pattern << "] line [" << c.line << "]";
    }
}

TEST(Expectation, InOrderExpectationsFollowEachOther) {
    const std::vector<std::string> trace = {"navigate main \"a\"", "page loaded main \"a\"",
                                            "navigate main \"b\"", "page loaded main \"b\""};
    auto in = [](const char* pattern) {
        return Expectation{Expectation::Kind::InOrder, pattern, 0, 1};
    };
    std::vector<Expectation> inOrder = {in("page loaded *"), in("navigate *"), in("page loaded *")};
    for (const ExpectationResult& r : CheckExpectations(inOrder, trace)) {
        EXPECT_TRUE(r.passed) << r.expectation->pattern << ": " << r.detail;
    }
    std::vector<Expectation> reversed = {in("page loaded main \"b\""), in("navigate main \"b\"")};
    std::vector<ExpectationResult> results = CheckExpectations(reversed, trace);
    EXPECT_TRUE(results[0].passed);
    EXPECT_FALSE(results[1].passed);
    EXPECT_EQ(results[1].detail, "no matching line after trace line 4");
}

TEST(Expectation, AnywhereAbsentAndCountLookAtTheWholeTrace) {
    const std::vector<std::string> trace = {"script exec \"a\"", "bar hidden", "script exec \"b\""};
    std::vector<Expectation> expectations = {
        {Expectation::Kind::InOrder, "script exec \"b\"", 0, 1},
        {Expectation::Kind::Anywhere, "script exec \"a\"", 0, 2},
        {Expectation::Kind::Absent, "bar shown*", 0, 3},
        {Expectation::Kind::Absent, "bar hidden", 0, 4},
        {Expectation::Kind::Count, "script *", 2, 5},
        {Expectation::Kind::Count, "script *", 3, 6},
        {Expectation::Kind::InOrder, "script exec \"a\"", 0, 7},
    };
    std::vector<ExpectationResult> results = CheckExpectations(expectations, trace);
    std::vector<bool> passed;
    for (const ExpectationResult& r : results) passed.push_back(r.passed);
    EXPECT_EQ(passed, (std::vector<bool>{true, true, true, false, true, false, false}));
    EXPECT_EQ(results[3].detail, "trace line 2 matches: bar hidden");
    EXPECT_EQ(results[5].detail, "2 matching lines");
}

TEST(Expectation, BandConditionsChooseWhichExpectationsACountsRunChecks) {
    using C = Expectation::Condition;
    const std::vector<Expectation> expectations = {
        {Expectation::Kind::InOrder, "new-window announced *", 0, 1, C::Always},
        {Expectation::Kind::InOrder, "new-window captured *", 0, 2, C::WithBand},
        {Expectation::Kind::InOrder, "window opened *", 0, 3, C::WithoutBand},
        {Expectation::Kind::Absent, "window opened *", 0, 4, C::WithBand},
    };
    struct Case {
        std::vector<std::string> trace;
        std::vector<bool> passed;
    };
    const Case cases[] = {
        {{"band created quellmark.pop", "new-window announced \"u\"", "new-window captured \"u\""},
         {true, true, true, true}},
        {{"band not-created quellmark.pop hr=0x80040154", "new-window announced \"u\"",
          "new-window passed-through \"u\"", "window opened window1"},
         {true, true, true, true}},
        // With the band, the window the lab opened breaks two expectations.
        {{"band created quellmark.pop", "new-window announced \"u\"", "window opened window1"},
         {true, false, true, false}},
    };
    for (const Case& c : cases) {
        std::vector<bool> passed;
        for (const ExpectationResult& r : CheckExpectations(expectations, c.trace)) {
            passed.push_back(r.passed);
        }
        EXPECT_EQ(passed, c.passed) << c.trace[0];
    }
}

}  // namespace
}  // namespace qm::lab
