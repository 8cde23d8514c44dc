#pragma once
// Takes the scripts a page schedules for its unload out of the page before
// they can open windows: once at once when the window has loaded, and in a
// short polling phase after each top-level document completes or the page
// body is activated, which waits for the browser to turn busy (the user is
// leaving) and then clears the page.

#include <cstdint>
#include <string_view>

#include "page/page_host.h"
#include "settings/settings.h"

namespace qm {

// Whether a script block's event attribute binds it to the page's unload or
// before-unload: the browser reads the name whatever its case, so "OnUnload"
// runs at unload as "onunload" does.
bool IsUnloadEventName(std::wstring_view name);

// The band's browser as the neutralizer sees it.
class NeutralizerPage {
public:
    virtual ~NeutralizerPage() = default;
    virtual bool IsBusy() = 0;
    // Clears the unload handlers of the top-level document and its frames;
    // false when there is no HTML document.
    virtual bool ClearDocument() = 0;
};

class UnloadNeutralizer {
public:
    static constexpr std::int32_t kPollingTries = 90;
    static constexpr std::uint32_t kPollingIntervalMs = 100;

    UnloadNeutralizer(const Settings& settings, PageHost& host, NeutralizerPage& page);

    // The band's visibility check, then (with ClearOnUnload) a fresh polling
    // phase, whether or not one is running.
    void ScheduleUnloadNeutralizer();
    // The window's load event: one pass at once, busy or not.
    void WindowLoaded();
    // One pass; without `immediate` only while the browser is busy. True
    // when a document was cleared.
    bool ClearOnUnloadTick(bool immediate);
    // A tick of IDT_CLEARONUNLOAD.
    void OnTimer();

    // Ticks left in the polling phase.
    std::int32_t ClearOnUnloadTries = 0;

private:
    const Settings& settings_;
    PageHost& host_;
    NeutralizerPage& page_;
};

}  // namespace qm
