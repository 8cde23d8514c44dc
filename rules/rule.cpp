#include "rules/rule.h"

namespace qm {
namespace {

RuleView ViewOf(const Rule& rule) {
    return {rule.flags, rule.name, rule.popupLocation, rule.sourceLocation};
}

}  // namespace

bool operator==(const RuleView& a, const RuleView& b) {
    return a.flags == b.flags && a.name == b.name && a.popupLocation == b.popupLocation &&
           a.sourceLocation == b.sourceLocation;
}

bool operator==(const Rule& a, const Rule& b) {
    return ViewOf(a) == ViewOf(b);
}
bool operator==(const RuleView& a, const Rule& b) {
    return a == ViewOf(b);
}
bool operator==(const Rule& a, const RuleView& b) {
    return ViewOf(a) == b;
}
bool operator!=(const Rule& a, const Rule& b) {
    return !(a == b);
}
bool operator!=(const RuleView& a, const RuleView& b) {
    return !(a == b);
}
bool operator!=(const RuleView& a, const Rule& b) {
    return !(a == b);
}
bool operator!=(const Rule& a, const RuleView& b) {
    return !(a == b);
}

RuleCondition TestedCondition(std::uint16_t flags) {
    if (flags & PopupDomain) return RuleCondition::PopupDomain;
    if (flags & PopupExact) return RuleCondition::PopupExact;
    if (flags & SourceDomain) return RuleCondition::SourceDomain;
    return RuleCondition::SourceExact;
}

}  // namespace qm
