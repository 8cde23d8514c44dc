#pragma once
// The rules of one band: both lists in one ordered store (a rule's list is
// its White bit), and the two matchers the new-window decision asks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "rules/rule.h"

namespace qm {

class RuleSet {
public:
    void append(const Rule& rule);
    void append(Rule&& rule);
    // Later rules move up by one.
    void removeAt(std::size_t index);
    // The index of the first rule equal to `rule` in all four fields.
    std::optional<std::size_t> find(const Rule& rule) const;
    void clear();
    // An edited rule keeps its place.
    void replace(std::size_t index, const Rule& rule);
    void reserve(std::size_t count);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const Rule& operator[](std::size_t index) const { return entries_[index].rule; }

    // Whether an active rule of that list matches a new window at
    // `popupAddress` opened by the page at `sourceAddress`.
    bool MatchesWhiteList(std::string_view popupAddress, std::string_view sourceAddress) const;
    bool MatchesBlackList(std::string_view popupAddress, std::string_view sourceAddress) const;

private:
    enum class List : std::uint8_t { None, White, Black };

    // What matching needs of a rule, worked out when the rule is stored:
    // offsets into the location its condition tests, so nothing is copied.
    struct Matcher {
        List list = List::None;
        RuleCondition condition = RuleCondition::SourceExact;
        bool endsInLoneLeadByte = false;  // of the exact location
        std::uint32_t length = 0;         // exact: the trimmed location
        std::uint32_t domainOffset = 0;   // domain: the last two host labels
        std::uint32_t domainLength = 0;
        std::uint32_t tldOffset = 0;
        std::uint32_t tldLength = 0;
    };
    struct Entry {
        Rule rule;
        Matcher matcher;
    };

    static Matcher MakeMatcher(const Rule& rule);
    bool Matches(List list, std::string_view popupAddress, std::string_view sourceAddress) const;

    std::vector<Entry> entries_;
};

}  // namespace qm
