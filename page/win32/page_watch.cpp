#include "page/win32/page_watch.h"

#include <exdispid.h>

#include "common/win32/bstr.h"
#include "page/win32/dom.h"
#include "page/win32/unload_handlers.h"

namespace qm {

using win32::Bstr;
using win32::ComPtr;

namespace {
constexpr std::uint32_t kSinkRetryMs = 500;
}

PageWatch::PageWatch(Guard& guard, const Settings& settings, PageHost& host)
    : guard_(guard),
      host_(host),
      clicks_(guard, settings, host),
      neutralizer_(settings, host, *this) {}

// The band's timers and guard may already be gone: only the sinks are let go.
PageWatch::~PageWatch() {
    DropAllSinks();
}

bool PageWatch::Connect(IWebBrowser2* browser) {
    DropAllSinks();
    if (!browser) return false;
    mainSink_ = SinkHtml::Create(PageOwner(), browser);
    if (!mainSink_) return false;
    topBrowser_ = ComPtr<IWebBrowser2>(browser);
    mainSink_->EnableEvents({DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW2, DISPID_NAVIGATECOMPLETE2,
                             DISPID_BEFORENAVIGATE2});
    mainSink_->AdviseBrowser(browser);
    host_.StartTimer(IDT_SINKHTML, kSinkRetryMs);
    return true;
}

void PageWatch::Teardown() {
    DropAllSinks();
    // The band window may outlive its site: none of our timers may tick on.
    host_.KillTimer(IDT_SINKHTML);
    host_.KillTimer(IDT_CLEARONUNLOAD);
    guard_.CloseClickWindow();
    topBrowser_.reset();
}

void PageWatch::DropAllSinks() {
    if (mainSink_) mainSink_->UnadviseBrowser();
    DropFrameSinks();
    DropWindowSink();
    DropDocumentSink(mainSink_, true);
}

bool PageWatch::OnTimer(std::uint32_t id) {
    switch (id) {
        case IDT_CLICKWINDOW:
            clicks_.ClickWindowExpired();
            return true;
        case IDT_SINKHTML:
            if (SinkDocuments()) host_.KillTimer(IDT_SINKHTML);
            return true;
        case IDT_CLEARONUNLOAD:
            neutralizer_.OnTimer();
            return true;
    }
    return false;
}

bool PageWatch::SinkDocuments() {
    if (!topBrowser_ || !mainSink_) return false;
    mainSink_->UnadviseDocument();
    // The frames of the page left, or of this page sunk once already, are
    // let go before the frames shown now are connected.
    DropFrameSinks();
    ComPtr<IDispatch> current;
    if (FAILED(topBrowser_->get_Document(current.put()))) return false;
    ComPtr<IHTMLDocument2> document = current.as<IHTMLDocument2>();
    if (!document) return false;
    mainSink_->AdviseDocument(document.get());
    SinkFramesOf(document.get());
    return true;
}

void PageWatch::SinkFramesOf(IHTMLDocument2* document) {
    ComPtr<IHTMLFramesCollection2> frames;
    LONG length = 0;
    if (FAILED(document->get_frames(frames.put())) || !frames ||
        FAILED(frames->get_length(&length))) {
        return;
    }
    for (LONG i = 0; i < length; ++i) {
        win32::Variant index;
        V_VT(index.get()) = VT_I4;
        V_I4(index.get()) = i;
        win32::Variant item;
        if (FAILED(frames->item(index.get(), item.get())) || V_VT(item.get()) != VT_DISPATCH ||
            !V_DISPATCH(item.get())) {
            continue;
        }
        ComPtr<IHTMLWindow2> window;
        V_DISPATCH(item.get())->QueryInterface(IID_IHTMLWindow2, window.putVoid());
        if (window) SinkFrame(window.get(), topBrowser_.get());
    }
}

void PageWatch::SinkFrame(IHTMLWindow2* window, IWebBrowser2* browser) {
    // A frame of another domain refuses its document and gets no sink.
    ComPtr<IHTMLDocument2> document = DocumentOf(window);
    if (!document) return;
    ComPtr<SinkHtml> sink = SinkHtml::Create(PageOwner(), browser);
    if (!sink) return;
    sink->EnableEvents({DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW2});
    sink->AdviseDocument(document.get());
    frameSinks_.push_back(std::move(sink));
    SinkFramesOf(document.get());
}

void PageWatch::DropDocumentSink(ComPtr<SinkHtml>& sink, bool release) {
    if (!sink) return;
    sink->UnadviseDocument();
    if (release) {
        sink->Detach();
        sink.reset();
    }
}

void PageWatch::DropFrameSinks() {
    // A frame document that refuses to let go still holds its sink, which
    // then reaches nobody.
    for (ComPtr<SinkHtml>& sink : frameSinks_) {
        sink->UnadviseDocument();
        sink->Detach();
    }
    frameSinks_.clear();
}

void PageWatch::DropWindowSink() {
    if (!windowSink_) return;
    windowSink_->UnadviseWindow();
    windowSink_->Detach();
    windowSink_.reset();
}

void PageWatch::SetPendingWindow(IDispatch* window) {
    if (mainSink_) mainSink_->PendingWindow = ComPtr<IDispatch>(window);
}

NewWindowOutcome PageWatch::OnNewWindow2() {
    return guard_.OnNewWindow2().outcome;
}

void PageWatch::OnBeforeNavigate2() {
    guard_.OnBeforeNavigate2();
}

void PageWatch::SinkWindow(IDispatch* dispatch, std::wstring_view) {
    ComPtr<IWebBrowser2> browser;
    if (dispatch) dispatch->QueryInterface(IID_IWebBrowser2, browser.putVoid());
    if (!browser) return;
    // A plain-text or image view keeps the window sink of the last HTML page.
    Bstr type;
    if (FAILED(browser->get_Type(type.put())) || type.str() != L"HTML Document") return;
    if (!SameObject(browser.get(), topBrowser_.get())) return;
    ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(browser.get()).get());
    if (!window) return;
    DropWindowSink();
    windowSink_ = SinkHtml::Create(PageOwner(), topBrowser_.get());
    if (windowSink_) windowSink_->AdviseWindow(window.get());
}

void PageWatch::OnDocumentComplete() {
    SinkDocuments();
    ScheduleUnloadNeutralizer();
}

void PageWatch::WindowLoaded() {
    neutralizer_.WindowLoaded();
}

void PageWatch::ScheduleUnloadNeutralizer() {
    neutralizer_.ScheduleUnloadNeutralizer();
}

bool PageWatch::IsBusy() {
    VARIANT_BOOL busy = VARIANT_FALSE;
    return topBrowser_ && SUCCEEDED(topBrowser_->get_Busy(&busy)) && busy != VARIANT_FALSE;
}

bool PageWatch::ClearDocument() {
    ComPtr<IHTMLDocument2> document = DocumentOf(topBrowser_.get());
    return document && ClearUnloadHandlers(document.get());
}

}  // namespace qm
