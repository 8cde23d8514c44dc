#include "page/win32/sink_html.h"

#include <exdispid.h>

#include <new>
#include <string>

#include "common/win32/bstr.h"
#include "common/win32/qi_table.h"
#include "page/click_detector.h"
#include "page/win32/dispatch_args.h"
#include "page/win32/dom.h"
#include "page/element_tags.h"

namespace qm {
namespace {

using win32::Bstr;
using win32::ComPtr;

// The page events the sink follows (HTMLDocumentEvents2, HTMLWindowEvents2).
constexpr DISPID kOnMouseDown = -605;
constexpr DISPID kOnMouseUp = -607;
constexpr DISPID kOnClick = -600;
constexpr DISPID kOnContextMenu = 1023;
constexpr DISPID kOnMouseOver = static_cast<DISPID>(0x80010008);
constexpr DISPID kOnMouseOut = static_cast<DISPID>(0x80010009);
constexpr DISPID kOnBeforeActivate = 1047;
constexpr DISPID kOnLoad = 1003;

// The browser events whose enable flags the sink keeps.
constexpr DISPID kRoutedEvents[] = {
    DISPID_BEFORENAVIGATE2,  DISPID_NEWWINDOW2,       DISPID_NAVIGATECOMPLETE2,
    DISPID_DOCUMENTCOMPLETE, DISPID_TITLECHANGE,      DISPID_PROPERTYCHANGE,
    DISPID_DOWNLOADBEGIN,    DISPID_DOWNLOADCOMPLETE, DISPID_WINDOWSETHEIGHT,
    DISPID_WINDOWSETWIDTH,   DISPID_WINDOWSETLEFT,    DISPID_WINDOWSETTOP,
    DISPID_ONTOOLBAR,        DISPID_ONMENUBAR,        DISPID_ONSTATUSBAR,
    DISPID_ONFULLSCREEN,     DISPID_ONADDRESSBAR,     DISPID_WINDOWSETRESIZABLE,
};

int RoutedIndex(DISPID event) {
    for (int i = 0; i < static_cast<int>(std::size(kRoutedEvents)); ++i) {
        if (kRoutedEvents[i] == event) return i;
    }
    return -1;
}

// The window requests of a captured page, and whether each carries a
// number (geometry) or a browser boolean (bars).
struct ReportEvent {
    DISPID id;
    WindowReport report;
    bool isNumber;
};
constexpr ReportEvent kReportEvents[] = {
    {DISPID_WINDOWSETLEFT, WindowReport::Left, true},
    {DISPID_WINDOWSETTOP, WindowReport::Top, true},
    {DISPID_WINDOWSETWIDTH, WindowReport::Width, true},
    {DISPID_WINDOWSETHEIGHT, WindowReport::Height, true},
    {DISPID_ONTOOLBAR, WindowReport::ToolBar, false},
    {DISPID_ONMENUBAR, WindowReport::MenuBar, false},
    {DISPID_ONADDRESSBAR, WindowReport::AddressBar, false},
    {DISPID_ONSTATUSBAR, WindowReport::StatusBar, false},
    {DISPID_ONFULLSCREEN, WindowReport::FullScreen, false},
    {DISPID_WINDOWSETRESIZABLE, WindowReport::Resizable, false},
};

// An href as text, whatever type the page gives it in.
std::wstring HrefOf(IHTMLElement* link, bool* read) {
    win32::Variant value;
    Bstr name(L"href");
    *read = name.get() && SUCCEEDED(link->getAttribute(name.get(), 0, value.get()));
    if (!*read) return {};
    if (V_VT(value.get()) == VT_BSTR) return ArgText(value.get());
    win32::Variant text;
    if (FAILED(VariantChangeType(text.get(), value.get(), 0, VT_BSTR))) return {};
    return ArgText(text.get());
}

}  // namespace

ComPtr<SinkHtml> SinkHtml::Create(const SinkOwner& owner, IWebBrowser2* browser) {
    return ComPtr<SinkHtml>(new (std::nothrow) SinkHtml(owner, browser));
}

SinkHtml::SinkHtml(const SinkOwner& owner, IWebBrowser2* browser)
    : Owner(owner),
      Browser(browser),
      browserPart_(*this, DIID_DWebBrowserEvents2, &SinkHtml::OnBrowserEvent),
      documentPart_(*this, DIID_HTMLDocumentEvents2, &SinkHtml::OnDocumentEvent),
      windowPart_(*this, DIID_HTMLWindowEvents2, &SinkHtml::OnWindowEvent) {}

HRESULT STDMETHODCALLTYPE SinkHtml::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IsinkHTML>(this, IID_IsinkHTML),
        win32::QiEntry<IsinkHTML>(this, IID_IDispatch),
        win32::QiEntry<IDispatch>(&browserPart_, DIID_DWebBrowserEvents2),
        win32::QiEntry<IDispatch>(&documentPart_, DIID_HTMLDocumentEvents2),
        win32::QiEntry<IDispatch>(&windowPart_, DIID_HTMLWindowEvents2),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

ULONG STDMETHODCALLTYPE SinkHtml::AddRef() {
    return InterlockedIncrement(&refs_);
}

ULONG STDMETHODCALLTYPE SinkHtml::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

void SinkHtml::EnableEvents(std::initializer_list<DISPID> events) {
    for (DISPID event : events) {
        int index = RoutedIndex(event);
        if (index >= 0) enabled_[index] = 1;
    }
}

bool SinkHtml::IsEnabled(DISPID event) const {
    int index = RoutedIndex(event);
    return index >= 0 && enabled_[index] != 0;
}

void SinkHtml::Detach() {
    Owner.Band = nullptr;
    Owner.Capture = nullptr;
    Browser = nullptr;
    MouseDownElement.reset();
    PendingWindow.reset();
}

PageEventTarget* SinkHtml::Page() const {
    return Owner.Kind == SinkOwner::PageKind ? Owner.Band : nullptr;
}

CaptureEventTarget* SinkHtml::CaptureTarget() const {
    return Owner.Kind == SinkOwner::CaptureKind ? Owner.Capture : nullptr;
}

bool SinkHtml::IsOwnBrowser(IDispatch* browser) const {
    return !Browser || SameObject(browser, Browser);
}

HRESULT SinkHtml::OnBrowserEvent(DISPID id, DISPPARAMS* params, VARIANT*) {
    if (!IsEnabled(id)) return S_OK;
    // Frames complete too; only the browser's own page counts.
    if ((id == DISPID_DOCUMENTCOMPLETE || id == DISPID_NAVIGATECOMPLETE2) &&
        !IsOwnBrowser(ArgDispatch(EventArg(params, 0)))) {
        return S_OK;
    }
    if (PageEventTarget* page = Page()) {
        RoutePageBrowserEvent(*page, id, params);
    } else if (CaptureEventTarget* capture = CaptureTarget()) {
        RouteCaptureBrowserEvent(*capture, id, params);
    }
    return S_OK;
}

void SinkHtml::RoutePageBrowserEvent(PageEventTarget& page, DISPID id, DISPPARAMS* params) {
    switch (id) {
        case DISPID_BEFORENAVIGATE2:
            page.OnBeforeNavigate2();
            break;
        case DISPID_NEWWINDOW2: {
            IDispatch** window = ArgDispatchSlot(EventArg(params, 0));
            VARIANT_BOOL* cancel = ArgBoolSlot(EventArg(params, 1));
            PendingWindow.reset();
            NewWindowOutcome outcome = page.OnNewWindow2();
            if (outcome == NewWindowOutcome::Cancelled && cancel) *cancel = VARIANT_TRUE;
            // The browser takes over the reference the hand-over field held.
            if (outcome == NewWindowOutcome::Captured && window && PendingWindow) {
                *window = PendingWindow.detach();
            }
            PendingWindow.reset();
            break;
        }
        case DISPID_NAVIGATECOMPLETE2:
            page.SinkWindow(ArgDispatch(EventArg(params, 0)), ArgText(EventArg(params, 1)));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            page.OnDocumentComplete();
            break;
    }
}

void SinkHtml::RouteCaptureBrowserEvent(CaptureEventTarget& capture, DISPID id,
                                        DISPPARAMS* params) {
    switch (id) {
        case DISPID_BEFORENAVIGATE2: {
            VARIANT_BOOL* cancel = ArgBoolSlot(EventArg(params, 6));
            if (capture.OnCaptureBeforeNavigate(ArgText(EventArg(params, 1))) && cancel) {
                *cancel = VARIANT_TRUE;
            }
            return;
        }
        case DISPID_NAVIGATECOMPLETE2:
            capture.OnCaptureNavigateComplete(ArgText(EventArg(params, 1)));
            return;
        case DISPID_TITLECHANGE:
            capture.OnCaptureTitleChange(ArgText(EventArg(params, 0)));
            return;
        case DISPID_DOWNLOADCOMPLETE:
            capture.OnCaptureDownloadComplete();
            return;
    }
    for (const ReportEvent& event : kReportEvents) {
        if (event.id != id) continue;
        const VARIANT* arg = EventArg(params, 0);
        if (event.isNumber) {
            if (auto value = ArgLong(arg)) capture.OnCaptureWindowReport(event.report, *value);
        } else if (auto value = ArgBool(arg)) {
            capture.OnCaptureWindowReport(event.report, *value);
        }
        return;
    }
}

HRESULT SinkHtml::OnDocumentEvent(DISPID id, DISPPARAMS* params, VARIANT* result) {
    PageEventTarget* page = Page();
    IDispatch* event = ArgDispatch(EventArg(params, 0));
    switch (id) {
        case kOnMouseDown:
            if (page) MouseDown(*page, event);
            SetBoolResult(result, true);
            break;
        case kOnMouseUp:
            if (page) MouseUp(*page, event);
            SetBoolResult(result, true);
            break;
        case kOnClick:
            if (page) page->Clicks().Click();
            SetBoolResult(result, true);
            break;
        case kOnContextMenu:
            if (page) ContextMenu(*page, event);
            // The menu itself is never suppressed.
            SetBoolResult(result, true);
            break;
        case kOnMouseOver:
            if (page) MouseOver(*page, event);
            break;
        case kOnMouseOut:
            if (page) page->Clicks().MouseOut();
            break;
        case kOnBeforeActivate:
            if (page) BeforeActivate(*page);
            break;
    }
    return S_OK;
}

HRESULT SinkHtml::OnWindowEvent(DISPID id, DISPPARAMS*, VARIANT*) {
    if (id == kOnLoad) {
        if (PageEventTarget* page = Page()) page->WindowLoaded();
    }
    return S_OK;
}

void SinkHtml::MouseDown(PageEventTarget& page, IDispatch* event) {
    if (!page.Clicks().MouseDown()) return;
    ComPtr<IHTMLEventObj> object = EventObjectOf(event);
    if (object) MouseDownElement = SourceElementOf(object.get());
}

void SinkHtml::MouseUp(PageEventTarget& page, IDispatch* event) {
    ClickDetector& clicks = page.Clicks();
    if (!clicks.TracksReleases()) return;
    ComPtr<IHTMLEventObj> object = EventObjectOf(event);
    // Each sink compares with its own press: a press in one frame and a
    // release in another is no click.
    bool same = object && SameObject(SourceElementOf(object.get()).get(), MouseDownElement.get());
    clicks.MouseUp(same);
    MouseDownElement.reset();
}

void SinkHtml::ContextMenu(PageEventTarget& page, IDispatch* event) {
    ComPtr<IHTMLElement> element = SourceElementOf(EventObjectOf(event).get());
    if (!element) return;
    Bstr tag;
    if (FAILED(element->get_tagName(tag.put()))) return;
    bool onLink = WalkToEnclosingLink(
        element, tag.str(), [](const ComPtr<IHTMLElement>& e) { return TagNameOf(e.get()); },
        [](const ComPtr<IHTMLElement>& e) { return ParentOf(e.get()); });
    bool read = false;
    std::wstring href = onLink ? HrefOf(element.get(), &read) : std::wstring();
    page.Clicks().ContextMenu(read ? &href : nullptr);
}

void SinkHtml::MouseOver(PageEventTarget& page, IDispatch* event) {
    ComPtr<IHTMLEventObj> object = EventObjectOf(event);
    if (!object) return;
    page.Clicks().MouseOver(TagNameOf(SourceElementOf(object.get()).get()));
}

// Asks the page for its current event rather than using the one delivered.
void SinkHtml::BeforeActivate(PageEventTarget& page) {
    ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(Browser).get());
    if (!window) return;
    ComPtr<IHTMLEventObj> event;
    if (FAILED(window->get_event(event.put())) || !event) return;
    if (IsBodyTag(TagNameOf(SourceElementOf(event.get()).get()))) page.ScheduleUnloadNeutralizer();
}

HRESULT STDMETHODCALLTYPE SinkHtml::Part::QueryInterface(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // IUnknown is the sink's, so every part shares its identity.
    if (IsEqualIID(iid, IID_IUnknown)) return outer_.QueryInterface(iid, ppv);
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
        AddRef();
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return outer_.QueryInterface(iid, ppv);
}

HRESULT STDMETHODCALLTYPE SinkHtml::Part::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO*, UINT*) {
    // A handler may drop the last other reference to this sink.
    ComPtr<SinkHtml> hold(&outer_);
    return (outer_.*handler_)(id, params, result);
}

bool SinkHtml::Part::Advise(IUnknown* source) {
    Unadvise();
    if (!source) return false;
    ComPtr<IConnectionPointContainer> container;
    source->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    ComPtr<IConnectionPoint> point;
    if (!container || FAILED(container->FindConnectionPoint(events_, point.put())) || !point) {
        return false;
    }
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie)) || !cookie) return false;
    cookie_ = cookie;
    point_ = std::move(point);
    return true;
}

void SinkHtml::Part::Unadvise() {
    if (cookie_ && point_) point_->Unadvise(cookie_);
    point_.reset();
    cookie_ = 0;
}

}  // namespace qm
