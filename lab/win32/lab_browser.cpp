#include "lab/win32/lab_browser.h"

#include <mshtmdid.h>
#include <mshtml.h>
#include <olectl.h>

#include <new>

#include "common/win32/qi_table.h"
#include "lab/win32/browser_events.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_identity.h"
#include "lab/win32/lab_window.h"
#include "lab/trace_lines.h"
#include "lab/window_features.h"

namespace qm::lab {
namespace {

// DLCTL_NO_SCRIPTS of the browser's download-control flags.
constexpr DWORD kNoScripts = 0x80;
// DLCTL_NO_FRAMEDOWNLOAD: the frames of a page are not fetched.
constexpr DWORD kNoFrameDownload = 0x1000;

}  // namespace

win32::ComPtr<LabBrowser> LabBrowser::Create(Lab& lab, BrowserRole role, std::string label,
                                             LabBrowser* parent) {
    win32::ComPtr<LabBrowser> browser;
    browser.attach(new (std::nothrow) LabBrowser(lab, role, std::move(label), parent));
    return browser;
}

LabBrowser* LabBrowser::From(IUnknown* object) {
    return LabObjectBehind<LabBrowser, IWebBrowser2>(object, kLabBrowserIid);
}

LabBrowser::LabBrowser(Lab& lab, BrowserRole role, std::string label, LabBrowser* parent)
    : lab_(&lab), role_(role), label_(std::move(label)), parent_(parent) {
    events_ = ConnectionPoint::Create(DIID_DWebBrowserEvents2, this);
    lab.add(this);
}

LabBrowser::~LabBrowser() {
    shutdown();
    events_->detach();
}

HRESULT STDMETHODCALLTYPE LabBrowser::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IWebBrowser2>(this),
        win32::QiEntry<IWebBrowserApp>(this),
        win32::QiEntry<IWebBrowser>(this),
        {&IID_IDispatch, static_cast<IWebBrowser2*>(this)},
        win32::QiEntry<IConnectionPointContainer>(this),
        win32::QiEntry<IOleObject>(this),
        win32::QiEntry<IOleControl>(this),
        {&kLabBrowserIid, static_cast<IWebBrowser2*>(this)},
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

LabBrowser& LabBrowser::topLevel() {
    return parent_ ? parent_->topLevel() : *this;
}

ConnectionPoint& LabBrowser::events() {
    return parent_ ? parent_->topLevel().events() : *events_.get();
}

bool LabBrowser::scriptsAllowed() const {
    if (parent_) return parent_->scriptsAllowed();
    return (downloadControl_ & kNoScripts) == 0;
}

HWND LabBrowser::hostWindow() const {
    return host_ ? host_->hostWindow() : nullptr;
}

bool LabBrowser::framesAllowed() const {
    if (parent_) return parent_->framesAllowed();
    return (downloadControl_ & kNoFrameDownload) == 0;
}

void LabBrowser::cancelStep() {
    if (step_ && lab_) lab_->scheduler().cancel(step_);
    step_ = 0;
}

void LabBrowser::shutdown() {
    cancelStep();
    ++generation_;
    if (document_) {
        win32::ComPtr<LabDocument> gone = std::move(document_);
        gone->detach();
    }
    parent_ = nullptr;
    host_ = nullptr;
    if (lab_) {
        Lab* lab = lab_;
        lab_ = nullptr;
        lab->remove(this);
    }
}

void LabBrowser::navigate(const std::string& url) {
    if (!lab_ || quit_) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    cancelStep();
    unsigned generation = ++generation_;
    auto current = [this, generation] { return lab_ && generation == generation_; };
    lab_->trace().add(lines::Navigate(label_, url));
    if (FireBeforeNavigate2(events(), dispatch(), WideFrom(url), WideFrom(frameName_))) {
        if (!lab_) return;
        lab_->trace().add(lines::NavigationCancelled(label_, url));
        if (current() && url_.empty()) {
            // A new window whose first navigation was refused stays empty and complete.
            readyState_ = READYSTATE_COMPLETE;
            busy_ = false;
        }
        return;
    }
    if (!current()) return;
    busy_ = true;
    readyState_ = READYSTATE_LOADING;
    if (isTopLevel()) FireDownloadBegin(events());
    if (!current()) return;
    const PageSpec& page = lab_->page(url);
    step_ = lab_->scheduler().after(static_cast<unsigned>(page.loadMs), [this, url, generation] {
        step_ = 0;
        arrive(url, generation);
    });
}

bool LabBrowser::announceScriptAddress(const std::string& url) {
    if (!lab_ || quit_) return false;
    win32::ComPtr<LabBrowser> keepAlive(this);
    lab_->trace().add(lines::Navigate(label_, url));
    if (!FireBeforeNavigate2(events(), dispatch(), WideFrom(url), WideFrom(frameName_))) {
        return lab_ != nullptr;
    }
    if (lab_) lab_->trace().add(lines::NavigationCancelled(label_, url));
    return false;
}

void LabBrowser::arrive(const std::string& url, unsigned generation) {
    auto current = [this, generation] { return lab_ && generation == generation_; };
    if (!current()) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    const PageSpec& page = lab_->page(url);
    leavePage();
    if (!current()) return;
    url_ = url;
    document_ = LabDocument::Create(*this, page, url);
    win32::ComPtr<LabDocument> document = document_;
    readyState_ = READYSTATE_INTERACTIVE;
    lab_->trace().add(lines::PageShown(label_, url));
    if (host_) host_->pageChanged();
    FireNavigateComplete2(events(), dispatch(), WideFrom(url));
    if (!current()) return;
    loadFramesOf(*document.get());
    if (!current()) return;
    if (isTopLevel()) {
        if (document->hasTitle()) {
            lab_->trace().add(lines::Title(label_, document->title()));
            FireTitleChange(events(), WideFrom(document->title()));
            if (!current()) return;
        }
        if (!page.requests.empty()) fireRequests(page.requests);
        if (!current()) return;
        FireDownloadComplete(events());
        if (!current()) return;
    }
    document->runLoadScripts();
    if (!current() || page.neverReady) return;
    if (page.readyMs == 0) {
        complete(generation);
    } else {
        step_ = lab_->scheduler().after(static_cast<unsigned>(page.readyMs), [this, generation] {
            step_ = 0;
            complete(generation);
        });
    }
}

void LabBrowser::complete(unsigned generation) {
    auto current = [this, generation] { return lab_ && generation == generation_; };
    if (!current() || !document_) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    win32::ComPtr<LabDocument> document = document_;
    readyState_ = READYSTATE_COMPLETE;
    busy_ = false;
    document->windowLoaded();
    if (!current() || document_.get() != document.get()) return;
    lab_->trace().add(lines::PageLoaded(label_, url_));
    FireDocumentComplete(events(), dispatch(), WideFrom(url_));
}

void LabBrowser::loadFrame(const std::string& url) {
    if (!lab_) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    unsigned generation = ++generation_;
    auto current = [this, generation] { return lab_ && generation == generation_; };
    lab_->trace().add(lines::Navigate(label_, url));
    if (FireBeforeNavigate2(events(), dispatch(), WideFrom(url), WideFrom(frameName_))) {
        if (!lab_) return;
        lab_->trace().add(lines::NavigationCancelled(label_, url));
        readyState_ = READYSTATE_COMPLETE;
        return;
    }
    if (!current()) return;
    url_ = url;
    document_ = LabDocument::Create(*this, lab_->page(url), url);
    win32::ComPtr<LabDocument> document = document_;
    readyState_ = READYSTATE_INTERACTIVE;
    lab_->trace().add(lines::PageShown(label_, url));
    FireNavigateComplete2(events(), dispatch(), WideFrom(url));
    if (!current()) return;
    loadFramesOf(*document.get());
    if (!current()) return;
    document->runLoadScripts();
    if (!current()) return;
    readyState_ = READYSTATE_COMPLETE;
    document->windowLoaded();
    if (!current()) return;
    lab_->trace().add(lines::PageLoaded(label_, url));
    FireDocumentComplete(events(), dispatch(), WideFrom(url));
}

void LabBrowser::loadFramesOf(LabDocument& document) {
    // Told not to fetch frames, the browser leaves them empty: no events.
    if (!framesAllowed()) return;
    win32::ComPtr<LabDocument> keepAlive(&document);
    std::vector<win32::ComPtr<LabBrowser>> frames = document.frames();
    const std::vector<FrameSpec>& specs = document.page().frames;
    for (std::size_t i = 0; i < frames.size() && i < specs.size(); ++i) {
        if (!document.browser()) return;
        frames[i]->loadFrame(specs[i].url);
    }
}

void LabBrowser::startAsNewWindow(const std::string& url, const std::string& name,
                                  const std::string& features) {
    if (!lab_) return;
    windowName_ = name;
    if (!document_) {
        // Until its page arrives a new window shows an empty page.
        document_ = LabDocument::Create(*this, lab_->page("about:blank"), "about:blank");
        readyState_ = READYSTATE_COMPLETE;
    }
    if (role_ == BrowserRole::Application && !host_) {
        // A browser application shows itself as a window of its own.
        visible_ = true;
        lab_->trace().add(lines::CaptureShown(label_));
        lab_->showInOwnWindow(*this);
    }
    win32::ComPtr<LabBrowser> self(this);
    unsigned generation = generation_;
    lab_->scheduler().after(0, [self, url, features, generation] {
        if (!self->lab_ || self->generation_ != generation || self->quit_) return;
        std::vector<WindowRequest> requests = RequestsFromFeatures(features);
        if (!requests.empty()) self->fireRequests(requests);
        if (!url.empty()) self->navigate(url);
    });
}

void LabBrowser::fireRequests(const std::vector<WindowRequest>& requests) {
    if (!lab_) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    lab_->trace().add(lines::Requests(label_, requests));
    for (const WindowRequest& request : requests) FireWindowRequest(events(), request);
    // A window of its own takes the place and size asked for, as the browser's does.
    HWND window = hostWindow();
    if (!window || role_ == BrowserRole::Main) return;
    RECT r;
    GetWindowRect(window, &r);
    int edges[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    for (const WindowRequest& request : requests) {
        if (!request.isBar()) edges[static_cast<int>(request.kind)] = request.value;
    }
    SetWindowPos(window, nullptr, edges[0], edges[1], edges[2], edges[3],
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void LabBrowser::leavePage() {
    if (!document_) return;
    win32::ComPtr<LabBrowser> keepAlive(this);
    win32::ComPtr<LabDocument> old = document_;
    if (lab_ && !url_.empty()) lab_->trace().add(lines::PageLeft(label_, url_));
    old->unload();
    if (document_.get() == old.get()) document_.reset();
    old->detach();
}

HRESULT STDMETHODCALLTYPE LabBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (!lab_) return E_FAIL;
    navigate(AnsiFrom(url));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*,
                                                VARIANT*) {
    if (!url) return E_INVALIDARG;
    VARIANT* value = url->vt == (VT_VARIANT | VT_BYREF) ? url->pvarVal : url;
    if (!value || value->vt != VT_BSTR) return E_INVALIDARG;
    return Navigate(value->bstrVal, nullptr, nullptr, nullptr, nullptr);
}

HRESULT STDMETHODCALLTYPE LabBrowser::Stop() {
    cancelStep();
    ++generation_;
    busy_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Application(IDispatch** out) {
    return ReturnInterface(out, dispatch());
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Parent(IDispatch** out) {
    return ReturnInterface(out, topLevel().dispatch());
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Document(IDispatch** out) {
    return ReturnInterface<IDispatch>(
        out, document_ ? static_cast<IHTMLDocument2*>(document_.get()) : nullptr);
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_TopLevelContainer(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = isTopLevel() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Type(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!document_) return E_FAIL;
    return ReturnBstr(out, document_->page().type);
}

HRESULT LabBrowser::setWindowEdge(int which, LONG value) {
    HWND window = hostWindow();
    if (!window) return E_FAIL;
    RECT r;
    GetWindowRect(window, &r);
    int left = r.left, top = r.top, width = r.right - r.left, height = r.bottom - r.top;
    switch (which) {
        case 0:
            left = value;
            break;
        case 1:
            top = value;
            break;
        case 2:
            width = value;
            break;
        default:
            height = value;
            break;
    }
    SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (lab_ && which >= 2) {
        GetWindowRect(window, &r);
        lab_->trace().add(lines::BrowserSize(r.right - r.left, r.bottom - r.top, "caller"));
    }
    return S_OK;
}

namespace {

HRESULT WindowEdge(HWND window, int which, LONG* out) {
    if (!out) return E_POINTER;
    *out = 0;
    if (!window) return E_FAIL;
    RECT r;
    GetWindowRect(window, &r);
    const LONG values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    *out = values[which];
    return S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE LabBrowser::get_Left(LONG* out) {
    return WindowEdge(hostWindow(), 0, out);
}
HRESULT STDMETHODCALLTYPE LabBrowser::put_Left(LONG value) {
    return setWindowEdge(0, value);
}
HRESULT STDMETHODCALLTYPE LabBrowser::get_Top(LONG* out) {
    return WindowEdge(hostWindow(), 1, out);
}
HRESULT STDMETHODCALLTYPE LabBrowser::put_Top(LONG value) {
    return setWindowEdge(1, value);
}
HRESULT STDMETHODCALLTYPE LabBrowser::get_Width(LONG* out) {
    return WindowEdge(hostWindow(), 2, out);
}
HRESULT STDMETHODCALLTYPE LabBrowser::put_Width(LONG value) {
    return setWindowEdge(2, value);
}
HRESULT STDMETHODCALLTYPE LabBrowser::get_Height(LONG* out) {
    return WindowEdge(hostWindow(), 3, out);
}
HRESULT STDMETHODCALLTYPE LabBrowser::put_Height(LONG value) {
    return setWindowEdge(3, value);
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_LocationName(BSTR* out) {
    bool titled = document_ && document_->hasTitle();
    return ReturnBstr(out, titled ? document_->title() : url_);
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_LocationURL(BSTR* out) {
    return ReturnBstr(out, url_);
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Busy(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = busy_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::Quit() {
    if (quit_) return S_OK;
    win32::ComPtr<LabBrowser> keepAlive(this);
    quit_ = true;
    cancelStep();
    ++generation_;
    busy_ = false;
    if (!lab_) return S_OK;
    lab_->trace().add(lines::Quit(label_));
    FireOnQuit(events());
    leavePage();
    if (lab_ && host_) lab_->closeOwnWindowOf(*this);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_HWND(SHANDLE_PTR* out) {
    if (!out) return E_POINTER;
    *out = reinterpret_cast<SHANDLE_PTR>(hostWindow());
    return *out ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_Visible(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = (visible_ || role_ == BrowserRole::Main) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::put_Visible(VARIANT_BOOL value) {
    visible_ = value != VARIANT_FALSE;
    if (visible_ && role_ == BrowserRole::Application && !host_ && lab_ && !quit_) {
        lab_->trace().add(lines::CaptureShown(label_));
        lab_->showInOwnWindow(*this);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::get_ReadyState(READYSTATE* out) {
    if (!out) return E_POINTER;
    *out = readyState_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT*) {
    if (!clsid || clsid->vt != VT_BSTR) return E_INVALIDARG;
    bool shown = true;
    if (show && show->vt == VT_BOOL) shown = show->boolVal != VARIANT_FALSE;
    if (!host_) return E_FAIL;
    return host_->showBrowserBar(clsid->bstrVal ? clsid->bstrVal : L"", shown);
}

HRESULT STDMETHODCALLTYPE LabBrowser::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE LabBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    return FindIn({events_}, iid, out);
}

HRESULT STDMETHODCALLTYPE LabBrowser::SetClientSite(IOleClientSite* site) {
    clientSite_ = win32::ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::GetClientSite(IOleClientSite** out) {
    return ReturnInterface(out, clientSite_.get());
}

HRESULT STDMETHODCALLTYPE LabBrowser::GetUserClassID(CLSID* out) {
    if (!out) return E_POINTER;
    *out = role_ == BrowserRole::Application ? CLSID_InternetExplorer : CLSID_WebBrowser;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::SetExtent(DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::GetExtent(DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabBrowser::OnAmbientPropertyChange(DISPID dispid) {
    if (dispid != DISPID_AMBIENT_DLCONTROL && dispid != DISPID_UNKNOWN) return S_OK;
    win32::ComPtr<IDispatch> ambient = clientSite_.as<IDispatch>();
    if (!ambient) return S_OK;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = ambient->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    VARIANT flags;
    VariantInit(&flags);
    if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&flags, &result, 0, VT_I4))) {
        downloadControl_ = static_cast<DWORD>(flags.lVal);
        if (lab_) lab_->trace().add(lines::DownloadControl(label_, downloadControl_));
    }
    VariantClear(&result);
    return S_OK;
}

}  // namespace qm::lab
