#include "band/win32/band_object.h"

#include <mshtml.h>
#include <shlguid.h>

#include <new>

#include "band/band_info.h"
#include "band/win32/module.h"
#include "band/visibility_check.h"
#include "common/text.h"
#include "common/win32/file_system_win32.h"
#include "common/win32/qi_table.h"
#include "common/win32/registry_win32.h"
#include "guard/win32/open_in_new_window.h"
#include "rules/rules_file.h"

namespace qm::band {
namespace {

using win32::ComPtr;

// DISPID_AMBIENT_DLCONTROL: a hidden capture browser asks for it when told
// that an ambient property changed.
constexpr DISPID kAmbientDownloadControl = -5512;
// No scripts, Java or ActiveX, no frames, behaviours or client pull, silent:
// a stopped popup loads bare.
constexpr LONG kBareDownloadControl = 0x60009780;
constexpr DWORD kDbidBandInfoChanged = 0;
constexpr UINT kCheckVisibleDelay = 1200;

std::wstring TakeBstr(BSTR text) {
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

BOOL CALLBACK HideToolbarProc(HWND window, LPARAM lParam) {
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "ToolbarWindow32") == 0) {
        ShowWindow(window, SW_HIDE);
        *reinterpret_cast<HWND*>(lParam) = window;
    }
    return TRUE;
}

BOOL CALLBACK EndDialogOfModule(HWND window, LPARAM module) {
    char className[8] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && GetWindowLongPtrA(window, GWLP_HINSTANCE) == module) {
        EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

// Ends the dialogs of this DLL that this thread shows, as if cancelled.
void EndModalDialogs() {
    EnumThreadWindows(GetCurrentThreadId(), EndDialogOfModule,
                      reinterpret_cast<LPARAM>(ModuleInstance()));
}

}  // namespace

HRESULT BandObject::Create(REFIID iid, void** ppv) {
    auto* band = new (std::nothrow) BandObject();
    if (!band) return E_OUTOFMEMORY;
    band->AddRef();
    HRESULT hr = band->QueryInterface(iid, ppv);
    band->Release();
    return hr;
}

BandObject::BandObject()
    : moduleFileName_(ModuleFileName()),
      guard_(LoadBandState()),
      page_(std::make_unique<PageWatch>(*guard_, settings_, static_cast<PageHost&>(*this))),
      captureBand_{*guard_, settings_, nullptr, static_cast<IOleClientSite*>(this)},
      tools_(ModuleInstance(), static_cast<tools::ToolsHost&>(*this), rules_, settings_,
             win32::SystemFileSystem(), win32::SystemRegistry(), moduleFileName_),
      face_(static_cast<FaceHost&>(*this), ModuleInstance()) {}

std::unique_ptr<Guard> BandObject::LoadBandState() {
    SettingsStore(win32::SystemRegistry(), moduleFileName_).LoadSettings(settings_);
    LoadRules(win32::SystemFileSystem(), moduleFileName_, rules_);
    return std::make_unique<Guard>(static_cast<GuardHost&>(*this), settings_, rules_,
                                   win32::SystemFileSystem(), moduleFileName_);
}

BandObject::~BandObject() {
    page_->Teardown();
    page_.reset();
    guard_.reset();
    if (bandWindow_ && IsWindow(bandWindow_)) DestroyWindow(bandWindow_);
}

HRESULT STDMETHODCALLTYPE BandObject::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<Ipop>(this),
        win32::QiEntry<IDispatch>(static_cast<Ipop*>(this)),
        win32::QiEntry<IDeskBand>(this),
        win32::QiEntry<IOleWindow>(static_cast<IDeskBand*>(this)),
        win32::QiEntry<IDockingWindow>(static_cast<IDeskBand*>(this)),
        win32::QiEntry<IInputObject>(this),
        win32::QiEntry<IObjectWithSite>(this),
        win32::QiEntry<IPersistStream>(this),
        win32::QiEntry<IOleClientSite>(this),
        win32::QiEntry<IContextMenu>(this),
        win32::QiEntry<IPersist>(static_cast<IPersistStream*>(this)),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

ULONG STDMETHODCALLTYPE BandObject::AddRef() {
    return InterlockedIncrement(&refs_);
}

ULONG STDMETHODCALLTYPE BandObject::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        // The destructor destroys our windows; a handler they run must not
        // bring the count back to zero and delete us twice.
        refs_ = 1;
        delete this;
    }
    return left;
}

void BandObject::HoldLife() {
    ++commandsRunning_;
    AddRef();
}

void BandObject::LetLife() {
    --commandsRunning_;
    Release();
}

HRESULT STDMETHODCALLTYPE BandObject::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = bandWindow_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::ShowDW(BOOL show) {
    if (bandWindow_) ShowWindow(bandWindow_, show ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::CloseDW(DWORD) {
    // A command of ours may be inside a modal dialog, owned by the browser
    // window and so not closed with the bar: it ends as if cancelled, and the
    // command returns to a band kept alive until it is done.
    if (commandsRunning_ > 0) EndModalDialogs();
    // Their hidden windows and timers are children of the band window: each
    // capture is concluded, as its time limit would, before they go with it.
    guard_->EndCaptures();
    ShowDW(FALSE);
    if (bandWindow_ && IsWindow(bandWindow_)) DestroyWindow(bandWindow_);
    bandWindow_ = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::GetBandInfo(DWORD bandId, DWORD viewMode,
                                                  DESKBANDINFO* info) {
    if (!info) return E_INVALIDARG;
    bandId_ = bandId;
    viewMode_ = viewMode;
    BandInfoAnswer answer = AnswerBandInfo(info->dwMask, settings_.BandVisibility != 0);
    info->dwMask = answer.mask;
    if (answer.mask & DBIM_MINSIZE) info->ptMinSize = {answer.minSize.x, answer.minSize.y};
    if (answer.mask & DBIM_MAXSIZE) info->ptMaxSize = {answer.maxSize.x, answer.maxSize.y};
    if (answer.mask & DBIM_INTEGRAL) info->ptIntegral = {answer.integral.x, answer.integral.y};
    if (answer.mask & DBIM_ACTUAL) info->ptActual = {answer.actual.x, answer.actual.y};
    if (answer.mask & DBIM_TITLE) {
        MultiByteToWideChar(CP_ACP, 0, answer.title, -1, info->wszTitle,
                            sizeof info->wszTitle / sizeof info->wszTitle[0]);
    }
    if (answer.mask & DBIM_MODEFLAGS) info->dwModeFlags = answer.modeFlags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::UIActivateIO(BOOL, MSG*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::HasFocusIO() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE BandObject::TranslateAcceleratorIO(MSG*) {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE BandObject::SetSite(IUnknown* site) {
    if (!site) {
        page_->Teardown();
        site_.reset();
        decisionListener_.reset();
        return S_OK;
    }
    parentWindow_ = nullptr;
    ComPtr<IOleWindow> oleWindow;
    if (FAILED(site->QueryInterface(IID_IOleWindow, oleWindow.putVoid()))) return E_FAIL;
    oleWindow->GetWindow(&parentWindow_);
    if (!parentWindow_ || !CreateBandWindow()) return E_FAIL;

    commandTarget_.reset();
    if (FAILED(site->QueryInterface(IID_IOleCommandTarget, commandTarget_.putVoid()))) {
        return E_UNEXPECTED;
    }
    ComPtr<IServiceProvider> services;
    topBrowser_.reset();
    if (FAILED(site->QueryInterface(IID_IServiceProvider, services.putVoid())) ||
        FAILED(
            services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, topBrowser_.putVoid())) ||
        !page_->Connect(topBrowser_.get())) {
        return E_UNEXPECTED;
    }
    captureBand_.browser = topBrowser_.get();
    decisionListener_.reset();
    services->QueryService(SID_QuellmarkDecisions, IID_IDecisionListener,
                           decisionListener_.putVoid());
    // The page side has started IDT_SINKHTML.
    StartTimer(IDT_CHECKVISIBLE, kCheckVisibleDelay);
    HideBarToolbar();
    if (barToolbar_) face_.PlaceBarButton(barToolbar_);
    site_.reset();
    site->QueryInterface(IID_IInputObjectSite, site_.putVoid());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::GetSite(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!site_) return E_FAIL;
    return site_->QueryInterface(iid, ppv);
}

HRESULT STDMETHODCALLTYPE BandObject::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_pop;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE BandObject::Load(IStream*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::Save(IStream*, BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::SaveObject() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::GetMoniker(DWORD, DWORD, IMoniker**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::GetContainer(IOleContainer**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::ShowObject() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::OnShowWindow(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BandObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!typeInfo_) {
        ComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_quellmarkLib, 1, 0, 0x409, library.put());
        if (FAILED(hr)) return hr;
        hr = library->GetTypeInfoOfGuid(IID_Ipop, typeInfo_.put());
        if (FAILED(hr)) return hr;
    }
    *info = ComPtr<ITypeInfo>(typeInfo_).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BandObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                                                    DISPID* ids) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = GetTypeInfo(0, lcid, info.put());
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(names, count, ids);
}

HRESULT STDMETHODCALLTYPE BandObject::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params,
                                             VARIANT* result, EXCEPINFO*, UINT*) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return DISP_E_PARAMNOTOPTIONAL;
    if (id == kAmbientDownloadControl && result) {
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = kBareDownloadControl;
    }
    return S_OK;
}

void BandObject::ShowBar() {
    ShowBrowserBar(true);
}

void BandObject::HideBar() {
    ShowBrowserBar(false);
}

void BandObject::ShowBrowserBar(bool show) {
    if (!topBrowser_) return;
    LPOLESTR clsid = nullptr;
    if (FAILED(StringFromCLSID(CLSID_pop, &clsid))) return;
    VARIANT bar;
    VariantInit(&bar);
    V_VT(&bar) = VT_BSTR;
    V_BSTR(&bar) = SysAllocString(clsid);
    CoTaskMemFree(clsid);
    VARIANT visible;
    VariantInit(&visible);
    V_VT(&visible) = VT_BOOL;
    V_BOOL(&visible) = show ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT size;
    VariantInit(&size);
    topBrowser_->ShowBrowserBar(&bar, &visible, &size);
    VariantClear(&bar);
}

void BandObject::SetBandVisibility(bool on, bool save) {
    ChangeSetting(&Settings::BandVisibility, on ? 1 : 0, save);
    NotifyBandInfoChanged();
}

void BandObject::ToggleBandVisibility() {
    SetBandVisibility(settings_.BandVisibility == 0, true);
}

void BandObject::NotifyBandInfoChanged() {
    if (HWND content = face_.Minitab()) UpdateWindow(content);
    if (!commandTarget_) return;
    VARIANT band;
    VariantInit(&band);
    V_VT(&band) = VT_I4;
    V_I4(&band) = static_cast<LONG>(bandId_);
    commandTarget_->Exec(&CGID_DeskBand, kDbidBandInfoChanged, 0, &band, nullptr);
}

void BandObject::HideBarToolbar() {
    HWND found = nullptr;
    EnumChildWindows(GetParent(bandWindow_), HideToolbarProc, reinterpret_cast<LPARAM>(&found));
    if (found) barToolbar_ = found;
}

bool BandObject::CreateBandWindow() {
    if (bandWindow_) return true;
    if (!parentWindow_) return false;
    band::CreateBandWindow(ModuleInstance(), parentWindow_, *this);
    if (bandWindow_) face_.Build(bandWindow_);
    return bandWindow_ != nullptr;
}

HWND BandObject::CaptureParent() const {
    HWND parent = face_.CaptureParent();
    return parent ? parent : bandWindow_;
}

void BandObject::OnBandWindowCreated(HWND window) {
    bandWindow_ = window;
}

void BandObject::OnBandWindowSized(int width, int height) {
    face_.Resize(width, height);
}

void BandObject::OnBandWindowDestroyed() {
    bandWindow_ = nullptr;
}

void BandObject::OnBandTimer(UINT_PTR id) {
    if (id == IDT_CHECKVISIBLE) {
        KillTimer(IDT_CHECKVISIBLE);
        CheckVisible();
        return;
    }
    page_->OnTimer(static_cast<std::uint32_t>(id));
}

void BandObject::StartTimer(std::uint32_t id, std::uint32_t intervalMs) {
    if (bandWindow_) SetTimer(bandWindow_, id, intervalMs, nullptr);
}

void BandObject::KillTimer(std::uint32_t id) {
    if (bandWindow_) ::KillTimer(bandWindow_, id);
}

bool BandObject::IsBandWindowVisible() {
    return bandWindow_ && IsWindowVisible(bandWindow_);
}

bool BandObject::IsCtrlHeld() {
    // The state as of the input this thread has read, not the keyboard's now.
    return GetKeyState(VK_CONTROL) < 0;
}

std::wstring BandObject::PageAddress() {
    if (!topBrowser_) return {};
    ComPtr<IDispatch> document;
    if (FAILED(topBrowser_->get_Document(document.put())) || !document) return {};
    ComPtr<IHTMLDocument2> html = document.as<IHTMLDocument2>(IID_IHTMLDocument2);
    BSTR url = nullptr;
    if (!html || FAILED(html->get_URL(&url))) return {};
    return TakeBstr(url);
}

std::wstring BandObject::LocationName() {
    BSTR name = nullptr;
    if (!topBrowser_ || FAILED(topBrowser_->get_LocationName(&name))) return {};
    return TakeBstr(name);
}

std::wstring BandObject::LocationUrl() {
    BSTR url = nullptr;
    if (!topBrowser_ || FAILED(topBrowser_->get_LocationURL(&url))) return {};
    return TakeBstr(url);
}

void BandObject::KillClickTimer() {
    KillTimer(IDT_CLICKWINDOW);
}

Capture* BandObject::CreateCapture(std::int32_t level) {
    win32::ComPtr<IDispatch> window;
    Capture* capture = CreateCaptureObject(captureBand_, CaptureParent(), level, window);
    page_->SetPendingWindow(window.get());
    return capture;
}

void BandObject::OpenInNewWindow(const PopupRecord& record) {
    qm::OpenInNewWindow(topBrowser_.get(), *guard_, record);
}

void BandObject::AddRecord(const PopupRecord& record) {
    face_.AddRecord(record);
}

void BandObject::RemoveRecord(const PopupRecord& record) {
    face_.RemoveRecord(record);
}

void BandObject::ShowStatus(const std::string& text) {
    face_.ShowStatus(text);
}

void BandObject::StartFlash() {
    face_.StartFlash();
}

HRESULT STDMETHODCALLTYPE BandObject::QueryContextMenu(HMENU menu, UINT index, UINT first,
                                                       UINT last, UINT flags) {
    return face_.QueryContextMenu(menu, index, first, last, flags);
}

HRESULT STDMETHODCALLTYPE BandObject::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    win32::KeepAlive alive(static_cast<FaceHost&>(*this));
    return face_.InvokeCommand(info);
}

HRESULT STDMETHODCALLTYPE BandObject::GetCommandString(UINT_PTR command, UINT type, UINT*,
                                                       LPSTR name, UINT size) {
    return face_.GetCommandString(command, type, name, size);
}

void BandObject::ChangeSetting(std::int32_t Settings::*field, std::int32_t value, bool save) {
    if (save) {
        SettingsStore(win32::SystemRegistry(), moduleFileName_)
            .ChangeSetting(settings_, field, value);
    } else {
        settings_.*field = value;
    }
}

void BandObject::AddRule(std::uint16_t flags, const std::string& popupAddress,
                         const std::string& sourceAddress) {
    tools_.AddRule(flags, popupAddress, sourceAddress);
}

std::string BandObject::CurrentPageAddress() {
    return ToAnsi(LocationUrl());
}

void BandObject::CheckVisible() {
    if (!topBrowser_) return;
    long height = 0;
    long width = 0;
    topBrowser_->get_Height(&height);
    topBrowser_->get_Width(&width);
    VisibilityAction action = CheckVisibility(
        {height, width, IsBandWindowVisible(), settings_.BandVisibility != 0, heightAdjusted_});
    bigEnough_ = action.bigEnough;
    if (action.hideBar) HideBar();
    if (action.showBar) ShowBar();
    if (action.collapse) SetBandVisibility(false, false);
    if (action.newHeight) {
        topBrowser_->put_Height(action.newHeight);
        heightAdjusted_ = true;
    }
}

void BandObject::Decided(const DecisionNote& note) {
    // Hold the listener: it may be a site that the call lets go of us.
    if (ComPtr<IDecisionListener> listener = decisionListener_) listener->Decided(&note);
}

}  // namespace qm::band
