#include "rules/rule_editor_logic.h"

#include "common/code_page.h"
#include "rules/rule_naming.h"

namespace qm {
namespace {

// A ticked domain box always has its exact box ticked beside it, and the
// user cannot clear that one until the domain box is cleared.
void Couple(bool domain, bool& exact, bool& exactEnabled) {
    if (domain) exact = true;
    exactEnabled = !domain;
}

}  // namespace

std::string RuleEditorCaption(bool isWhite, bool isAdd) {
    if (isWhite) return isAdd ? "Add Rule to White List" : "Edit White List Rule";
    return isAdd ? "Add Rule to Black List" : "Edit Black List Rule";
}

std::string ConditionLabel(bool isWhite) {
    return isWhite ? "Always ALLOW popups:" : "Always DENY popups:";
}

std::string LimitRuleText(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    const CodePage& codePage = systemCodePage();
    std::size_t end = 0;
    while (end < limit) {
        std::size_t width = codePage.isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

RuleEditorForm RuleEditorLogic::Open() {
    RuleEditorForm form;
    form.popupText = state_.popupLocation;
    form.sourceText = state_.sourceLocation;
    form.popupDomain = state_.popupDomain;
    form.sourceDomain = state_.sourceDomain;
    form.popupExact = state_.popupExact;
    form.sourceExact = state_.sourceExact;
    Couple(form.popupDomain, form.popupExact, form.popupExactEnabled);
    Couple(form.sourceDomain, form.sourceExact, form.sourceExactEnabled);
    form.on = state_.isOn;
    state_.autoNameReady = true;
    if (!state_.name.empty()) {
        form.nameText = state_.name;
        state_.nameTyped = true;
    }
    AutoName(form);
    return form;
}

void RuleEditorLogic::OnConditionClicked(RuleEditorForm& form) {
    Couple(form.popupDomain, form.popupExact, form.popupExactEnabled);
    Couple(form.sourceDomain, form.sourceExact, form.sourceExactEnabled);
    AutoName(form);
}

void RuleEditorLogic::OnLocationChanged(RuleEditorForm& form) {
    AutoName(form);
}

void RuleEditorLogic::OnNameChanged(bool nameBoxHasFocus) {
    if (nameBoxHasFocus) state_.nameTyped = true;
}

std::optional<std::string> RuleEditorLogic::OnOk(RuleEditorForm& form) {
    bool popupTicked = form.popupExact || form.popupDomain;
    bool sourceTicked = form.sourceExact || form.sourceDomain;
    if ((form.popupText.empty() && popupTicked) || (form.sourceText.empty() && sourceTicked)) {
        return std::string(kMissingUrlMessage);
    }
    if (!popupTicked && !sourceTicked) return std::string(kMissingConditionMessage);

    state_.isOn = form.on;
    state_.name = form.nameText;
    if (state_.name.empty()) {
        // The box shows the summary for a moment; the caller names the rule.
        state_.nameTyped = false;
        AutoName(form);
    }
    state_.popupLocation = form.popupText;
    state_.sourceLocation = form.sourceText;
    state_.popupExact = form.popupExact;
    state_.popupDomain = form.popupDomain;
    state_.sourceExact = form.sourceExact;
    state_.sourceDomain = form.sourceDomain;
    return std::nullopt;
}

void RuleEditorLogic::AutoName(RuleEditorForm& form) const {
    if (!state_.autoNameReady || state_.nameTyped) return;
    form.nameText = DescribeRule(form.popupText, form.sourceText, form.popupExact, form.popupDomain,
                                 form.sourceExact, form.sourceDomain);
}

}  // namespace qm
