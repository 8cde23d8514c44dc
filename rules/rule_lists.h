#pragma once
// The two rule lists as the Tools page shows them: each list's rules in
// RuleSet order, with their names and pictures. A row is found again by its
// position in its list, which stays right because every change of the
// RuleSet is followed by a refill.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rules/rule_naming.h"
#include "rules/rule_set.h"

namespace qm {

struct RuleListRow {
    std::string name;
    RuleIcon icon;
    std::size_t ruleIndex;  // in the RuleSet
};

// The rows of the white list (`isWhite`) or the black list.
std::vector<RuleListRow> RuleListRows(const RuleSet& rules, bool isWhite);

// The RuleSet index of the rule shown at `row` of that list; none when the
// list has no such row.
std::optional<std::size_t> RuleAtRow(const RuleSet& rules, bool isWhite, std::size_t row);

}  // namespace qm
