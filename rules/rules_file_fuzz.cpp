// The rules file comes from disk and may hold anything. Decoding any bytes
// must not fault; saving what was loaded must keep every rule; editing the
// loaded rules must touch only the rules edited; and matching with the
// loaded rules must answer as a plain reading of the matching steps does
// (parse, trim, compare), in a single-byte and a double-byte code page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_page.h"
#include "common/testing/dbcs_code_page.h"
#include "common/text.h"
#include "rules/parsed_url.h"
#include "rules/rules_file.h"

namespace {

using qm::Rule;
using qm::RuleSet;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
    bool lead = qm::systemCodePage().isLeadByte(static_cast<unsigned char>(text[pos]));
    return lead && pos + 1 < text.size() ? 2 : 1;
}

// Cuts trailing spaces, "/" and backslashes, one character at a time.
std::string TrimEnd(std::string_view text) {
    std::string result;
    std::size_t keep = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        std::size_t n = CharLength(text, pos);
        char c = text[pos];
        if (n > 1 || (c != ' ' && c != '/' && c != '\\')) keep = pos + n;
    }
    return std::string(text.substr(0, keep));
}

bool BeginsWithChars(std::string_view address, std::string_view location) {
    for (std::size_t pos = 0; pos < location.size();) {
        if (pos >= address.size()) return false;
        std::size_t n = CharLength(location, pos);
        if (n != CharLength(address, pos) || address.compare(pos, n, location, pos, n) != 0) {
            return false;
        }
        pos += n;
    }
    return true;
}

bool SameDomain(std::string_view location, const qm::ParsedUrl& address) {
    qm::ParsedUrl url;
    url.Parse(TrimEnd(location));
    return url.domain == address.domain && url.tld == address.tld;
}

bool ReferenceMatches(const std::vector<Rule>& rules, bool white, const std::string& popup,
                      const std::string& source) {
    qm::ParsedUrl popupUrl, sourceUrl;
    popupUrl.Parse(popup);
    sourceUrl.Parse(source);
    std::string popupTrimmed = TrimEnd(qm::TrimLeft(popup));
    std::string sourceTrimmed = TrimEnd(qm::TrimLeft(source));
    for (const Rule& rule : rules) {
        if (!(rule.flags & qm::On) || ((rule.flags & qm::White) != 0) != white) continue;
        bool matches;
        if (rule.flags & qm::PopupDomain) {
            matches = SameDomain(rule.popupLocation, popupUrl);
        } else if (rule.flags & qm::PopupExact) {
            matches = BeginsWithChars(popupTrimmed, TrimEnd(rule.popupLocation));
        } else if (rule.flags & qm::SourceDomain) {
            matches = SameDomain(rule.sourceLocation, sourceUrl);
        } else {
            matches = BeginsWithChars(sourceTrimmed, TrimEnd(rule.sourceLocation));
        }
        if (matches) return true;
    }
    return false;
}

void CheckMatching(std::string_view data) {
    RuleSet set;
    if (!qm::DecodeRules(data, set)) return;
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < set.size() && i < 8; ++i) rules.push_back(set[i]);
    RuleSet first;
    for (const Rule& rule : rules) first.append(rule);

    std::vector<std::string> addresses = {""};
    for (std::size_t i = 0; i < rules.size() && i < 2; ++i) {
        addresses.push_back(rules[i].name);
        addresses.push_back(rules[i].popupLocation);
        addresses.push_back(rules[i].sourceLocation);
    }
    // A loaded set whose first use is a match reads its records then.
    RuleSet loaded;
    qm::DecodeRules(data, loaded);
    const bool wholeSet = loaded.size() == rules.size();
    for (const std::string& popup : addresses) {
        for (const std::string& source : addresses) {
            bool white = ReferenceMatches(rules, true, popup, source);
            bool black = ReferenceMatches(rules, false, popup, source);
            Require(first.MatchesWhiteList(popup, source) == white);
            Require(first.MatchesBlackList(popup, source) == black);
            if (wholeSet) {
                Require(loaded.MatchesWhiteList(popup, source) == white);
                Require(loaded.MatchesBlackList(popup, source) == black);
            }
        }
    }
}

// Removing, replacing and appending rules of a loaded set changes only the
// rules concerned, however the set keeps their texts.
void CheckEditing(std::string_view data) {
    RuleSet set;
    if (!qm::DecodeRules(data, set)) return;
    std::vector<Rule> model;
    for (std::size_t i = 0; i < set.size(); ++i) model.push_back(set[i]);
    for (std::size_t step = 0; step < 64 && !model.empty(); ++step) {
        std::size_t at = step * 7 % model.size();
        if (step % 3 == 0) {
            set.removeAt(at);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (step % 3 == 1) {
            Rule last = model.back();
            set.replace(at, last);
            model[at] = last;
        } else {
            Rule again = model[at];
            set.append(again);
            model.push_back(again);
        }
    }
    Require(set.size() == model.size());
    for (std::size_t i = 0; i < model.size(); ++i) Require(set[i] == model[i]);
}

// Saving blanks a text's lone CR and LF; after that one change, a second
// save and load gives back exactly what the first one did.
void CheckSavingKeepsEveryRule(std::string_view data) {
    RuleSet loaded;
    if (!qm::DecodeRules(data, loaded) || loaded.empty()) return;
    std::string saved = qm::EncodeRules(loaded);
    RuleSet reloaded;
    Require(qm::DecodeRules(saved, reloaded));
    Require(reloaded.size() == loaded.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        Require(reloaded[i].flags == loaded[i].flags);
        Require(reloaded[i].name == qm::BlankRecordBreakers(loaded[i].name));
    }
    Require(qm::EncodeRules(reloaded) == saved);
    RuleSet again;
    Require(qm::DecodeRules(saved, again));
    for (std::size_t i = 0; i < again.size(); ++i) Require(again[i] == reloaded[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    CheckSavingKeepsEveryRule(data);
    CheckEditing(data);
    CheckMatching(data);
    qm::testing::DbcsCodePage dbcs;
    qm::ScopedCodePage scope(dbcs);
    CheckMatching(data);
    return 0;
}
