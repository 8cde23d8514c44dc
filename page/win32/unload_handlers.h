#pragma once
// Empties what a page runs when it is left: the unload and before-unload
// handlers of its body, window and framesets (the page's own FRAMESET and
// any its frames collection offers), the script blocks bound to
// those events, and (by the page's own script engine) the body's unload
// handler once more now and a second later. Frames are cleared too, to
// any depth; a frame of another domain refuses its document and is skipped.

#include <mshtml.h>

namespace qm {

// False only when given no document.
bool ClearUnloadHandlers(IHTMLDocument2* document);

}  // namespace qm
