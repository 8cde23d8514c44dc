#pragma once
// Plays a scenario: the IEFrame with its bar and band, the capture browser
// classes, and the user's timeline, action by action in real time.

#include <string>
#include <vector>

#include "lab/scenario.h"
#include "lab/trace.h"

namespace qm::lab {

// Runs the timeline and closes the bar and the windows; with `keepOpen`
// the lab first goes on until a person closes the browser window. Actions
// that could not be done (an element missing from the page, the browser
// window closed) are reported in `problems` with their line.
void RunScenario(const Scenario& scenario, Trace& trace, std::vector<std::string>& problems,
                 bool keepOpen = false);

}  // namespace qm::lab
