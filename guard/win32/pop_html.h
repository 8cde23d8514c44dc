#pragma once
// popHTML: the capture object. A captured popup loads into a browser of the
// band's own (a hidden browser control at full protection, a watched
// browser application window at "Record Only"); its events fill the
// popup's record until the page is complete or its time is up, and then the
// capture hands itself to the decision engine to be recorded or reopened.

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>
#include <string_view>

#include "common/win32/com_ptr.h"
#include "common/win32/memberless_dispatch.h"
#include "common/win32/module_lock.h"
#include "guard/capture.h"
#include "guard/guard.h"
#include "guard/popup_record.h"
#include "guard/readiness_watch.h"
#include "page/win32/com_ids.h"
#include "page/win32/sink_html.h"
#include "page/win32/sink_targets.h"
#include "settings/settings.h"

namespace qm {

// What a capture needs of the band that makes it.
struct CaptureBand {
    Guard& guard;
    const Settings& settings;
    // The band's top-level browser: the page that opened the popup.
    IWebBrowser2* browser;
    // The band as client site, whose ambient download control keeps a
    // minimal load free of scripts.
    IOleClientSite* clientSite;
};

class PopHtml final : public win32::MemberlessDispatch<IpopHTML>,
                      public win32::MemberlessDispatch<IpopUI>,
                      public Capture,
                      private CaptureEventTarget {
public:
    static constexpr UINT_PTR IDT_CHECKBUSY = 107;
    static constexpr wchar_t kWindowName[] = L"quellmarkwindow";

    // A new capture object with one reference, held by the result.
    static win32::ComPtr<PopHtml> New();

    // Starts the capture; the browser object for the new window (with a
    // reference for the caller), or null when no capture browser could be
    // made. `parent` holds the hidden windows of the capture.
    win32::ComPtr<IDispatch> Create(CaptureBand& band, HWND parent, std::int32_t level);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Capture
    PopupRecord& record() override { return Record; }
    std::int32_t captureLevel() const override { return CaptureLevel; }
    void release() override { Release(); }
    void endNow() override;

    // A tick of IDT_CHECKBUSY.
    void OnReadyTimer();
    // Ends the watch: title and name chosen, then concluded by the guard.
    void Finish();
    void ChooseTitle();

    IWebBrowser2* captureBrowser() const { return CaptureBrowser.get(); }
    HWND hostWindow() const { return HostWindow; }
    HWND timerWindow() const { return TimerWindow; }
    const ReadinessWatch& readiness() const { return Watch; }

private:
    PopHtml() = default;
    ~PopHtml();

    // CaptureEventTarget
    bool OnCaptureBeforeNavigate(std::wstring_view url) override;
    void OnCaptureNavigateComplete(std::wstring_view url) override;
    void OnCaptureTitleChange(std::wstring_view title) override;
    void OnCaptureDownloadComplete() override;
    void OnCaptureWindowReport(WindowReport report, std::int32_t value) override;

    bool ConnectBrowser(CaptureBand& band, HWND parent, std::int32_t level);
    void LoadBare(IOleClientSite* site);
    bool StartTimerWindow(HWND parent);
    void DestroyTimerWindow();
    // Lets go of the browser, its sink and both windows.
    void Close();
    static LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    LONG refs_ = 0;
    win32::ModuleLock moduleLock_;
    CaptureBand* Band = nullptr;
    PopupRecord Record;
    std::int32_t CaptureLevel = 0;
    HWND HostWindow = nullptr;
    win32::ComPtr<IWebBrowser2> CaptureBrowser;
    // The hosting window's own site, kept while a minimal load replaces it.
    win32::ComPtr<IOleClientSite> HostSite;
    win32::ComPtr<SinkHtml> CaptureSink;
    HWND TimerWindow = nullptr;
    ReadinessWatch Watch;
    std::int32_t Created = 0;
};

// The band's way to capture the pending new window: a capture object held
// once for the caller (null when none could be made), its browser object in
// `window`.
Capture* CreateCaptureObject(CaptureBand& band, HWND parent, std::int32_t level,
                             win32::ComPtr<IDispatch>& window);

}  // namespace qm
