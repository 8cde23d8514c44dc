#include "rules/rule.h"

namespace qm {

bool operator==(const Rule& a, const Rule& b) {
    return a.flags == b.flags && a.name == b.name && a.popupLocation == b.popupLocation &&
           a.sourceLocation == b.sourceLocation;
}

bool operator!=(const Rule& a, const Rule& b) {
    return !(a == b);
}

RuleCondition TestedCondition(std::uint16_t flags) {
    if (flags & PopupDomain) return RuleCondition::PopupDomain;
    if (flags & PopupExact) return RuleCondition::PopupExact;
    if (flags & SourceDomain) return RuleCondition::SourceDomain;
    return RuleCondition::SourceExact;
}

}  // namespace qm
