#pragma once
// The rules of one band: both lists in one ordered store (a rule's list is
// its White bit), and the two matchers the new-window decision asks.
//
// The texts of all rules live in one buffer of the set, so holding many
// rules costs no allocation per rule. Rules loaded from the file keep the
// file's bytes as that buffer and are split into their fields on first use;
// so even const calls change the set inside, and a set is for one thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule.h"
#include "rules/rule_record.h"

namespace qm {

class RuleSet {
public:
    // Texts are found by 32-bit offsets into the set's buffer. Adding beyond
    // this ends the process, as a standard container's overflow does.
    static constexpr std::size_t kMaxTextSize = 0xFFFFFFFFu;

    void append(const Rule& rule);
    // Later rules move up by one.
    void removeAt(std::size_t index);
    // The index of the first rule equal to `rule` in all four fields.
    std::optional<std::size_t> find(const Rule& rule) const;
    void clear();
    // An edited rule keeps its place.
    void replace(std::size_t index, const Rule& rule);
    void reserve(std::size_t count);
    // Replaces the rules by a rules file's records, keeping its bytes.
    void assign(RuleRecords records);

    std::size_t size() const { return recordEnds_.empty() ? entries_.size() : recordEnds_.size(); }
    bool empty() const { return size() == 0; }
    // Valid until the set changes.
    RuleView operator[](std::size_t index) const;

    // Whether an active rule of that list matches a new window at
    // `popupAddress` opened by the page at `sourceAddress`.
    bool MatchesWhiteList(std::string_view popupAddress, std::string_view sourceAddress) const;
    bool MatchesBlackList(std::string_view popupAddress, std::string_view sourceAddress) const;
    // The first such rule, so the band can say which one decided.
    std::optional<RuleView> WhiteRuleFor(std::string_view popupAddress,
                                         std::string_view sourceAddress) const;
    std::optional<RuleView> BlackRuleFor(std::string_view popupAddress,
                                         std::string_view sourceAddress) const;

private:
    enum class List : std::uint8_t { None, White, Black };

    // Where one text lies in the set's buffer.
    struct TextSpan {
        std::uint32_t at = 0;
        std::uint32_t size = 0;
    };

    // What matching needs of a rule, worked out once when the rule is added
    // or read: offsets into the location its condition tests.
    struct Matcher {
        RuleCondition condition = RuleCondition::SourceExact;
        List list = List::None;
        bool endsInLoneLeadByte = false;  // of the exact location
        std::uint32_t length = 0;         // exact: the trimmed location
        std::uint32_t domainOffset = 0;   // domain: the last two host labels
        std::uint32_t domainLength = 0;
        std::uint32_t tldOffset = 0;
        std::uint32_t tldLength = 0;
    };
    struct Entry {
        Matcher matcher;
        TextSpan name;
        TextSpan popupLocation;
        TextSpan sourceLocation;
        std::uint16_t flags = 0;
    };

    static Matcher MakeMatcher(const RuleView& rule);
    std::string_view View(TextSpan span) const { return {text_.data() + span.at, span.size}; }
    TextSpan SpanOf(std::string_view part) const;
    RuleView ViewOf(const Entry& entry) const;
    TextSpan AddText(std::string_view text);
    Entry AddRule(const Rule& rule);
    void ReadRecords() const;
    void Forget(const Entry& entry);
    const Entry* FirstMatch(List list, std::string_view popupAddress,
                            std::string_view sourceAddress) const;

    // The texts of every rule, and of removed ones until they are dropped.
    mutable std::string text_;
    // Ends of records not yet read, from the file; then `entries_` is empty.
    mutable std::vector<std::uint32_t> recordEnds_;
    mutable std::vector<Entry> entries_;
    // Bytes of `text_` that no rule uses any more.
    std::size_t unusedSize_ = 0;
};

}  // namespace qm
