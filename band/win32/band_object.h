#pragma once
// The band (COM class "pop"): the Explorer Bar object the browser creates
// for each of its windows. It owns everything of that window: settings,
// rules, the decision engine with its records and captures, the page sinks,
// and the band window.

#include <windows.h>
#include <exdisp.h>
#include <shobjidl.h>

#include <memory>
#include <string>

#include "band/win32/band_face.h"
#include "band/win32/band_window.h"
#include "band/win32/face_host.h"
#include "common/win32/com_ptr.h"
#include "common/win32/module_lock.h"
#include "guard/win32/decision_listener.h"
#include "guard/guard.h"
#include "guard/guard_host.h"
#include "guard/win32/pop_html.h"
#include "page/page_host.h"
#include "page/win32/page_watch.h"
#include "quellmark_h.h"
#include "rules/win32/band_tools.h"
#include "rules/rule_set.h"
#include "settings/settings.h"

namespace qm::band {

class BandObject final : public IDeskBand,
                         public IInputObject,
                         public IObjectWithSite,
                         public IPersistStream,
                         public IOleClientSite,
                         public IContextMenu,
                         public Ipop,
                         private GuardHost,
                         private PageHost,
                         private FaceHost,
                         private tools::ToolsHost,
                         private BandWindowOwner {
public:
    // The class factory's creation: settings, then rules, then the interface asked for.
    static HRESULT Create(REFIID iid, void** ppv);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleWindow, IDockingWindow, IDeskBand
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE ShowDW(BOOL show) override;
    HRESULT STDMETHODCALLTYPE CloseDW(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE ResizeBorderDW(LPCRECT border, IUnknown* site,
                                             BOOL reserved) override;
    HRESULT STDMETHODCALLTYPE GetBandInfo(DWORD bandId, DWORD viewMode,
                                          DESKBANDINFO* info) override;

    // IInputObject
    HRESULT STDMETHODCALLTYPE UIActivateIO(BOOL activate, MSG* msg) override;
    HRESULT STDMETHODCALLTYPE HasFocusIO() override;
    HRESULT STDMETHODCALLTYPE TranslateAcceleratorIO(MSG* msg) override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** ppv) override;

    // IPersist, IPersistStream
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

    // IOleClientSite: only so a hidden capture browser can read our ambient properties.
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IContextMenu
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                               UINT flags) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT type, UINT* reserved,
                                               LPSTR name, UINT size) override;

    // IDispatch (Ipop)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    // Shows or hides the bar through the browser.
    void ShowBar();
    void HideBar() override;
    void SetBandVisibility(bool on, bool save) override;
    void ToggleBandVisibility() override;

private:
    BandObject();
    ~BandObject();

    // GuardHost
    bool IsBandWindowVisible() override;
    bool IsCtrlHeld() override;
    std::wstring PageAddress() override;
    std::wstring LocationName() override;
    std::wstring LocationUrl() override;
    void KillClickTimer() override;
    Capture* CreateCapture(std::int32_t level) override;
    void OpenInNewWindow(const PopupRecord& record) override;
    void AddRecord(const PopupRecord& record) override;
    void RemoveRecord(const PopupRecord& record) override;
    void ShowStatus(const std::string& text) override;
    void StartFlash() override;
    void CheckVisible() override;
    void Decided(const DecisionNote& note) override;

    // PageHost
    void StartTimer(std::uint32_t id, std::uint32_t intervalMs) override;
    void KillTimer(std::uint32_t id) override;

    // FaceHost (OpenInNewWindow, HideBar and the visibility calls above serve it too)
    const Settings& LiveSettings() override { return settings_; }
    void ChangeSetting(std::int32_t Settings::*field, std::int32_t value, bool save) override;
    std::string StatusText() override { return guard_->statusText; }
    const std::vector<std::unique_ptr<PopupRecord>>& Records() override { return guard_->Records; }
    void ClearRecords() override { guard_->ClearRecords(); }
    void AddRule(std::uint16_t flags, const std::string& popupAddress,
                 const std::string& sourceAddress) override;
    std::string ModulePath() override { return moduleFileName_; }
    HWND CreateToolsPage(HWND minitab) override { return tools_.CreateToolsPage(minitab); }

    // tools::ToolsHost
    std::string CurrentPageAddress() override;

    // win32::LifeHolder, for FaceHost and tools::ToolsHost: a reference held
    // while one of the band's windows handles a command.
    void HoldLife() override;
    void LetLife() override;

    // BandWindowOwner
    void OnBandWindowCreated(HWND window) override;
    void OnBandWindowSized(int width, int height) override;
    void OnBandTimer(UINT_PTR id) override;
    void OnBandWindowDestroyed() override;

    std::unique_ptr<Guard> LoadBandState();
    bool CreateBandWindow();
    // The window that holds the hidden windows of capture objects.
    HWND CaptureParent() const;
    void ShowBrowserBar(bool show);
    void NotifyBandInfoChanged();
    void HideBarToolbar();

    LONG refs_ = 0;
    // Commands of the band's windows now running; one may be in a modal loop.
    int commandsRunning_ = 0;
    win32::ModuleLock moduleLock_;
    std::string moduleFileName_;
    Settings settings_;
    RuleSet rules_;
    std::unique_ptr<Guard> guard_;
    std::unique_ptr<PageWatch> page_;
    // What every capture object of this band is told about it.
    CaptureBand captureBand_;
    tools::BandTools tools_;
    BandFace face_;

    win32::ComPtr<IInputObjectSite> site_;
    HWND parentWindow_ = nullptr;
    win32::ComPtr<IOleCommandTarget> commandTarget_;
    win32::ComPtr<IWebBrowser2> topBrowser_;
    // A host that asked to hear every decision; none in a real browser.
    win32::ComPtr<IDecisionListener> decisionListener_;
    HWND bandWindow_ = nullptr;
    HWND barToolbar_ = nullptr;
    DWORD bandId_ = 0;
    DWORD viewMode_ = 0;
    bool bigEnough_ = true;
    bool heightAdjusted_ = false;
    win32::ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace qm::band
