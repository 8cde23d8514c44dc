#pragma once
// Runs page scripts (the language of page_script.h) inside a lab window:
// every script is traced with where it came from before it runs.

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

namespace qm::lab {

class LabWindow;

// `origin` names the script's source in the trace: exec, onload, timer,
// timeout, click, link, function, block, and the handler names such as
// onunload-body. `by` is how the trace describes the windows it opens.
void RunScript(LabWindow& window, const std::string& code, std::string_view origin,
               const char* by = "script");

// Runs what a handler property holds: a lab script function, text, or a
// foreign dispatch object (invoked with DISPID_VALUE). Nothing when unset.
void RunHandler(LabWindow& window, const VARIANT& handler, std::string_view origin);

}  // namespace qm::lab
