#pragma once
// The procedures' progress page bound to a wizard page: a status static and
// a progress bar, repainted at once since the procedure keeps the thread.

#include <windows.h>

#include "wizard/progress_page.h"

namespace qm::win32 {

class DialogProgressPage : public virtual ProgressPage {
public:
    DialogProgressPage(HWND page, int statusId, int progressId)
        : page_(page), statusId_(statusId), progressId_(progressId) {}

    void setStatusText(const std::string& text) override;
    void setProgress(int percent) override;
    // Owned by the wizard frame, so the frame cannot be used meanwhile.
    void showMessage(const std::string& text) override;

protected:
    HWND page_;

private:
    int statusId_;
    int progressId_;
};

}  // namespace qm::win32
