#include "rules/rule_lists.h"

namespace qm {
namespace {

bool InList(const Rule& rule, bool isWhite) {
    return ((rule.flags & White) != 0) == isWhite;
}

}  // namespace

std::vector<RuleListRow> RuleListRows(const RuleSet& rules, bool isWhite) {
    std::vector<RuleListRow> rows;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (InList(rules[i], isWhite)) rows.push_back({rules[i].name, ChooseRuleIcon(rules[i]), i});
    }
    return rows;
}

std::optional<std::size_t> RuleAtRow(const RuleSet& rules, bool isWhite, std::size_t row) {
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (!InList(rules[i], isWhite)) continue;
        if (row == 0) return i;
        --row;
    }
    return std::nullopt;
}

}  // namespace qm
