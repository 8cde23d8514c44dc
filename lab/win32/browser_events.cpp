#include "lab/win32/browser_events.h"

#include <exdispid.h>

namespace qm::lab {
namespace {

// A BSTR owned for the length of one event.
class OwnedBstr {
public:
    explicit OwnedBstr(const std::wstring& text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~OwnedBstr() { SysFreeString(bstr_); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR get() const { return bstr_; }

private:
    BSTR bstr_;
};

void ByRefVariant(VARIANTARG& arg, VARIANT* target) {
    VariantInit(&arg);
    arg.vt = VT_VARIANT | VT_BYREF;
    arg.pvarVal = target;
}

void Dispatch(VARIANTARG& arg, IDispatch* object) {
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = object;
}

void FireBrowserAndUrl(ConnectionPoint& point, DISPID dispid, IDispatch* browser,
                       const std::wstring& url) {
    OwnedBstr text(url);
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = text.get();
    VARIANTARG args[2];
    ByRefVariant(args[0], &address);
    Dispatch(args[1], browser);
    point.fire(dispid, args, 2);
}

}  // namespace

bool FireBeforeNavigate2(ConnectionPoint& point, IDispatch* browser, const std::wstring& url,
                         const std::wstring& targetFrame) {
    OwnedBstr urlText(url);
    OwnedBstr targetText(targetFrame);
    OwnedBstr headersText(L"");
    VARIANT address, flags, target, postData, headers;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = urlText.get();
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = targetText.get();
    VariantInit(&postData);  // a GET has no body: an empty variant
    VariantInit(&headers);
    headers.vt = VT_BSTR;
    headers.bstrVal = headersText.get();
    VARIANT_BOOL cancel = VARIANT_FALSE;

    VARIANTARG args[7];
    VariantInit(&args[0]);
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    ByRefVariant(args[1], &headers);
    ByRefVariant(args[2], &postData);
    ByRefVariant(args[3], &target);
    ByRefVariant(args[4], &flags);
    ByRefVariant(args[5], &address);
    Dispatch(args[6], browser);
    point.fire(DISPID_BEFORENAVIGATE2, args, 7);
    return cancel != VARIANT_FALSE;
}

bool FireNewWindow2(ConnectionPoint& point, win32::ComPtr<IDispatch>& handed) {
    IDispatch* slot = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    VariantInit(&args[1]);
    args[1].vt = VT_DISPATCH | VT_BYREF;
    args[1].ppdispVal = &slot;
    point.fire(DISPID_NEWWINDOW2, args, 2);
    // Whatever a sink put into the slot carries a reference for us.
    handed.attach(slot);
    return cancel != VARIANT_FALSE;
}

void FireNavigateComplete2(ConnectionPoint& point, IDispatch* browser, const std::wstring& url) {
    FireBrowserAndUrl(point, DISPID_NAVIGATECOMPLETE2, browser, url);
}

void FireDocumentComplete(ConnectionPoint& point, IDispatch* browser, const std::wstring& url) {
    FireBrowserAndUrl(point, DISPID_DOCUMENTCOMPLETE, browser, url);
}

void FireTitleChange(ConnectionPoint& point, const std::wstring& title) {
    OwnedBstr text(title);
    VARIANTARG arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = text.get();
    point.fire(DISPID_TITLECHANGE, &arg, 1);
}

void FireDownloadBegin(ConnectionPoint& point) {
    point.fire(DISPID_DOWNLOADBEGIN, nullptr, 0);
}

void FireDownloadComplete(ConnectionPoint& point) {
    point.fire(DISPID_DOWNLOADCOMPLETE, nullptr, 0);
}

void FireWindowRequest(ConnectionPoint& point, const WindowRequest& request) {
    using Kind = WindowRequest::Kind;
    DISPID dispid = 0;
    switch (request.kind) {
        case Kind::Left:
            dispid = DISPID_WINDOWSETLEFT;
            break;
        case Kind::Top:
            dispid = DISPID_WINDOWSETTOP;
            break;
        case Kind::Width:
            dispid = DISPID_WINDOWSETWIDTH;
            break;
        case Kind::Height:
            dispid = DISPID_WINDOWSETHEIGHT;
            break;
        case Kind::ToolBar:
            dispid = DISPID_ONTOOLBAR;
            break;
        case Kind::MenuBar:
            dispid = DISPID_ONMENUBAR;
            break;
        case Kind::AddressBar:
            dispid = DISPID_ONADDRESSBAR;
            break;
        case Kind::StatusBar:
            dispid = DISPID_ONSTATUSBAR;
            break;
        case Kind::FullScreen:
            dispid = DISPID_ONFULLSCREEN;
            break;
        case Kind::Resizable:
            dispid = DISPID_WINDOWSETRESIZABLE;
            break;
    }
    VARIANTARG arg;
    VariantInit(&arg);
    if (request.isBar()) {
        arg.vt = VT_BOOL;
        arg.boolVal = request.value ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        arg.vt = VT_I4;
        arg.lVal = request.value;
    }
    point.fire(dispid, &arg, 1);
}

void FireOnQuit(ConnectionPoint& point) {
    point.fire(DISPID_ONQUIT, nullptr, 0);
}

VARIANT_BOOL FireHtmlEvent(ConnectionPoint& point, DISPID dispid, IDispatch* eventObject) {
    VARIANTARG arg;
    Dispatch(arg, eventObject);
    VARIANT result;
    VariantInit(&result);
    point.fire(dispid, &arg, 1, &result);
    VARIANT_BOOL answer = VARIANT_TRUE;
    if (result.vt == VT_BOOL) answer = result.boolVal;
    VariantClear(&result);
    return answer;
}

}  // namespace qm::lab
