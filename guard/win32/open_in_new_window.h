#pragma once
// Opens a popup record again as an ordinary window that the decision
// engine lets through: wanted popups, entries the user double-clicks, and
// the band's own web links.

#include <exdisp.h>

#include "guard/guard.h"
#include "guard/popup_record.h"

namespace qm {

// Opens `record` from the page shown in `browser`; nothing opens without an
// HTML page there. The click flag is set during the call, so the new window
// the page raises counts as the user's, and cleared whatever happens.
void OpenInNewWindow(IWebBrowser2* browser, Guard& guard, const PopupRecord& record);

}  // namespace qm
