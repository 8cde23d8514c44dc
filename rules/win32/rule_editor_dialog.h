#pragma once
// The rule editor (dialog 251): one modal dialog for adding and editing the
// rules of both lists.

#include <windows.h>

#include "rules/rule_editor_logic.h"

namespace qm::tools {

// Runs the editor on `state`, owned by `owner`; true when the user chose OK,
// and `state` then holds what the user entered.
bool RunRuleEditorDialog(HINSTANCE instance, HWND owner, RuleEditorState& state);

}  // namespace qm::tools
