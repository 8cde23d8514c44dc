#pragma once
// Readable names for rules, and the picture that stands for a rule in the
// rule lists.

#include <string>
#include <string_view>

#include "rules/rule.h"

namespace qm {

// The running summary the rule editor shows as the name while the user fills
// in the locations and ticks the condition boxes ("Unnamed Rule" when empty).
std::string DescribeRule(std::string_view popupText, std::string_view sourceText, bool popupExact,
                         bool popupDomain, bool sourceExact, bool sourceDomain);

// The name of a rule that leaves the editor without one: domain, dot,
// top-level label, and " ... " with the last path segment when there is one.
std::string FallbackRuleName(const Rule& rule);

// The images of the rule lists' image list, by their index in it: arrows
// leaving (FROM) or entering (TO) one window (exact) or a stack of windows
// (domain), each with a red cross (off) or a green dot (on).
enum class RuleIcon {
    FromExactOff = 0,
    FromExactOn = 1,
    FromDomainOff = 2,
    FromDomainOn = 3,
    ToExactOff = 4,
    ToExactOn = 5,
    ToDomainOff = 6,
    ToDomainOn = 7,
};

// The picture of the condition the rule is tested on, in its status.
RuleIcon ChooseRuleIcon(const Rule& rule);

}  // namespace qm
