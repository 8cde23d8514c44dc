// Matching a popup that no rule matches walks every active rule of both
// lists: the decision's worst case. The baseline compares the same rules'
// pre-computed texts with nothing else to do.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "rules/parsed_url.h"
#include "rules/rule_set.h"

namespace qm {
namespace {

constexpr int kRuleCount = 1000;
const std::string kPopup = "http://ads.popup-network.example/show/banner.html?id=12345#top";
const std::string kSource = "http://www.daily-news.example/world/index.html";

// A quarter of each condition, white and black in turn, all on.
Rule MakeRule(int i) {
    static const std::uint16_t kConditions[] = {PopupDomain | PopupExact, PopupExact,
                                                SourceDomain | SourceExact, SourceExact};
    Rule rule;
    rule.flags = static_cast<std::uint16_t>(kConditions[i % 4] | On | (i / 4 % 2 ? White : 0));
    rule.name = "rule " + std::to_string(i);
    std::string site = "www.site" + std::to_string(i) + ".example" + std::to_string(i % 7);
    rule.popupLocation = "http://" + site + "/popups/page" + std::to_string(i) + ".html/";
    rule.sourceLocation = "http://" + site + "/articles/";
    return rule;
}

void BM_MatchBothLists(benchmark::State& state) {
    RuleSet rules;
    for (int i = 0; i < kRuleCount; ++i) rules.append(MakeRule(i));
    for (auto _ : state) {
        bool white = rules.MatchesWhiteList(kPopup, kSource);
        bool black = rules.MatchesBlackList(kPopup, kSource);
        benchmark::DoNotOptimize(white);
        benchmark::DoNotOptimize(black);
    }
}
BENCHMARK(BM_MatchBothLists);

// Everything parsed and trimmed beforehand: per rule one prefix test or two
// equality tests against the popup's or source's pre-parsed labels.
void BM_BaselineCompareStrings(benchmark::State& state) {
    struct Precomputed {
        bool white;
        bool popup;
        bool domain;
        std::string text;  // trimmed location, or the domain label
        std::string tld;
    };
    std::vector<Precomputed> rules;
    for (int i = 0; i < kRuleCount; ++i) {
        Rule rule = MakeRule(i);
        bool popup = rule.flags & (PopupDomain | PopupExact);
        bool domain = rule.flags & (PopupDomain | SourceDomain);
        std::string location = popup ? rule.popupLocation : rule.sourceLocation;
        location.pop_back();  // the trailing "/"
        ParsedUrl url;
        url.Parse(location);
        rules.push_back(
            {(rule.flags & White) != 0, popup, domain, domain ? url.domain : location, url.tld});
    }
    ParsedUrl popup, source;
    popup.Parse(kPopup);
    source.Parse(kSource);
    const std::string popupTrimmed = kPopup, sourceTrimmed = kSource;
    for (auto _ : state) {
        bool found[2] = {false, false};
        for (bool white : {true, false}) {
            for (const Precomputed& r : rules) {
                if (r.white != white) continue;
                const ParsedUrl& url = r.popup ? popup : source;
                const std::string& address = r.popup ? popupTrimmed : sourceTrimmed;
                bool matches = r.domain ? r.text == url.domain && r.tld == url.tld
                                        : address.compare(0, r.text.size(), r.text) == 0;
                if (matches) {
                    found[white] = true;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BaselineCompareStrings);

}  // namespace
}  // namespace qm
