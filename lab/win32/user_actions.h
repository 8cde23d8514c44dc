#pragma once
// What the lab's user does to a page: mouse events raised on the element's
// document in the browser's order, and the default actions that follow.

#include <string>

namespace qm::lab {

class LabBrowser;
class LabElement;

// The element with `id` in the browser's page: the top document first,
// then its frames, depth first.
LabElement* FindElement(LabBrowser& browser, const std::string& id);

// mousedown (with the activation it brings: onbeforeactivate on the
// element that takes the focus, the BODY for plain content).
void Press(LabElement& element, long button = 1);
void Release(LabElement& element, long button = 1);
// mousedown, mouseup, then Clicked.
void Click(LabElement& element);
// The click that follows a press and release on the same element: onclick,
// then the onclick scripts of the element and those above it, then a
// link's default action.
void Clicked(LabElement& element);
// mousedown, mouseup, contextmenu with the right button.
void RightClick(LabElement& element);
// The context menu's "open in new window" on a link (or anything inside
// one). False when the element is in no link.
bool OpenInNewWindow(LabElement& element);
void Hover(LabElement& element);
void Leave(LabElement& element);
// Ctrl down or up in this thread's key state, as GetKeyState reads it
// (the band runs on this thread). False when it could not be set.
bool HoldCtrl(bool down);

}  // namespace qm::lab
