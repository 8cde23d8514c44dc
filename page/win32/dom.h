#pragma once
// Small reads of the browser and its page that several parts make. Each
// gives an empty result when the browser or page refuses.

#include <exdisp.h>
#include <mshtml.h>

#include <string>

#include "common/win32/com_ptr.h"

namespace qm {

// COM identity: both asked for IUnknown. Two nulls are the same object.
bool SameObject(IUnknown* a, IUnknown* b);

// The browser's current document, when it is an HTML document.
win32::ComPtr<IHTMLDocument2> DocumentOf(IWebBrowser2* browser);
win32::ComPtr<IHTMLWindow2> WindowOf(IHTMLDocument2* document);
// A frame window's document; null for a frame of another domain.
win32::ComPtr<IHTMLDocument2> DocumentOf(IHTMLWindow2* window);

std::wstring TitleOf(IHTMLDocument2* document);
std::wstring UrlOf(IHTMLDocument2* document);

// The event object of a page event, when it is one.
win32::ComPtr<IHTMLEventObj> EventObjectOf(IDispatch* event);
win32::ComPtr<IHTMLElement> SourceElementOf(IHTMLEventObj* event);
// Empty when it cannot be read.
std::wstring TagNameOf(IHTMLElement* element);
win32::ComPtr<IHTMLElement> ParentOf(IHTMLElement* element);

}  // namespace qm
