#include "rules/rule_naming.h"

#include "rules/parsed_url.h"

namespace qm {
namespace {

// "TO entire D.T domain", "TO D.T ... F" or "TO D.T"; empty when the
// condition is not ticked or its location is empty.
std::string DescribePart(const char* direction, std::string_view text, bool exact, bool domain) {
    if (!(exact || domain) || text.empty()) return {};
    ParsedUrl url;
    url.Parse(text);
    std::string part = std::string(direction) + " ";
    if (domain) return part + "entire " + url.domain + "." + url.tld + " domain";
    part += url.domain + "." + url.tld;
    if (!url.file.empty()) part += " ... " + url.file;
    return part;
}

}  // namespace

std::string DescribeRule(std::string_view popupText, std::string_view sourceText, bool popupExact,
                         bool popupDomain, bool sourceExact, bool sourceDomain) {
    std::string to = DescribePart("TO", popupText, popupExact, popupDomain);
    std::string from = DescribePart("FROM", sourceText, sourceExact, sourceDomain);
    if (to.empty() && from.empty()) return "Unnamed Rule";
    if (to.empty()) return from;
    if (from.empty()) return to;
    return to + ", " + from;
}

std::string FallbackRuleName(const Rule& rule) {
    bool popup = (rule.flags & (PopupExact | PopupDomain)) != 0;
    ParsedUrl url;
    url.Parse(popup ? rule.popupLocation : rule.sourceLocation);
    std::string name = url.domain + "." + url.tld;
    if (!url.file.empty()) name += " ... " + url.file;
    return name;
}

RuleIcon ChooseRuleIcon(const Rule& rule) {
    bool on = (rule.flags & On) != 0;
    switch (TestedCondition(rule.flags)) {
        case RuleCondition::PopupDomain:
            return on ? RuleIcon::ToDomainOn : RuleIcon::ToDomainOff;
        case RuleCondition::PopupExact:
            return on ? RuleIcon::ToExactOn : RuleIcon::ToExactOff;
        case RuleCondition::SourceDomain:
            return on ? RuleIcon::FromDomainOn : RuleIcon::FromDomainOff;
        case RuleCondition::SourceExact:
            break;
    }
    return on ? RuleIcon::FromExactOn : RuleIcon::FromExactOff;
}

}  // namespace qm
