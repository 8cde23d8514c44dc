#include "rules/rule_set.h"

#include <algorithm>
#include <cstdlib>

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

RuleSet::Matcher RuleSet::MakeMatcher(const RuleView& rule) {
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

RuleSet::TextSpan RuleSet::SpanOf(std::string_view part) const {
    return {static_cast<std::uint32_t>(part.data() - text_.data()),
            static_cast<std::uint32_t>(part.size())};
}

RuleView RuleSet::ViewOf(const Entry& entry) const {
    return {entry.flags, View(entry.name), View(entry.popupLocation), View(entry.sourceLocation)};
}

RuleSet::TextSpan RuleSet::AddText(std::string_view text) {
    if (text.size() > kMaxTextSize - text_.size()) std::abort();
    TextSpan span{static_cast<std::uint32_t>(text_.size()),
                  static_cast<std::uint32_t>(text.size())};
    text_ += text;
    return span;
}

RuleSet::Entry RuleSet::AddRule(const Rule& rule) {
    Entry entry;
    entry.flags = rule.flags;
    entry.name = AddText(rule.name);
    entry.popupLocation = AddText(rule.popupLocation);
    entry.sourceLocation = AddText(rule.sourceLocation);
    entry.matcher = MakeMatcher(ViewOf(entry));
    return entry;
}

// Each record becomes an entry whose texts stay where the file had them; only
// surplus separators are squeezed out of a source location, in place.
void RuleSet::ReadRecords() const {
    if (recordEnds_.empty()) return;
    // The only allocation, before any record is touched: a failure leaves
    // the records as they were.
    entries_.reserve(recordEnds_.size());
    std::size_t begin = 0;
    for (std::uint32_t end : recordEnds_) {
        RecordFields fields = ReadRecord(std::string_view(text_).substr(begin, end - begin));
        begin = end + kRecordEnd.size();
        Entry entry;
        entry.flags = fields.flags;
        entry.name = SpanOf(fields.name);
        entry.popupLocation = SpanOf(fields.popupLocation);
        entry.sourceLocation = SpanOf(fields.sourceWithSeparators);
        std::size_t surplus = fields.sourceWithSeparators.find(kRecordSeparator);
        if (surplus != std::string_view::npos) {
            char* source = text_.data() + entry.sourceLocation.at;
            char* sourceEnd = source + entry.sourceLocation.size;
            sourceEnd = std::remove(source + surplus, sourceEnd, kRecordSeparator);
            entry.sourceLocation.size = static_cast<std::uint32_t>(sourceEnd - source);
        }
        entry.matcher = MakeMatcher(ViewOf(entry));
        entries_.push_back(entry);
    }
    recordEnds_ = std::vector<std::uint32_t>();
}

// The texts of a removed or replaced rule stay in the buffer until they make
// up half of it; then the buffer is rebuilt from the rules still held.
void RuleSet::Forget(const Entry& entry) {
    unusedSize_ += entry.name.size + entry.popupLocation.size + entry.sourceLocation.size;
    if (unusedSize_ <= text_.size() / 2) return;
    std::string kept;
    kept.reserve(text_.size() - unusedSize_);
    for (Entry& held : entries_) {
        for (TextSpan* span : {&held.name, &held.popupLocation, &held.sourceLocation}) {
            std::uint32_t at = static_cast<std::uint32_t>(kept.size());
            kept.append(text_, span->at, span->size);
            span->at = at;
        }
    }
    text_.swap(kept);
    unusedSize_ = 0;
}

void RuleSet::append(const Rule& rule) {
    ReadRecords();
    entries_.push_back(AddRule(rule));
}

void RuleSet::removeAt(std::size_t index) {
    ReadRecords();
    const Entry removed = entries_[index];
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    Forget(removed);
}

std::optional<std::size_t> RuleSet::find(const Rule& rule) const {
    ReadRecords();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (ViewOf(entries_[i]) == rule) return i;
    }
    return std::nullopt;
}

void RuleSet::clear() {
    text_.clear();
    recordEnds_.clear();
    entries_.clear();
    unusedSize_ = 0;
}

void RuleSet::replace(std::size_t index, const Rule& rule) {
    ReadRecords();
    const Entry replaced = entries_[index];
    entries_[index] = AddRule(rule);
    Forget(replaced);
}

void RuleSet::reserve(std::size_t count) {
    entries_.reserve(count);
}

void RuleSet::assign(RuleRecords records) {
    if (records.bytes.size() > kMaxTextSize) std::abort();
    clear();
    text_ = std::move(records.bytes);
    recordEnds_ = std::move(records.ends);
}

RuleView RuleSet::operator[](std::size_t index) const {
    ReadRecords();
    return ViewOf(entries_[index]);
}

bool RuleSet::MatchesWhiteList(std::string_view popupAddress,
                               std::string_view sourceAddress) const {
    return FirstMatch(List::White, popupAddress, sourceAddress) != nullptr;
}

bool RuleSet::MatchesBlackList(std::string_view popupAddress,
                               std::string_view sourceAddress) const {
    return FirstMatch(List::Black, popupAddress, sourceAddress) != nullptr;
}

std::optional<RuleView> RuleSet::WhiteRuleFor(std::string_view popupAddress,
                                              std::string_view sourceAddress) const {
    const Entry* entry = FirstMatch(List::White, popupAddress, sourceAddress);
    if (!entry) return std::nullopt;
    return ViewOf(*entry);
}

std::optional<RuleView> RuleSet::BlackRuleFor(std::string_view popupAddress,
                                              std::string_view sourceAddress) const {
    const Entry* entry = FirstMatch(List::Black, popupAddress, sourceAddress);
    if (!entry) return std::nullopt;
    return ViewOf(*entry);
}

const RuleSet::Entry* RuleSet::FirstMatch(List list, std::string_view popupAddress,
                                          std::string_view sourceAddress) const {
    ReadRecords();
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
                    View(isPopup ? entry.popupLocation : entry.sourceLocation);
                const HostLabels& labels = isPopup ? popup.labels : source.labels;
                matches = location.substr(m.domainOffset, m.domainLength) == labels.domain &&
                          location.substr(m.tldOffset, m.tldLength) == labels.tld;
                break;
            }
            case RuleCondition::PopupExact:
                matches = BeginsWith(popup.trimmed, View(entry.popupLocation).substr(0, m.length),
                                     m.endsInLoneLeadByte);
                break;
            case RuleCondition::SourceExact:
                matches = BeginsWith(source.trimmed, View(entry.sourceLocation).substr(0, m.length),
                                     m.endsInLoneLeadByte);
                break;
        }
        if (matches) return &entry;
    }
    return nullptr;
}

}  // namespace qm
