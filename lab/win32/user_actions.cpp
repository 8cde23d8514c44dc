#include "lab/win32/user_actions.h"

#include <olectl.h>
#include <mshtmdid.h>

#include "lab/win32/lab.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_window.h"
#include "lab/win32/script_runner.h"

namespace qm::lab {
namespace {

bool TakesFocus(const LabElement& element) {
    const std::string& tag = element.tag();
    return (tag == "A" && !element.href().empty()) || tag == "INPUT" || tag == "BUTTON" ||
           tag == "SELECT" || tag == "TEXTAREA" || tag == "OBJECT" || tag == "EMBED" ||
           tag == "APPLET";
}

LabElement* FocusTarget(LabElement& element) {
    for (LabElement* candidate = &element; candidate; candidate = candidate->parent()) {
        if (TakesFocus(*candidate)) return candidate;
    }
    LabDocument* document = element.document();
    return document ? document->body() : nullptr;
}

// The frame called `name` in the page `browser` shows, at any depth.
LabBrowser* FrameNamed(LabBrowser& browser, const std::string& name) {
    LabDocument* document = browser.document();
    if (!document) return nullptr;
    for (const win32::ComPtr<LabBrowser>& frame : document->frames()) {
        if (frame->windowName() == name) return frame.get();
        if (LabBrowser* inner = FrameNamed(*frame.get(), name)) return inner;
    }
    return nullptr;
}

void FollowLink(LabElement& link) {
    LabDocument* document = link.document();
    if (!document || !document->browser() || !document->browser()->lab()) return;
    win32::ComPtr<LabBrowser> keepBrowser(document->browser());
    LabBrowser& browser = *document->browser();
    const std::string& href = link.href();
    const std::string& target = link.target();
    LabBrowser* frame =
        target.empty() || target[0] == '_' ? nullptr : FrameNamed(browser.topLevel(), target);
    if (href.compare(0, 11, "javascript:") == 0) {
        // The browser raises the navigation first; a sink may refuse it.
        win32::ComPtr<LabDocument> keepDocument(document);
        if (browser.announceScriptAddress(href) && link.document() == document) {
            RunScript(document->window(), href.substr(11), "link", "user");
        }
    } else if (frame) {
        frame->navigate(href);
    } else if (!target.empty() && target != "_self" && target != "_top") {
        browser.lab()->openNewWindow(browser, href, link.target() == "_blank" ? "" : link.target(),
                                     "", "user");
    } else if (link.target() == "_top") {
        browser.topLevel().navigate(href);
    } else {
        browser.navigate(href);
    }
}

}  // namespace

LabElement* FindElement(LabBrowser& browser, const std::string& id) {
    LabDocument* document = browser.document();
    if (!document) return nullptr;
    if (LabElement* element = document->findElement(id)) return element;
    for (const win32::ComPtr<LabBrowser>& frame : document->frames()) {
        if (LabElement* element = FindElement(*frame.get(), id)) return element;
    }
    return nullptr;
}

void Press(LabElement& element, long button) {
    win32::ComPtr<LabElement> keepAlive(&element);
    LabDocument* document = element.document();
    if (!document) return;
    win32::ComPtr<LabDocument> keepDocument(document);
    document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, "mousedown", &element, button);
    LabElement* target = element.document() ? FocusTarget(element) : nullptr;
    if (target && document->activate(target)) {
        document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONBEFOREACTIVATE, "beforeactivate", target,
                            0);
    }
}

void Release(LabElement& element, long button) {
    win32::ComPtr<LabElement> keepAlive(&element);
    if (LabDocument* document = element.document()) {
        document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEUP, "mouseup", &element, button);
    }
}

void Click(LabElement& element) {
    win32::ComPtr<LabElement> keepAlive(&element);
    Press(element);
    Release(element);
    Clicked(element);
}

void Clicked(LabElement& element) {
    win32::ComPtr<LabElement> keepAlive(&element);
    LabDocument* document = element.document();
    if (!document) return;
    win32::ComPtr<LabDocument> keepDocument(document);
    document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONCLICK, "click", &element, 1);
    for (LabElement* handler = &element; handler && element.document() == document;
         handler = handler->parent()) {
        if (!handler->onclick().empty()) {
            RunScript(document->window(), handler->onclick(), "click", "user");
        }
    }
    if (element.document() != document) return;
    if (LabElement* link = element.enclosingLink()) FollowLink(*link);
}

void RightClick(LabElement& element) {
    win32::ComPtr<LabElement> keepAlive(&element);
    Press(element, 2);
    Release(element, 2);
    if (LabDocument* document = element.document()) {
        document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONCONTEXTMENU, "contextmenu", &element, 2);
    }
}

bool OpenInNewWindow(LabElement& element) {
    LabElement* link = element.enclosingLink();
    LabDocument* document = element.document();
    if (!link || !document || !document->browser() || !document->browser()->lab()) return false;
    win32::ComPtr<LabBrowser> browser(document->browser());
    browser->lab()->openNewWindow(*browser.get(), link->href(), "", "", "user");
    return true;
}

void Hover(LabElement& element) {
    win32::ComPtr<LabElement> keepAlive(&element);
    if (LabDocument* document = element.document()) {
        document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOVER, "mouseover", &element, 0);
    }
}

void Leave(LabElement& element) {
    win32::ComPtr<LabElement> keepAlive(&element);
    if (LabDocument* document = element.document()) {
        document->fireEvent(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOUT, "mouseout", &element, 0);
    }
}

bool HoldCtrl(bool down) {
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return false;
    BYTE state = down ? 0x80 : 0;
    keys[VK_CONTROL] = state;
    keys[VK_LCONTROL] = state;
    return SetKeyboardState(keys) != FALSE;
}

}  // namespace qm::lab
