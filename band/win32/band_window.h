#pragma once
// The band's own child window (class "QuellmarkCommBarClass"): it carries the
// band's timers and holds the band's contents; everything it receives is
// handed to its owner.

#include <windows.h>

namespace qm::band {

// The first size check of the browser window after the band is sited (the
// page side's timers are in page/page_host.h).
constexpr UINT_PTR IDT_CHECKVISIBLE = 252;

class BandWindowOwner {
public:
    virtual void OnBandWindowCreated(HWND window) = 0;
    virtual void OnBandWindowSized(int width, int height) = 0;
    virtual void OnBandTimer(UINT_PTR id) = 0;
    virtual void OnBandWindowDestroyed() = 0;

protected:
    ~BandWindowOwner() = default;
};

// A hidden child of `parent`; null when it cannot be made.
HWND CreateBandWindow(HINSTANCE instance, HWND parent, BandWindowOwner& owner);

}  // namespace qm::band
