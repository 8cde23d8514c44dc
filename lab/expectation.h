#pragma once
// Checking a scenario's expect lines against the trace. A pattern matches a
// whole trace line; "*" stands for any run of characters, everything else
// for itself.

#include <string>
#include <string_view>
#include <vector>

#include "lab/scenario.h"

namespace qm::lab {

bool PatternMatches(std::string_view pattern, std::string_view line);

struct ExpectationResult {
    const Expectation* expectation;
    bool passed;
    std::string detail;  // why it failed, or which line it matched
};

// Plain expect lines must match in the order written, each on a line after
// the previous one's; the others look at the whole trace. Expectations for
// runs with (or without) a band pass unchecked in the other kind of run.
std::vector<ExpectationResult> CheckExpectations(const std::vector<Expectation>& expectations,
                                                 const std::vector<std::string>& trace);

}  // namespace qm::lab
