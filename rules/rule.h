#pragma once
// One white-list or black-list entry: a condition on the new window's address
// (TO) or on the opening page's address (FROM), exact or for a whole domain.

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

enum RuleFlag : std::uint16_t {
    PopupExact = 0x01,
    PopupDomain = 0x02,
    SourceExact = 0x04,
    SourceDomain = 0x08,
    White = 0x10,  // clear: black list
    On = 0x20,     // clear: the rule is off
};

struct Rule {
    std::uint16_t flags = 0;
    std::string name;
    std::string popupLocation;
    std::string sourceLocation;
};

// A rule as a RuleSet holds it: views into the set's own texts, valid until
// the set changes. Converts to a Rule where a copy of its own is wanted.
struct RuleView {
    std::uint16_t flags = 0;
    std::string_view name;
    std::string_view popupLocation;
    std::string_view sourceLocation;

    operator Rule() const {
        return Rule{flags, std::string(name), std::string(popupLocation),
                    std::string(sourceLocation)};
    }
};

bool operator==(const Rule& a, const Rule& b);
bool operator!=(const Rule& a, const Rule& b);
bool operator==(const RuleView& a, const RuleView& b);
bool operator!=(const RuleView& a, const RuleView& b);
bool operator==(const RuleView& a, const Rule& b);
bool operator!=(const RuleView& a, const Rule& b);
bool operator==(const Rule& a, const RuleView& b);
bool operator!=(const Rule& a, const RuleView& b);

// The one condition a rule is tested on: the first of TO domain, TO exact,
// FROM domain that its flags hold; otherwise FROM exact (also for a rule
// without any condition bit). Matching and the rule's icon both follow it.
enum class RuleCondition { PopupDomain, PopupExact, SourceDomain, SourceExact };
RuleCondition TestedCondition(std::uint16_t flags);

}  // namespace qm
