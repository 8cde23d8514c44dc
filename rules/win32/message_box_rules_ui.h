#pragma once

#include "rules/rules_file.h"

namespace qm::win32 {

// The rules file's failures as message boxes without an owner window, with
// the exclamation icon and an OK button.
class MessageBoxRulesUi : public RulesUi {
public:
    void ShowError(const std::string& text, const std::string& caption) override;
};

}  // namespace qm::win32
