#include "rules/rule_lists.h"

namespace qm {
namespace {

bool InList(std::uint16_t flags, bool isWhite) {
    return ((flags & White) != 0) == isWhite;
}

}  // namespace

std::vector<RuleListRow> RuleListRows(const RuleSet& rules, bool isWhite) {
    std::vector<RuleListRow> rows;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (InList(rules[i].flags, isWhite)) {
            rows.push_back({std::string(rules[i].name), ChooseRuleIcon(rules[i]), i});
        }
    }
    return rows;
}

std::optional<std::size_t> RuleAtRow(const RuleSet& rules, bool isWhite, std::size_t row) {
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (!InList(rules[i].flags, isWhite)) continue;
        if (row == 0) return i;
        --row;
    }
    return std::nullopt;
}

}  // namespace qm
