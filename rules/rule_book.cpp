#include "rules/rule_book.h"

#include <optional>
#include <utility>

#include "rules/rule_lists.h"
#include "rules/rule_naming.h"

namespace qm {
namespace {

constexpr std::uint16_t kConditionBits = PopupExact | PopupDomain | SourceExact | SourceDomain;

void SetConditions(RuleEditorState& state, std::uint16_t flags) {
    state.popupExact = (flags & PopupExact) != 0;
    state.popupDomain = (flags & PopupDomain) != 0;
    state.sourceExact = (flags & SourceExact) != 0;
    state.sourceDomain = (flags & SourceDomain) != 0;
    state.isOn = (flags & On) != 0;
}

// The condition and status bits the editor leaves the rule with.
std::uint16_t EditedBits(const RuleEditorState& state) {
    std::uint16_t flags = 0;
    if (state.popupExact) flags |= PopupExact;
    if (state.popupDomain) flags |= PopupDomain;
    if (state.sourceExact) flags |= SourceExact;
    if (state.sourceDomain) flags |= SourceDomain;
    if (state.isOn) flags |= On;
    return flags;
}

// The editor's fields into `rule`, which keeps its other bits.
void TakeEdits(const RuleEditorState& state, Rule& rule) {
    rule.flags =
        static_cast<std::uint16_t>((rule.flags & ~(kConditionBits | On)) | EditedBits(state));
    rule.popupLocation = state.popupLocation;
    rule.sourceLocation = state.sourceLocation;
    rule.name = state.name.empty() ? FallbackRuleName(rule) : state.name;
}

}  // namespace

RuleBook::RuleBook(RuleSet& rules, FileSystem& files, std::string moduleFileName, RuleBookUi& ui)
    : rules_(rules), files_(files), moduleFileName_(std::move(moduleFileName)), ui_(ui) {}

void RuleBook::AddRule(std::uint16_t flags, const std::string& popupAddress,
                       const std::string& sourceAddress) {
    RuleEditorState state;
    state.isWhite = (flags & White) != 0;
    SetConditions(state, flags);
    state.isAdd = true;
    state.popupLocation = popupAddress;
    state.sourceLocation = popupAddress.empty() ? ui_.CurrentPageAddress() : sourceAddress;
    if (ui_.RunRuleEditor(state)) {
        Rule rule;
        rule.flags = static_cast<std::uint16_t>(flags & White);
        TakeEdits(state, rule);
        rules_.append(std::move(rule));
    }
    RefreshAndSave();
}

void RuleBook::EditRule(bool isWhite, std::size_t row) {
    std::optional<std::size_t> index = RuleAtRow(rules_, isWhite, row);
    if (!index) {
        ui_.ShowError(kRuleAccessError, kRuleAccessErrorCaption);
        return;
    }
    Rule rule = rules_[*index];
    RuleEditorState state;
    state.isWhite = isWhite;
    SetConditions(state, rule.flags);
    state.popupLocation = rule.popupLocation;
    state.sourceLocation = rule.sourceLocation;
    state.name = rule.name;
    state.isAdd = false;
    if (ui_.RunRuleEditor(state)) {
        TakeEdits(state, rule);
        rules_.replace(*index, rule);
    }
    RefreshAndSave();
}

void RuleBook::DeleteRule(bool isWhite, std::size_t row) {
    // Identical rules are told apart by their order only: the first one goes.
    // A row that is gone removes nothing; only editing reports it.
    if (std::optional<std::size_t> index = RuleAtRow(rules_, isWhite, row)) {
        if (std::optional<std::size_t> first = rules_.find(rules_[*index])) rules_.removeAt(*first);
    }
    RefreshAndSave();
}

void RuleBook::RefreshAndSave() {
    ui_.RefreshRuleLists();
    SaveRules(files_, moduleFileName_, rules_, ui_);
}

}  // namespace qm
