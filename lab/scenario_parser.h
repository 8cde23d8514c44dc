#pragma once
// Reads a scenario file (the language is described in lab/README.md and by
// quellmark-lab.exe --help). Every error is reported with its line.

#include <string>
#include <string_view>
#include <vector>

#include "lab/scenario.h"

namespace qm::lab {

struct ScenarioError {
    int line;
    std::string message;
};

struct ParsedScenario {
    Scenario scenario;
    std::vector<ScenarioError> errors;

    bool ok() const { return errors.empty(); }
};

ParsedScenario ParseScenario(std::string_view text);

}  // namespace qm::lab
