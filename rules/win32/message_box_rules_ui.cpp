#include "rules/win32/message_box_rules_ui.h"

#include <windows.h>

namespace qm::win32 {

void MessageBoxRulesUi::ShowError(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace qm::win32
