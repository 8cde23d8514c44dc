#include "guard/win32/pop_html.h"

#include <exdispid.h>
#include <mshtmdid.h>

#include <new>

#include "common/win32/bstr.h"
#include "common/win32/module_classes.h"
#include "common/win32/qi_table.h"
#include "guard/capture_recorder.h"
#include "guard/win32/control_host.h"
#include "page/win32/dom.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace qm {
namespace {

using win32::Bstr;
using win32::ComPtr;

constexpr char kTimerWindowClass[] = "QuellmarkCaptureTimer";

// {8856F961-340A-11D0-A96B-00C04FD705A2}: the browser control of a hidden capture.
constexpr CLSID kWebBrowserControl = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// {0002DF01-0000-0000-C000-000000000046}: the browser application of a watched one.
constexpr CLSID kBrowserApplication = {
    0x0002DF01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

}  // namespace

ComPtr<PopHtml> PopHtml::New() {
    return ComPtr<PopHtml>(new (std::nothrow) PopHtml());
}

ComPtr<IDispatch> PopHtml::Create(CaptureBand& band, HWND parent, std::int32_t level) {
    Band = &band;
    ComPtr<IHTMLDocument2> page = DocumentOf(band.browser);
    Record.sourceTitle = TitleOf(page.get());
    Record.sourceUrl = UrlOf(page.get());
    CaptureLevel = level;
    if (level == 0 || band.guard.ClickTriggered || Created) return {};

    Created = ConnectBrowser(band, parent, level) ? 1 : 0;
    if (!Created) {
        if (CaptureSink) {
            CaptureSink->UnadviseBrowser();
            CaptureSink->Detach();
            CaptureSink.reset();
        }
        // A host without a browser in it is of no use to anyone.
        if (HostWindow) DestroyWindow(HostWindow);
        HostWindow = nullptr;
        CaptureBrowser.reset();
        return {};
    }
    // Without its timer a capture would never finish: let the window open.
    if (!StartTimerWindow(parent)) return {};
    return CaptureBrowser.as<IDispatch>();
}

bool PopHtml::ConnectBrowser(CaptureBand& band, HWND parent, std::int32_t level) {
    if (!EnsureControlHostClass()) return false;
    if (level == 1) {
        // Its own top-level window, which the user sees: the popup is recorded, not stopped.
        HostWindow = CreateControlHost(ProgIdOf(kBrowserApplication), 0, nullptr);
        Record.stopped = 0;
    } else {
        HostWindow = CreateControlHost(ProgIdOf(kWebBrowserControl), WS_CHILD, parent);
        Record.stopped = 1;
    }
    if (!HostWindow) return false;
    CaptureBrowser = HostedControl(HostWindow).as<IWebBrowser2>();
    CaptureSink =
        SinkHtml::Create(SinkOwner{SinkOwner::CaptureKind, nullptr, this}, CaptureBrowser.get());
    if (!CaptureBrowser || !CaptureSink) return false;
    // New windows that the captured page opens itself are not watched.
    CaptureSink->EnableEvents({DISPID_BEFORENAVIGATE2, DISPID_DOCUMENTCOMPLETE, DISPID_TITLECHANGE,
                               DISPID_NAVIGATECOMPLETE2, DISPID_DOWNLOADCOMPLETE,
                               DISPID_WINDOWSETHEIGHT, DISPID_WINDOWSETWIDTH, DISPID_WINDOWSETTOP,
                               DISPID_WINDOWSETLEFT, DISPID_ONMENUBAR, DISPID_ONSTATUSBAR,
                               DISPID_ONADDRESSBAR, DISPID_ONTOOLBAR, DISPID_ONFULLSCREEN,
                               DISPID_WINDOWSETRESIZABLE, DISPID_PROPERTYCHANGE});
    if (level != 1 && band.settings.LoadBare) LoadBare(band.clientSite);
    CaptureSink->AdviseBrowser(CaptureBrowser.get());
    return true;
}

// The control reads the band's ambient download control and loads the
// page without scripts, plug-ins, frames, images or sounds.
void PopHtml::LoadBare(IOleClientSite* site) {
    if (!site) return;
    if (ComPtr<IOleObject> object = CaptureBrowser.as<IOleObject>()) {
        // Wine's hosting window lives only as long as the control holds its
        // site; losing it, it takes the control's new site away again.
        object->GetClientSite(HostSite.put());
        object->SetClientSite(site);
    }
    if (ComPtr<IOleControl> control = CaptureBrowser.as<IOleControl>()) {
        control->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL);
    }
}

PopHtml::~PopHtml() {
    Close();
}

void PopHtml::Close() {
    DestroyTimerWindow();
    if (Created) {
        if (CaptureSink) {
            CaptureSink->UnadviseBrowser();
            CaptureSink->Detach();
            CaptureSink.reset();
        }
        // A stopped popup's hidden browser goes; a watched popup's window
        // stays open for the user, its own browser's to close.
        if (CaptureLevel != 1 && CaptureBrowser) CaptureBrowser->Quit();
        if (HostWindow) DestroyWindow(HostWindow);
        HostWindow = nullptr;
    }
    HostSite.reset();
    CaptureBrowser.reset();
}

HRESULT STDMETHODCALLTYPE PopHtml::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IpopHTML>(this, IID_IpopHTML),
        win32::QiEntry<IpopHTML>(this, IID_IDispatch),
        win32::QiEntry<IpopUI>(this, IID_IpopUI),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

ULONG STDMETHODCALLTYPE PopHtml::AddRef() {
    return InterlockedIncrement(&refs_);
}

ULONG STDMETHODCALLTYPE PopHtml::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

bool PopHtml::OnCaptureBeforeNavigate(std::wstring_view url) {
    return Band && Band->guard.DecideCapturedNavigation(*this, url);
}

void PopHtml::OnCaptureNavigateComplete(std::wstring_view url) {
    RecordNavigationComplete(Record, url);
}

void PopHtml::OnCaptureTitleChange(std::wstring_view title) {
    RecordTitleChange(Record, title);
}

void PopHtml::OnCaptureDownloadComplete() {
    RecordDocumentTitle(Record, TitleOf(DocumentOf(CaptureBrowser.get()).get()));
}

void PopHtml::OnCaptureWindowReport(WindowReport report, std::int32_t value) {
    ApplyWindowReport(Record, report, value);
}

void PopHtml::OnReadyTimer() {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    std::int32_t readyState = -1;
    if (CaptureBrowser && SUCCEEDED(CaptureBrowser->get_ReadyState(&state))) readyState = state;
    if (!Watch.Tick(readyState)) return;
    timedOut = Watch.TimedOut;
    if (TimerWindow) KillTimer(TimerWindow, IDT_CHECKBUSY);
    Finish();
}

void PopHtml::endNow() {
    ComPtr<PopHtml> hold(this);
    if (!Watch.Finished) {
        READYSTATE state = READYSTATE_UNINITIALIZED;
        bool complete = CaptureBrowser && SUCCEEDED(CaptureBrowser->get_ReadyState(&state)) &&
                        state == READYSTATE_COMPLETE;
        timedOut = complete ? 0 : 1;
        Finish();
    }
    // Its windows are children of the band's: they go before the band's do.
    Close();
}

void PopHtml::Finish() {
    // Concluding drops the reference that the band's list holds.
    ComPtr<PopHtml> hold(this);
    Watch.Finished = 1;
    if (!Band) return;
    Guard& guard = Band->guard;
    Guard::CaptureVerdict verdict = guard.TakeCaptureVerdict();
    DestroyTimerWindow();
    ChooseTitle();
    if (ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(CaptureBrowser.get()).get())) {
        Bstr name(kWindowName);
        window->put_name(name.get());
    }
    if (verdict.userWanted) Record.url = verdict.addressToOpen;
    guard.ConcludeCapture(*this, verdict.userWanted);
}

void PopHtml::ChooseTitle() {
    ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(CaptureBrowser.get()).get());
    Bstr name;
    if (window && SUCCEEDED(window->get_name(name.put()))) Record.targetName = name.str();
    ApplyFallbackTitle(Record);
}

bool PopHtml::StartTimerWindow(HWND parent) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &PopHtml::TimerWindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kTimerWindowClass;
    if (!win32::RegisterModuleClass(windowClass)) return false;
    TimerWindow = CreateWindowExA(0, kTimerWindowClass, "", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                  ThisModule(), this);
    if (!TimerWindow) return false;
    Watch = ReadinessWatch();
    if (!SetTimer(TimerWindow, IDT_CHECKBUSY, ReadinessWatch::kTickMs, nullptr)) {
        DestroyTimerWindow();
        return false;
    }
    return true;
}

void PopHtml::DestroyTimerWindow() {
    if (HWND window = TimerWindow) {
        KillTimer(window, IDT_CHECKBUSY);
        DestroyWindow(window);
    }
    TimerWindow = nullptr;
}

LRESULT CALLBACK PopHtml::TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_TIMER:
            if (wParam == IDT_CHECKBUSY) {
                if (auto* capture =
                        reinterpret_cast<PopHtml*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
                    ComPtr<PopHtml> hold(capture);
                    capture->OnReadyTimer();
                }
                return 0;
            }
            break;
        case WM_NCDESTROY:
            // Gone with its parent: the capture must not destroy it again.
            if (auto* capture =
                    reinterpret_cast<PopHtml*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
                capture->TimerWindow = nullptr;
            }
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

Capture* CreateCaptureObject(CaptureBand& band, HWND parent, std::int32_t level,
                             ComPtr<IDispatch>& window) {
    window.reset();
    ComPtr<PopHtml> capture = PopHtml::New();
    if (!capture) return nullptr;
    window = capture->Create(band, parent, level);
    if (!window) return nullptr;
    return capture.detach();
}

}  // namespace qm
