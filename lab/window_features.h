#pragma once
// The requests a new window's feature string makes of the browser, in the
// order the lab fires them: position and size given, then every bar.

#include <optional>
#include <string_view>
#include <vector>

#include "lab/scenario.h"

namespace qm::lab {

// "toolbar", "menubar", "location", "status", "fullscreen", "resizable"
// (any case) name a bar the browser reports by an event.
std::optional<WindowRequest::Kind> BarNamed(std::string_view name);

// "yes", "1", "true" and a bare name mean on; everything else off.
bool FeatureValueIsOn(std::string_view value);

// An empty feature string asks for nothing. Otherwise, as the browser
// treats window.open: left, top, width, height when given as numbers, and
// each bar on only when listed as on.
std::vector<WindowRequest> RequestsFromFeatures(std::string_view features);

}  // namespace qm::lab
