#pragma once
// What the page side needs from the band that owns it: the band window's
// timers and its visibility check. The band implements it; tests fake it.

#include <cstdint>

namespace qm {

// Timers of the band window that the page side starts and ends.
enum BandTimerId : std::uint32_t {
    IDT_CLICKWINDOW = 108,    // end of the click window
    IDT_SINKHTML = 113,       // connect the document and frame sinks until it succeeds
    IDT_CLEARONUNLOAD = 114,  // polling of the unload-script neutralizer
};

class PageHost {
public:
    virtual ~PageHost() = default;

    // A periodic timer of the band window; starting a running one restarts it.
    virtual void StartTimer(std::uint32_t id, std::uint32_t intervalMs) = 0;
    virtual void KillTimer(std::uint32_t id) = 0;
    // Shows or hides the bar according to the browser window's size.
    virtual void CheckVisible() = 0;
};

}  // namespace qm
