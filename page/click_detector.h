#pragma once
// Tells a real click from a script: a press and a release on the same
// element followed by the click event open a short click window, during
// which the decision engine lets a new window through. Also notices the
// link whose context menu was opened and a pointer resting on a plug-in.
// The flags live in the band's decision engine; each sink remembers its own
// pressed element and reports here whether the release hit the same one.

#include <cstdint>
#include <string>
#include <string_view>

#include "guard/guard.h"
#include "page/page_host.h"
#include "settings/settings.h"

namespace qm {

class ClickDetector {
public:
    static constexpr std::uint32_t ClickWindowMs = 600;

    ClickDetector(Guard& guard, const Settings& settings, PageHost& host);

    // A press. True when the sink should remember the pressed element:
    // "Block ALL new windows" tracks no press.
    bool MouseDown();
    // Whether a release is to be compared with the press at all.
    bool TracksReleases() const { return !settings_.CompleteBlock; }
    // A release on the pressed element is a click; anything else is not.
    void MouseUp(bool samePressedElement);
    // The click event: opens the click window unless it is open; a second
    // click neither restarts nor lengthens it.
    void Click();
    void OpenClickWindow();
    // IDT_CLICKWINDOW went off.
    void ClickWindowExpired() { guard_.CloseClickWindow(); }

    // A context menu over a link (`linkHref` set to its href) or over
    // anything else (null): the link is kept for the capture decision.
    void ContextMenu(const std::wstring* linkHref);

    // The pointer came over an element with tag name `tag` (empty when the
    // element has none).
    void MouseOver(std::wstring_view tag);
    void MouseOut() { guard_.OverPluginObject = 0; }

private:
    Guard& guard_;
    const Settings& settings_;
    PageHost& host_;
};

}  // namespace qm
