#include "rules/rule_book.h"

#include <memory>
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
    Change change;
    if (ui_.RunRuleEditor(state)) {
        change.kind = Change::kAdd;
        change.after.flags = static_cast<std::uint16_t>(flags & White);
        TakeEdits(state, change.after);
    }
    ApplyAndSave(change);
}

void RuleBook::EditRule(bool isWhite, std::size_t row) {
    std::optional<std::size_t> index = RuleAtRow(rules_, isWhite, row);
    if (!index) {
        ui_.ShowError(kRuleAccessError, kRuleAccessErrorCaption);
        return;
    }
    Change change;
    change.before = rules_[*index];
    RuleEditorState state;
    state.isWhite = isWhite;
    SetConditions(state, change.before.flags);
    state.popupLocation = change.before.popupLocation;
    state.sourceLocation = change.before.sourceLocation;
    state.name = change.before.name;
    state.isAdd = false;
    if (ui_.RunRuleEditor(state)) {
        change.kind = Change::kReplace;
        change.after = change.before;
        TakeEdits(state, change.after);
    }
    ApplyAndSave(change);
}

void RuleBook::DeleteRule(bool isWhite, std::size_t row) {
    // A row that is gone removes nothing; only editing reports it.
    Change change;
    if (std::optional<std::size_t> index = RuleAtRow(rules_, isWhite, row)) {
        change.kind = Change::kRemove;
        change.before = rules_[*index];
    }
    ApplyAndSave(change);
}

// Identical rules are told apart by their order only: the first one is
// edited or goes. A rule to delete that is gone already removes nothing.
bool RuleBook::Apply(const Change& change, RuleSet& rules) {
    std::optional<std::size_t> at;
    switch (change.kind) {
        case Change::kNone:
            break;
        case Change::kAdd:
            rules.append(change.after);
            break;
        case Change::kReplace:
            at = rules.find(change.before);
            if (!at) return false;
            rules.replace(*at, change.after);
            break;
        case Change::kRemove:
            at = rules.find(change.before);
            if (at) rules.removeAt(*at);
            break;
    }
    return true;
}

void RuleBook::ApplyAndSave(const Change& change) {
    const char* error = nullptr;
    const char* caption = kRulesErrorCaption;
    {
        std::unique_ptr<FileLock> lock = LockRulesFile(files_, moduleFileName_);
        RuleSet current;
        if (!lock || ReadRulesFile(files_, moduleFileName_, current) == RulesFileState::kRefused) {
            // The file is there but unread: writing would cost its rules.
            error = kRulesAccessError;
        } else {
            RuleSet changed = current;
            if (!Apply(change, changed)) {
                // Another window deleted it; editing it back would undo that.
                error = kRuleAccessError;
                caption = kRuleAccessErrorCaption;
            } else {
                error = WriteRulesFile(files_, moduleFileName_, changed);
            }
            // The lists show what the file holds.
            rules_ = error ? std::move(current) : std::move(changed);
        }
    }
    ui_.RefreshRuleLists();
    if (error) ui_.ShowError(error, caption);
}

}  // namespace qm
