#pragma once
// The band's page side: its sinks on the browser, the documents, the frames
// and the window; click detection; the unload neutralizer. The band owns
// one, delivers the band window's timers to it and tears it down when it
// leaves its site.

#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/win32/com_ptr.h"
#include "guard/guard.h"
#include "page/click_detector.h"
#include "page/page_host.h"
#include "page/win32/sink_html.h"
#include "page/win32/sink_targets.h"
#include "page/unload_neutralizer.h"
#include "settings/settings.h"

namespace qm {

class PageWatch final : public PageEventTarget, private NeutralizerPage {
public:
    PageWatch(Guard& guard, const Settings& settings, PageHost& host);
    ~PageWatch();
    PageWatch(const PageWatch&) = delete;
    PageWatch& operator=(const PageWatch&) = delete;

    // The band was sited: the main sink hears `browser` and IDT_SINKHTML
    // starts connecting the documents. False when no sink could be made.
    bool Connect(IWebBrowser2* browser);
    // The band leaves its site: every sink is disconnected or detached and
    // released; no event reaches the band afterwards.
    void Teardown();
    // A tick of the band window; false for timers that are not ours.
    bool OnTimer(std::uint32_t id);

    // Connects the main sink to the top-level document and sinks its frames.
    bool SinkDocuments();
    void SinkFrame(IHTMLWindow2* window, IWebBrowser2* browser);
    void DropDocumentSink(win32::ComPtr<SinkHtml>& sink, bool release);
    void DropFrameSinks();
    void DropWindowSink();

    // The capture object made for the pending new window hands its browser
    // object over here.
    void SetPendingWindow(IDispatch* window);

    SinkHtml* MainSink() const { return mainSink_.get(); }
    SinkHtml* WindowSink() const { return windowSink_.get(); }
    std::size_t FrameSinkCount() const { return frameSinks_.size(); }
    UnloadNeutralizer& Neutralizer() { return neutralizer_; }

    // PageEventTarget
    NewWindowOutcome OnNewWindow2() override;
    void OnBeforeNavigate2() override;
    void SinkWindow(IDispatch* browser, std::wstring_view url) override;
    void OnDocumentComplete() override;
    void WindowLoaded() override;
    void ScheduleUnloadNeutralizer() override;
    ClickDetector& Clicks() override { return clicks_; }

private:
    // NeutralizerPage
    bool IsBusy() override;
    bool ClearDocument() override;

    void SinkFramesOf(IHTMLDocument2* document);
    void DropAllSinks();
    SinkOwner PageOwner() { return SinkOwner{SinkOwner::PageKind, this, nullptr}; }

    Guard& guard_;
    PageHost& host_;
    ClickDetector clicks_;
    UnloadNeutralizer neutralizer_;
    win32::ComPtr<IWebBrowser2> topBrowser_;
    win32::ComPtr<SinkHtml> mainSink_;
    // One per frame document of the page shown, each holding its document's
    // connection point until the next page is connected or the band leaves.
    std::vector<win32::ComPtr<SinkHtml>> frameSinks_;
    win32::ComPtr<SinkHtml> windowSink_;
};

}  // namespace qm
