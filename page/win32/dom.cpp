#include "page/win32/dom.h"

#include "common/win32/bstr.h"

namespace qm {

using win32::Bstr;
using win32::ComPtr;

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ua;
    ComPtr<IUnknown> ub;
    a->QueryInterface(IID_IUnknown, ua.putVoid());
    b->QueryInterface(IID_IUnknown, ub.putVoid());
    return ua && ua.get() == ub.get();
}

ComPtr<IHTMLDocument2> DocumentOf(IWebBrowser2* browser) {
    if (!browser) return {};
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(document.put()))) return {};
    return document.as<IHTMLDocument2>();
}

ComPtr<IHTMLWindow2> WindowOf(IHTMLDocument2* document) {
    ComPtr<IHTMLWindow2> window;
    if (document && FAILED(document->get_parentWindow(window.put()))) window.reset();
    return window;
}

ComPtr<IHTMLDocument2> DocumentOf(IHTMLWindow2* window) {
    ComPtr<IHTMLDocument2> document;
    if (window && FAILED(window->get_document(document.put()))) document.reset();
    return document;
}

std::wstring TitleOf(IHTMLDocument2* document) {
    Bstr title;
    if (!document || FAILED(document->get_title(title.put()))) return {};
    return title.str();
}

std::wstring UrlOf(IHTMLDocument2* document) {
    Bstr url;
    if (!document || FAILED(document->get_URL(url.put()))) return {};
    return url.str();
}

ComPtr<IHTMLEventObj> EventObjectOf(IDispatch* event) {
    ComPtr<IHTMLEventObj> object;
    if (event) event->QueryInterface(IID_IHTMLEventObj, object.putVoid());
    return object;
}

ComPtr<IHTMLElement> SourceElementOf(IHTMLEventObj* event) {
    ComPtr<IHTMLElement> element;
    if (event && FAILED(event->get_srcElement(element.put()))) element.reset();
    return element;
}

std::wstring TagNameOf(IHTMLElement* element) {
    Bstr tag;
    if (!element || FAILED(element->get_tagName(tag.put()))) return {};
    return tag.str();
}

ComPtr<IHTMLElement> ParentOf(IHTMLElement* element) {
    ComPtr<IHTMLElement> parent;
    if (element && FAILED(element->get_parentElement(parent.put()))) parent.reset();
    return parent;
}

}  // namespace qm
