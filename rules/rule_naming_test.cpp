#include "rules/rule_naming.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(DescribeRule, SummaryOfLocationsAndTickedBoxes) {
    struct Case {
        const char* popup;
        const char* source;
        bool popupExact, popupDomain, sourceExact, sourceDomain;
        const char* expected;
    } cases[] = {
        {"", "", false, false, false, false, "Unnamed Rule"},
        {"P://W.D.T/X", "P://S.E.U/Y", false, false, false, false, "Unnamed Rule"},
        {"", "", true, true, true, true, "Unnamed Rule"},
        {"P://W.D.T/A/F.H", "", true, false, false, false, "TO D.T ... F.H"},
        {"P://W.D.T/A/", "", true, false, false, false, "TO D.T"},
        {"P://W.D.T/A/F", "", true, true, false, false, "TO entire D.T domain"},
        {"P://W.D.T/A/F", "", false, true, false, false, "TO entire D.T domain"},
        {"", "P://S.E.U/G", false, false, true, false, "FROM E.U ... G"},
        {"", "P://S.E.U/G", false, false, true, true, "FROM entire E.U domain"},
        {"E.U", "", false, false, false, true, "Unnamed Rule"},
        {"P://W.D.T/F", "P://S.E.U", true, false, true, false, "TO D.T ... F, FROM E.U"},
        {"P://W.D.T", "P://S.E.U/G", true, true, false, true,
         "TO entire D.T domain, FROM entire "
         "E.U domain"},
        {"", "P://S.E.U/G", true, false, true, false, "FROM E.U ... G"},
        {"P://H/X", "", true, false, false, false, "TO H. ... X"},
        {"P://H", "", false, true, false, false, "TO entire H. domain"},
        {"HtTp://Www.Dom.TLD/Page", "", true, false, false, false, "TO Dom.TLD ... Page"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeRule(c.popup, c.source, c.popupExact, c.popupDomain, c.sourceExact,
                               c.sourceDomain),
                  c.expected)
            << "[" << c.popup << "] [" << c.source << "]";
    }
}

TEST(FallbackRuleName, NamesTheLocationOfTheFirstCondition) {
    struct Case {
        std::uint16_t flags;
        const char* popup;
        const char* source;
        const char* expected;
    } cases[] = {
        {PopupExact, "P://W.D.T/A/F", "P://S.E.U/G", "D.T ... F"},
        {PopupDomain | PopupExact | On | White, "P://W.D.T/A/", "P://S.E.U/G", "D.T"},
        {PopupDomain, "D.T", "", "D.T"},
        {SourceExact, "P://W.D.T/A/F", "P://S.E.U/G", "E.U ... G"},
        {SourceDomain | SourceExact, "", "E.U", "E.U"},
        {0, "P://W.D.T/A/F", "P://S.E.U/G", "E.U ... G"},
        {SourceExact, "", "", "."},
        {PopupExact, "P://H/", "", "H."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FallbackRuleName(Rule{c.flags, "", c.popup, c.source}), c.expected)
            << "flags " << c.flags;
    }
}

TEST(ChooseRuleIcon, FollowsTheMatchingPriorityAndStatus) {
    struct Case {
        std::uint16_t flags;
        RuleIcon off;  // the same flags with On added give the next image
    } cases[] = {
        {PopupDomain | PopupExact | SourceDomain | SourceExact, RuleIcon::ToDomainOff},
        {PopupDomain, RuleIcon::ToDomainOff},
        {PopupExact | SourceDomain | SourceExact, RuleIcon::ToExactOff},
        {PopupExact, RuleIcon::ToExactOff},
        {SourceDomain | SourceExact, RuleIcon::FromDomainOff},
        {SourceDomain, RuleIcon::FromDomainOff},
        {SourceExact, RuleIcon::FromExactOff},
        {0, RuleIcon::FromExactOff},
    };
    for (const Case& c : cases) {
        for (std::uint16_t list : {0, static_cast<int>(White)}) {
            Rule rule{static_cast<std::uint16_t>(c.flags | list), "", "", ""};
            EXPECT_EQ(ChooseRuleIcon(rule), c.off) << "flags " << rule.flags;
            rule.flags |= On;
            EXPECT_EQ(static_cast<int>(ChooseRuleIcon(rule)), static_cast<int>(c.off) + 1)
                << "flags " << rule.flags;
        }
    }
    // The image indexes of bitmap 252.
    EXPECT_EQ(static_cast<int>(RuleIcon::FromExactOff), 0);
    EXPECT_EQ(static_cast<int>(RuleIcon::FromDomainOn), 3);
    EXPECT_EQ(static_cast<int>(RuleIcon::ToExactOff), 4);
    EXPECT_EQ(static_cast<int>(RuleIcon::ToDomainOn), 7);
}

}  // namespace
}  // namespace qm
