#pragma once
// A captured popup as the decision engine sees it: the browser object that
// became the new window, with its record. The window-side object (a COM
// class) implements this; the engine's list of captures holds one
// reference to each and gives it back with release().

#include <cstdint>

#include "guard/popup_record.h"

namespace qm {

class Capture {
public:
    virtual PopupRecord& record() = 0;
    // The guard level when the capture was created: 1 or 2.
    virtual std::int32_t captureLevel() const = 0;
    // Drops the reference the engine's list holds.
    virtual void release() = 0;
    // Finishes at once with what the popup has reported, as the time limit
    // would, and lets go of its browser and windows, whether or not it was
    // already finishing.
    virtual void endNow() = 0;

    // The engine's number of the new window this capture holds.
    std::uint32_t windowNumber = 0;
    // The capture finished because its page never completed in time.
    std::int32_t timedOut = 0;

protected:
    ~Capture() = default;
};

}  // namespace qm
