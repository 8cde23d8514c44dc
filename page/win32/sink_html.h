#pragma once
// sinkHTML: the DLL's one event sink. Three parts, each its own dispatch
// sink with its own connection cookie, hear the browser (DWebBrowserEvents2),
// a document (HTMLDocumentEvents2) and a window (HTMLWindowEvents2); what
// they hear goes to the sink's owner: the band's page or a capture browser.

#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include <array>
#include <cstdint>
#include <initializer_list>

#include "common/win32/com_ptr.h"
#include "common/win32/memberless_dispatch.h"
#include "common/win32/module_lock.h"
#include "page/win32/com_ids.h"
#include "page/win32/sink_targets.h"

namespace qm {

class SinkHtml final : public win32::MemberlessDispatch<IsinkHTML> {
public:
    // A new sink with one reference, held by the result; null without memory.
    static win32::ComPtr<SinkHtml> Create(const SinkOwner& owner, IWebBrowser2* browser);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Browser events are ignored unless enabled.
    void EnableEvents(std::initializer_list<DISPID> events);
    bool IsEnabled(DISPID event) const;

    // Each part is connected to one event source at a time.
    bool AdviseBrowser(IUnknown* browser) { return browserPart_.Advise(browser); }
    void UnadviseBrowser() { browserPart_.Unadvise(); }
    bool AdviseDocument(IUnknown* document) { return documentPart_.Advise(document); }
    void UnadviseDocument() { documentPart_.Unadvise(); }
    bool AdviseWindow(IUnknown* window) { return windowPart_.Advise(window); }
    void UnadviseWindow() { windowPart_.Unadvise(); }
    DWORD BrowserCookie() const { return browserPart_.Cookie(); }
    DWORD DocumentCookie() const { return documentPart_.Cookie(); }
    DWORD WindowCookie() const { return windowPart_.Cookie(); }

    // The owner lets go: from now on nothing the sink hears reaches anyone.
    void Detach();

    SinkOwner Owner;
    // The browser whose own events count (frames' do not); not counted.
    IWebBrowser2* Browser = nullptr;
    // The element under this sink's last press.
    win32::ComPtr<IHTMLElement> MouseDownElement;
    // The main sink's hand-over: the capture's browser object for the new window.
    win32::ComPtr<IDispatch> PendingWindow;

private:
    using Handler = HRESULT (SinkHtml::*)(DISPID, DISPPARAMS*, VARIANT*);

    // One outgoing interface: its own IDispatch, counted on the sink.
    class Part final : public win32::MemberlessDispatch<IDispatch> {
    public:
        Part(SinkHtml& outer, const IID& events, Handler handler)
            : outer_(outer), events_(events), handler_(handler) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                         UINT* argError) override;

        // Keeps the connection point until Unadvise.
        bool Advise(IUnknown* source);
        void Unadvise();
        DWORD Cookie() const { return cookie_; }

    private:
        SinkHtml& outer_;
        const IID& events_;
        Handler handler_;
        win32::ComPtr<IConnectionPoint> point_;
        DWORD cookie_ = 0;
    };

    SinkHtml(const SinkOwner& owner, IWebBrowser2* browser);
    ~SinkHtml() = default;

    HRESULT OnBrowserEvent(DISPID id, DISPPARAMS* params, VARIANT* result);
    HRESULT OnDocumentEvent(DISPID id, DISPPARAMS* params, VARIANT* result);
    HRESULT OnWindowEvent(DISPID id, DISPPARAMS* params, VARIANT* result);
    bool IsOwnBrowser(IDispatch* browser) const;
    void RoutePageBrowserEvent(PageEventTarget& page, DISPID id, DISPPARAMS* params);
    void RouteCaptureBrowserEvent(CaptureEventTarget& capture, DISPID id, DISPPARAMS* params);

    void MouseDown(PageEventTarget& page, IDispatch* event);
    void MouseUp(PageEventTarget& page, IDispatch* event);
    void ContextMenu(PageEventTarget& page, IDispatch* event);
    void MouseOver(PageEventTarget& page, IDispatch* event);
    void BeforeActivate(PageEventTarget& page);

    PageEventTarget* Page() const;
    CaptureEventTarget* CaptureTarget() const;

    LONG refs_ = 0;
    win32::ModuleLock moduleLock_;
    Part browserPart_;
    Part documentPart_;
    Part windowPart_;
    // One flag per routed browser event, in the order of kRoutedEvents.
    std::array<std::int32_t, 18> enabled_{};
};

}  // namespace qm
