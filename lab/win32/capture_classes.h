#pragma once
// The lab's own browser objects for CLSID_WebBrowser and
// CLSID_InternetExplorer, registered in this process so that a band's
// control-hosting window (created by ProgID) gets them instead of the
// system's browser.

#include <windows.h>

#include "lab/win32/lab.h"

namespace qm::lab {

class CaptureClasses {
public:
    explicit CaptureClasses(Lab& lab);
    ~CaptureClasses();
    CaptureClasses(const CaptureClasses&) = delete;
    CaptureClasses& operator=(const CaptureClasses&) = delete;

    bool registered() const { return controlCookie_ && applicationCookie_; }

private:
    DWORD controlCookie_ = 0;
    DWORD applicationCookie_ = 0;
};

}  // namespace qm::lab
