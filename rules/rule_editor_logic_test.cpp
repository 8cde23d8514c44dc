#include "rules/rule_editor_logic.h"

#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/testing/dbcs_code_page.h"

namespace qm {
namespace {

TEST(RuleEditorTexts, CaptionAndConditionLabelFollowListAndMode) {
    struct Case {
        bool isWhite, isAdd;
        const char* caption;
        const char* label;
    } cases[] = {
        {true, true, "Add Rule to White List", "Always ALLOW popups:"},
        {true, false, "Edit White List Rule", "Always ALLOW popups:"},
        {false, true, "Add Rule to Black List", "Always DENY popups:"},
        {false, false, "Edit Black List Rule", "Always DENY popups:"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RuleEditorCaption(c.isWhite, c.isAdd), c.caption);
        EXPECT_EQ(ConditionLabel(c.isWhite), c.label) << c.caption;
    }
}

TEST(RuleEditorLogic, OpeningShowsTheStateWithCoupledBoxesAndAName) {
    struct Case {
        const char* label;
        RuleEditorState state;
        RuleEditorForm expected;
        bool nameTyped;
    } cases[] = {
        {"new white rule from the page",
         [] {
             RuleEditorState s;
             s.sourceLocation = "http://www.page.com/news/today.html";
             return s;
         }(),
         [] {
             RuleEditorForm f;
             f.sourceText = "http://www.page.com/news/today.html";
             f.nameText = "Unnamed Rule";
             return f;
         }(),
         false},
        {"TO domain without FROM domain, off",
         [] {
             RuleEditorState s;
             s.popupLocation = "http://ads.D.T/x";
             s.popupDomain = true;
             s.sourceExact = true;
             s.sourceLocation = "http://S.E.U/g";
             s.isOn = false;
             return s;
         }(),
         [] {
             RuleEditorForm f;
             f.popupText = "http://ads.D.T/x";
             f.sourceText = "http://S.E.U/g";
             f.popupExact = true;
             f.popupDomain = true;
             f.popupExactEnabled = false;
             f.sourceExact = true;
             f.on = false;
             f.nameText = "TO entire D.T domain, FROM E.U ... g";
             return f;
         }(),
         false},
        {"named rule keeps its name",
         [] {
             RuleEditorState s;
             s.popupLocation = "P://W.D.T/A";
             s.sourceDomain = true;
             s.sourceExact = true;
             s.sourceLocation = "E.U";
             s.name = "my rule";
             s.isAdd = false;
             return s;
         }(),
         [] {
             RuleEditorForm f;
             f.popupText = "P://W.D.T/A";
             f.sourceText = "E.U";
             f.sourceExact = true;
             f.sourceDomain = true;
             f.sourceExactEnabled = false;
             f.nameText = "my rule";
             return f;
         }(),
         true},
    };
    for (Case& c : cases) {
        RuleEditorLogic logic(c.state);
        RuleEditorForm form = logic.Open();
        EXPECT_EQ(form.popupText, c.expected.popupText) << c.label;
        EXPECT_EQ(form.sourceText, c.expected.sourceText) << c.label;
        EXPECT_EQ(form.nameText, c.expected.nameText) << c.label;
        EXPECT_EQ(form.popupExact, c.expected.popupExact) << c.label;
        EXPECT_EQ(form.popupDomain, c.expected.popupDomain) << c.label;
        EXPECT_EQ(form.sourceExact, c.expected.sourceExact) << c.label;
        EXPECT_EQ(form.sourceDomain, c.expected.sourceDomain) << c.label;
        EXPECT_EQ(form.popupExactEnabled, c.expected.popupExactEnabled) << c.label;
        EXPECT_EQ(form.sourceExactEnabled, c.expected.sourceExactEnabled) << c.label;
        EXPECT_EQ(form.on, c.expected.on) << c.label;
        EXPECT_TRUE(c.state.autoNameReady) << c.label;
        EXPECT_EQ(c.state.nameTyped, c.nameTyped) << c.label;
    }
}

TEST(RuleEditorLogic, DomainBoxTicksAndLocksItsExactBoxAndRenamesAtOnce) {
    RuleEditorState state;
    RuleEditorLogic logic(state);
    RuleEditorForm form = logic.Open();
    form.popupText = "http://www.D.T/dir/page.html";
    logic.OnLocationChanged(form);
    EXPECT_EQ(form.nameText, "Unnamed Rule");

    form.popupDomain = true;  // click on 259
    logic.OnConditionClicked(form);
    EXPECT_TRUE(form.popupExact);
    EXPECT_FALSE(form.popupExactEnabled);
    EXPECT_EQ(form.nameText, "TO entire D.T domain");

    form.popupDomain = false;  // click on 259 again
    logic.OnConditionClicked(form);
    EXPECT_TRUE(form.popupExact) << "clearing the domain box leaves the exact box ticked";
    EXPECT_TRUE(form.popupExactEnabled);
    EXPECT_EQ(form.nameText, "TO D.T ... page.html");

    form.sourceText = "http://S.E.U/";
    form.sourceDomain = true;  // click on 261
    logic.OnConditionClicked(form);
    EXPECT_TRUE(form.sourceExact);
    EXPECT_FALSE(form.sourceExactEnabled);
    EXPECT_TRUE(form.popupExactEnabled) << "the coupling keeps each pair to itself";
    EXPECT_EQ(form.nameText, "TO D.T ... page.html, FROM entire E.U domain");
}

TEST(RuleEditorLogic, TypingInTheNameBoxStopsAutomaticNamingForGood) {
    RuleEditorState state;
    RuleEditorLogic logic(state);
    RuleEditorForm form = logic.Open();

    // The dialog's own changes of the name box (focus elsewhere) do not count.
    logic.OnNameChanged(false);
    form.popupText = "P://W.D.T/F";
    form.popupExact = true;
    logic.OnConditionClicked(form);
    EXPECT_EQ(form.nameText, "TO D.T ... F");

    form.nameText = "typed";
    logic.OnNameChanged(true);
    EXPECT_TRUE(state.nameTyped);
    form.popupDomain = true;
    logic.OnConditionClicked(form);
    form.sourceText = "P://S.E.U";
    logic.OnLocationChanged(form);
    EXPECT_EQ(form.nameText, "typed");
    EXPECT_FALSE(form.popupExactEnabled) << "the coupling goes on without the naming";
}

TEST(RuleEditorLogic, NoNamingBeforeTheDialogIsSetUp) {
    RuleEditorState state;
    RuleEditorLogic logic(state);
    RuleEditorForm form;
    form.popupText = "P://W.D.T/F";
    form.popupExact = true;
    logic.OnLocationChanged(form);
    logic.OnConditionClicked(form);
    EXPECT_EQ(form.nameText, "");
}

TEST(RuleEditorLogic, OkChecksUrlsFirstThenConditions) {
    struct Case {
        const char* label;
        const char* popup;
        const char* source;
        bool popupExact, popupDomain, sourceExact, sourceDomain;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"TO ticked, no popup location, FROM filled", "", "P://S", true, false, true, false,
         kMissingUrlMessage},
        {"TO domain ticked, no popup location", "", "", true, true, false, false,
         kMissingUrlMessage},
        {"FROM ticked, no source location", "P://W", "", true, false, true, false,
         kMissingUrlMessage},
        {"FROM domain ticked, no source location", "", "", false, false, true, true,
         kMissingUrlMessage},
        {"nothing ticked, nothing filled", "", "", false, false, false, false,
         kMissingConditionMessage},
        {"nothing ticked, both filled", "P://W", "P://S", false, false, false, false,
         kMissingConditionMessage},
        {"TO exact", "P://W", "", true, false, false, false, nullptr},
        {"FROM domain, TO location ignored", "", "E.U", false, false, true, true, nullptr},
        {"all four", "P://W", "P://S", true, true, true, true, nullptr},
    };
    for (const Case& c : cases) {
        RuleEditorState state;
        RuleEditorLogic logic(state);
        RuleEditorForm form = logic.Open();
        form.popupText = c.popup;
        form.sourceText = c.source;
        form.popupExact = c.popupExact;
        form.popupDomain = c.popupDomain;
        form.sourceExact = c.sourceExact;
        form.sourceDomain = c.sourceDomain;
        std::optional<std::string> message = logic.OnOk(form);
        if (c.message) {
            EXPECT_EQ(message.value_or("(accepted)"), c.message) << c.label;
            EXPECT_EQ(state.popupLocation, "") << c.label << ": a refused OK stores nothing";
        } else {
            EXPECT_FALSE(message) << c.label << ": " << message.value_or("");
            EXPECT_EQ(state.popupLocation, c.popup) << c.label;
            EXPECT_EQ(state.sourceLocation, c.source) << c.label;
            EXPECT_EQ(state.popupExact, c.popupExact) << c.label;
            EXPECT_EQ(state.popupDomain, c.popupDomain) << c.label;
            EXPECT_EQ(state.sourceExact, c.sourceExact) << c.label;
            EXPECT_EQ(state.sourceDomain, c.sourceDomain) << c.label;
        }
    }
}

TEST(RuleEditorLogic, OkWithAnEmptiedNameShowsTheSummaryButLeavesTheNameEmpty) {
    RuleEditorState state;
    state.name = "old name";
    state.popupLocation = "P://W.D.T/A/F";
    state.popupExact = true;
    state.isAdd = false;
    RuleEditorLogic logic(state);
    RuleEditorForm form = logic.Open();
    ASSERT_EQ(form.nameText, "old name");

    form.nameText.clear();
    logic.OnNameChanged(true);
    form.on = false;
    EXPECT_FALSE(logic.OnOk(form));
    EXPECT_EQ(state.name, "");
    EXPECT_FALSE(state.nameTyped);
    EXPECT_EQ(form.nameText, "TO D.T ... F");
    EXPECT_FALSE(state.isOn);
}

TEST(RuleEditorLogic, OkKeepsATypedName) {
    RuleEditorState state;
    RuleEditorLogic logic(state);
    RuleEditorForm form = logic.Open();
    form.popupText = "P://W.D.T/F";
    form.popupExact = true;
    form.nameText = "ads";
    logic.OnNameChanged(true);
    EXPECT_FALSE(logic.OnOk(form));
    EXPECT_EQ(state.name, "ads");
    EXPECT_TRUE(state.isOn);
}

TEST(LimitRuleText, CutsAt259BytesWithoutSplittingACharacter) {
    EXPECT_EQ(LimitRuleText(std::string(300, 'a')), std::string(259, 'a'));
    EXPECT_EQ(LimitRuleText(std::string(259, 'a')), std::string(259, 'a'));
    EXPECT_EQ(LimitRuleText("short"), "short");

    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    // 258 single bytes, then a two-byte character that would straddle the limit.
    std::string straddling = std::string(258, 'a') + "\x82\xA0" + "b";
    EXPECT_EQ(LimitRuleText(straddling), std::string(258, 'a'));
    // The same character ending exactly at the limit stays whole.
    std::string fitting = std::string(257, 'a') + "\x82\xA0" + "b";
    EXPECT_EQ(LimitRuleText(fitting), std::string(257, 'a') + "\x82\xA0");
}

}  // namespace
}  // namespace qm
