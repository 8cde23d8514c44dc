#pragma once
// What the install and uninstall procedures tell the user while they run:
// one line of text, the bar from 0 to 100, and message boxes.

#include <string>

namespace qm {

class ProgressPage {
public:
    virtual ~ProgressPage() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setProgress(int percent) = 0;
    // A message box with an OK button, shown before the procedure goes on.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace qm
