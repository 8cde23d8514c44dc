#include "rules/rule_set.h"

#include "rules/location_text.h"

namespace qm {
namespace {

// The address side of one condition, worked out once per call.
struct Address {
    std::string_view trimmed;
    HostLabels labels;
};

Address Prepare(std::string_view address) {
    return {TrimAddress(address), FindHostLabels(address)};
}

// `part` is a view into `whole`, or empty.
std::uint32_t OffsetIn(std::string_view whole, std::string_view part) {
    return part.empty() ? 0 : static_cast<std::uint32_t>(part.data() - whole.data());
}

}  // namespace

RuleSet::Matcher RuleSet::MakeMatcher(const Rule& rule) {
    Matcher m;
    if (rule.flags & On) m.list = (rule.flags & White) ? List::White : List::Black;
    m.condition = TestedCondition(rule.flags);
    bool popup =
        m.condition == RuleCondition::PopupDomain || m.condition == RuleCondition::PopupExact;
    std::string_view location = popup ? rule.popupLocation : rule.sourceLocation;
    std::string_view trimmed = TrimLocation(location);
    if (m.condition == RuleCondition::PopupDomain || m.condition == RuleCondition::SourceDomain) {
        HostLabels labels = FindHostLabels(trimmed);
        m.domainOffset = OffsetIn(location, labels.domain);
        m.domainLength = static_cast<std::uint32_t>(labels.domain.size());
        m.tldOffset = OffsetIn(location, labels.tld);
        m.tldLength = static_cast<std::uint32_t>(labels.tld.size());
    } else {
        m.length = static_cast<std::uint32_t>(trimmed.size());
        m.endsInLoneLeadByte = EndsInLoneLeadByte(trimmed);
    }
    return m;
}

void RuleSet::append(const Rule& rule) {
    entries_.push_back({rule, MakeMatcher(rule)});
}

void RuleSet::append(Rule&& rule) {
    Matcher matcher = MakeMatcher(rule);
    entries_.push_back({std::move(rule), matcher});
}

void RuleSet::removeAt(std::size_t index) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::size_t> RuleSet::find(const Rule& rule) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].rule == rule) return i;
    }
    return std::nullopt;
}

void RuleSet::clear() {
    entries_.clear();
}

void RuleSet::replace(std::size_t index, const Rule& rule) {
    entries_[index] = {rule, MakeMatcher(rule)};
}

void RuleSet::reserve(std::size_t count) {
    entries_.reserve(count);
}

bool RuleSet::MatchesWhiteList(std::string_view popupAddress,
                               std::string_view sourceAddress) const {
    return Matches(List::White, popupAddress, sourceAddress);
}

bool RuleSet::MatchesBlackList(std::string_view popupAddress,
                               std::string_view sourceAddress) const {
    return Matches(List::Black, popupAddress, sourceAddress);
}

bool RuleSet::Matches(List list, std::string_view popupAddress,
                      std::string_view sourceAddress) const {
    const Address popup = Prepare(popupAddress);
    const Address source = Prepare(sourceAddress);
    for (const Entry& entry : entries_) {
        const Matcher& m = entry.matcher;
        if (m.list != list) continue;
        bool matches = false;
        switch (m.condition) {
            case RuleCondition::PopupDomain:
            case RuleCondition::SourceDomain: {
                bool isPopup = m.condition == RuleCondition::PopupDomain;
                std::string_view location =
                    isPopup ? entry.rule.popupLocation : entry.rule.sourceLocation;
                const HostLabels& labels = isPopup ? popup.labels : source.labels;
                matches = location.substr(m.domainOffset, m.domainLength) == labels.domain &&
                          location.substr(m.tldOffset, m.tldLength) == labels.tld;
                break;
            }
            case RuleCondition::PopupExact:
                matches = BeginsWith(popup.trimmed,
                                     std::string_view(entry.rule.popupLocation).substr(0, m.length),
                                     m.endsInLoneLeadByte);
                break;
            case RuleCondition::SourceExact:
                matches = BeginsWith(
                    source.trimmed, std::string_view(entry.rule.sourceLocation).substr(0, m.length),
                    m.endsInLoneLeadByte);
                break;
        }
        if (matches) return true;
    }
    return false;
}

}  // namespace qm
