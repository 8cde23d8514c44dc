#include "lab/page_script.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

using Kind = Statement::Kind;

TEST(PageScript, UnderstandsEachStatement) {
    struct Case {
        const char* code;
        Kind kind;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"window.open('http://a/p.html','ad','width=200')",
         Kind::Open,
         {"http://a/p.html", "ad", "width=200"}},
        {"open(\"http://a/p.html\")", Kind::Open, {"http://a/p.html", "", ""}},
        {"window.open()", Kind::Open, {"", "", ""}},
        {"window.open('u', 'n', 'f', 'true')", Kind::Open, {"u", "n", "f"}},
        {"document.title = 'It\\'s new'", Kind::SetTitle, {"It's new"}},
        {"location.href='http://b/'", Kind::Navigate, {"http://b/"}},
        {"location = 'http://b/'", Kind::Navigate, {"http://b/"}},
        {"showAd()", Kind::Call, {"showAd"}},
        {"setTimeout(showAd, 20)", Kind::SetTimeout, {"showAd()"}},
        {"window.alert('x')", Kind::NotUnderstood, {}},
        {"window.open(1)", Kind::NotUnderstood, {}},
        {"document.title = 5", Kind::NotUnderstood, {}},
        {"x =", Kind::NotUnderstood, {}},
        {"window.open('a') extra", Kind::NotUnderstood, {}},
        {"showAd(1)", Kind::NotUnderstood, {}},
        {"'unclosed", Kind::NotUnderstood, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::vector<Statement> statements = ParsePageScript(c.code);
        ASSERT_EQ(statements.size(), 1u);
        EXPECT_EQ(statements[0].kind, c.kind);
        EXPECT_EQ(statements[0].args, c.args);
        EXPECT_EQ(statements[0].text, c.code);
    }
}

// The two scripts the band runs to take a page's unload handler away.
TEST(PageScript, ReadsTheUnloadClearingScripts) {
    std::vector<Statement> now = ParsePageScript("document.body.onunload=\"\";");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].kind, Kind::SetHandler);
    EXPECT_EQ(now[0].owner, HandlerOwner::Body);
    EXPECT_EQ(now[0].event, "onunload");
    EXPECT_TRUE(now[0].clears);

    std::vector<Statement> later =
        ParsePageScript("setTimeout('document.body.onunload=\"\"', 1000);");
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].kind, Kind::SetTimeout);
    EXPECT_EQ(later[0].milliseconds, 1000);
    ASSERT_EQ(later[0].args.size(), 1u);
    std::vector<Statement> inner = ParsePageScript(later[0].args[0]);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].kind, Kind::SetHandler);
    EXPECT_TRUE(inner[0].clears);
}

TEST(PageScript, HandlerAssignmentsSetOrClear) {
    struct Case {
        const char* code;
        HandlerOwner owner;
        const char* event;
        bool clears;
    };
    const Case cases[] = {
        {"window.onbeforeunload = \"open('http://x/')\"", HandlerOwner::Window, "onbeforeunload",
         false},
        {"window.onunload = null", HandlerOwner::Window, "onunload", true},
        {"document.body.onbeforeunload = ''", HandlerOwner::Body, "onbeforeunload", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::vector<Statement> statements = ParsePageScript(c.code);
        ASSERT_EQ(statements.size(), 1u);
        EXPECT_EQ(statements[0].kind, Kind::SetHandler);
        EXPECT_EQ(statements[0].owner, c.owner);
        EXPECT_EQ(statements[0].event, c.event);
        EXPECT_EQ(statements[0].clears, c.clears);
        EXPECT_EQ(statements[0].args.size(), c.clears ? 0u : 1u);
    }
}

TEST(PageScript, SplitsAtSemicolonsOutsideQuotesAndParentheses) {
    std::vector<Statement> statements =
        ParsePageScript(" document.title='a;b' ; ; window.open('http://x/?a=1;b=2') ;f()");
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[0].args[0], "a;b");
    EXPECT_EQ(statements[1].args[0], "http://x/?a=1;b=2");
    EXPECT_EQ(statements[2].kind, Kind::Call);
    EXPECT_TRUE(ParsePageScript("  ;  ").empty());
}

}  // namespace
}  // namespace qm::lab
