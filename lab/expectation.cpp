#include "lab/expectation.h"

namespace qm::lab {

bool PatternMatches(std::string_view pattern, std::string_view line) {
    // Greedy matching with one backtrack point: the last star seen.
    std::size_t p = 0;
    std::size_t l = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (l < line.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = l;
        } else if (p < pattern.size() && pattern[p] == line[l]) {
            ++p;
            ++l;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            l = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<ExpectationResult> CheckExpectations(const std::vector<Expectation>& expectations,
                                                 const std::vector<std::string>& trace) {
    std::vector<ExpectationResult> results;
    std::size_t next = 0;  // where the next in-order expectation starts looking
    bool withBand = false;
    for (const std::string& line : trace)
        withBand = withBand || PatternMatches("band created *", line);
    for (const Expectation& expectation : expectations) {
        ExpectationResult result{&expectation, false, ""};
        if ((expectation.condition == Expectation::Condition::WithBand && !withBand) ||
            (expectation.condition == Expectation::Condition::WithoutBand && withBand)) {
            result.passed = true;
            result.detail =
                withBand ? "not checked: the run has a band" : "not checked: the run has no band";
            results.push_back(std::move(result));
            continue;
        }
        std::size_t from = expectation.kind == Expectation::Kind::InOrder ? next : 0;
        int matches = 0;
        std::size_t first = trace.size();
        for (std::size_t i = from; i < trace.size(); ++i) {
            if (!PatternMatches(expectation.pattern, trace[i])) continue;
            if (matches++ == 0) first = i;
            if (expectation.kind == Expectation::Kind::InOrder ||
                expectation.kind == Expectation::Kind::Anywhere) {
                break;
            }
        }
        switch (expectation.kind) {
            case Expectation::Kind::InOrder:
            case Expectation::Kind::Anywhere:
                result.passed = matches > 0;
                if (result.passed) {
                    result.detail = "trace line " + std::to_string(first + 1);
                    if (expectation.kind == Expectation::Kind::InOrder) next = first + 1;
                } else {
                    result.detail =
                        from > 0 ? "no matching line after trace line " + std::to_string(from)
                                 : "no matching line";
                }
                break;
            case Expectation::Kind::Absent:
                result.passed = matches == 0;
                result.detail = result.passed ? "no matching line"
                                              : "trace line " + std::to_string(first + 1) +
                                                    " matches: " + trace[first];
                break;
            case Expectation::Kind::Count:
                result.passed = matches == expectation.count;
                result.detail = std::to_string(matches) + " matching lines";
                break;
        }
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace qm::lab
