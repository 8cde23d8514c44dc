// Scenario files, page scripts, feature strings and expectation patterns
// are text people write: any bytes must parse without fault, and what the
// parsers give back must hold together.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lab/expectation.h"
#include "lab/page_script.h"
#include "lab/scenario_parser.h"
#include "lab/window_features.h"

namespace {

void CheckScript(const std::string& code) {
    for (const qm::lab::Statement& statement : qm::lab::ParsePageScript(code)) {
        if (statement.text.empty() || statement.text.size() > code.size()) __builtin_trap();
        using Kind = qm::lab::Statement::Kind;
        if (statement.kind == Kind::Open && statement.args.size() != 3) __builtin_trap();
        if (statement.kind == Kind::NotUnderstood && !statement.args.empty()) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    qm::lab::ParsedScenario parsed = qm::lab::ParseScenario(text);
    for (const qm::lab::ScenarioError& error : parsed.errors) {
        if (error.line < 1 || error.message.empty()) __builtin_trap();
    }
    for (const qm::lab::PageSpec& page : parsed.scenario.pages) {
        for (const std::string& script : page.onload) CheckScript(script);
        for (const qm::lab::ElementSpec& element : page.elements) {
            if (!element.parent.empty() && !page.findElement(element.parent)) __builtin_trap();
        }
    }
    CheckScript(text);
    std::vector<qm::lab::WindowRequest> requests = qm::lab::RequestsFromFeatures(text);
    if (!requests.empty() && requests.size() < 6) __builtin_trap();
    // The text's own lines as a trace, its expectations checked against it.
    std::vector<std::string> trace;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        trace.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& line : trace) {
        // Every line, stars and all, is a pattern that matches itself.
        if (!qm::lab::PatternMatches(line, line)) __builtin_trap();
    }
    qm::lab::CheckExpectations(parsed.scenario.expectations, trace);
    return 0;
}
