#include "guard/win32/testing/band_fixture.h"

#include <mshtmdid.h>
#include <ole2.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/text.h"
#include "common/win32/bstr.h"
#include "common/win32/file_system_win32.h"
#include "common/win32/module_lock.h"
#include "common/win32/qi_table.h"
#include "guard/win32/open_in_new_window.h"
#include "lab/win32/com_object.h"
#include "lab/expectation.h"
#include "lab/scenario_parser.h"
#include "lab/win32/scheduler.h"
#include "lab/trace_lines.h"
#include "lab/win32/user_actions.h"
#include "log/activity_log.h"
#include "page/win32/dom.h"

namespace qm::testing {

// The band as client site of a hidden capture browser: every site method
// is refused, and its dispatch interface answers the ambient download
// control that keeps a minimal load free of scripts.
class AmbientSite final : public IOleClientSite, public IDispatch {
public:
    static constexpr LONG kDownloadControl = 0x60009780;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {win32::QiEntry<IOleClientSite>(this),
                                       win32::QiEntry<IDispatch>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id != DISPID_AMBIENT_DLCONTROL || !result) return S_OK;
        ++queries;
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = kDownloadControl;
        return S_OK;
    }

    int queries = 0;

private:
    ~AmbientSite() = default;
    ULONG refs_ = 1;
};

// The browser window around the main browser: its size, and whether the
// bar shows (so the lab tells allowed windows from passed-through ones).
class FrameWindow final : public lab::BrowserHost {
public:
    explicit FrameWindow(const bool& barVisible) : barVisible_(barVisible) {
        window_ = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~FrameWindow() override {
        if (window_) DestroyWindow(window_);
    }
    HWND hostWindow() const override { return window_; }
    bool barVisible() const override { return barVisible_; }
    HRESULT showBrowserBar(const std::wstring&, bool) override { return S_OK; }
    void pageChanged() override {}

private:
    HWND window_ = nullptr;
    const bool& barVisible_;
};

namespace {

constexpr char kBandWindowClass[] = "QuellmarkCaptureFixtureBand";

}  // namespace

BandFixture::BandFixture() = default;
BandFixture::~BandFixture() = default;

void BandFixture::SetUp() {
    ole_ = OleInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(ole_));
    liveLabObjectsAtStart_ = lab::LiveLabObjects();
    EXPECT_EQ(win32::ModuleLockCount(), 0) << "objects of an earlier test still alive";

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &BandFixture::BandWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kBandWindowClass;
    RegisterClassA(&windowClass);
    bandWindow_ = CreateWindowExA(0, kBandWindowClass, "band", WS_POPUP, 0, 0, 400, 104, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), this);
    ASSERT_NE(bandWindow_, nullptr);
    // The hidden frame control of the "Popup Windows" page.
    popupFrame_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, bandWindow_, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(popupFrame_, nullptr);

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    folder_ = std::string(temp) + "qm-band-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial);
    CreateDirectoryA(folder_.c_str(), nullptr);
    moduleFileName_ = folder_ + "\\quellmark.dll";
    ambient_ = new AmbientSite();
}

void BandFixture::Start(const std::string& text) {
    lab::ParsedScenario parsed = lab::ParseScenario(text);
    for (const lab::ScenarioError& error : parsed.errors) {
        ADD_FAILURE() << "scenario line " << error.line << ": " << error.message;
    }
    scenario_ = std::move(parsed.scenario);
    lab_ = std::make_unique<lab::Lab>(scenario_, trace_);
    captureClasses_ = std::make_unique<lab::CaptureClasses>(*lab_);
    ASSERT_TRUE(captureClasses_->registered());
    main_ = lab::LabBrowser::Create(*lab_, lab::BrowserRole::Main, "main");
    frame_ = std::make_unique<FrameWindow>(bandVisible);
    main_->setHost(frame_.get());

    guard =
        std::make_unique<Guard>(*this, settings, rules, win32::SystemFileSystem(), moduleFileName_);
    page = std::make_unique<PageWatch>(*guard, settings, *this);
    captureBand_.reset(new CaptureBand{*guard, settings, main_.get(), ambient_});
    ASSERT_TRUE(page->Connect(main_.get()));
}

void BandFixture::Load(const std::string& url) {
    std::string loaded = "page loaded main " + lab::Quote(url);
    int before = CountTraced(loaded);
    main_->navigate(url);
    ASSERT_TRUE(WaitFor([&] { return CountTraced(loaded) > before; })) << TraceText();
}

void BandFixture::TearDownSinks() {
    page->Teardown();
    tornDown_ = true;
}

void BandFixture::TearDown() {
    if (page) TearDownSinks();
    page.reset();
    // The band's last release: its captures go (hidden browsers quit).
    guard.reset();
    captureBand_.reset();
    captureClasses_.reset();
    std::vector<HWND> hosts = HostWindows();
    EXPECT_TRUE(hosts.empty()) << hosts.size() << " hosting windows outlived their captures";
    for (HWND host : hosts) DestroyWindow(host);
    if (main_) main_->shutdown();
    main_.reset();
    lab_.reset();
    frame_.reset();
    // Work posted by the lab (closing its windows) runs; no band timer may tick.
    Pump(100);
    EXPECT_EQ(ticksAfterTeardown, 0) << "a band timer reached the torn-down sinks";
    EXPECT_EQ(win32::ModuleLockCount(), 0) << "a sink or capture object is still alive";
    EXPECT_EQ(lab::LiveLabObjects(), liveLabObjectsAtStart_) << "lab objects still alive";
    if (ambient_) {
        EXPECT_EQ(ambient_->Release(), 0u) << "someone kept the band's client site";
    }
    ambient_ = nullptr;
    if (bandWindow_) DestroyWindow(bandWindow_);
    bandWindow_ = popupFrame_ = nullptr;
    DeleteFileA(LogFilePath(moduleFileName_).c_str());
    RemoveDirectoryA(folder_.c_str());
    if (SUCCEEDED(ole_)) OleUninitialize();
}

std::vector<HWND> BandFixture::HostWindows() {
    std::vector<HWND> hosts;
    EnumThreadWindows(GetCurrentThreadId(), &CollectHostWindow, reinterpret_cast<LPARAM>(&hosts));
    return hosts;
}

BOOL CALLBACK BandFixture::CollectHostWindow(HWND window, LPARAM hosts) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "AtlAxWin")
        reinterpret_cast<std::vector<HWND>*>(hosts)->push_back(window);
    return TRUE;
}

bool BandFixture::WaitFor(const std::function<bool()>& done, unsigned milliseconds) {
    lab::PumpMessages(milliseconds, done);
    return done();
}

void BandFixture::Pump(unsigned milliseconds) {
    lab::PumpMessages(milliseconds);
}

lab::LabElement& BandFixture::Element(const std::string& id) {
    lab::LabElement* element = lab::FindElement(*main_.get(), id);
    if (!element) {
        ADD_FAILURE() << "no element " << id << " in the page";
        std::abort();  // no element to hand back
    }
    return *element;
}

void BandFixture::RunPageScript(const std::string& code) {
    win32::ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(main_.get()).get());
    ASSERT_TRUE(window) << "no page to run a script in";
    win32::Bstr script(ToWide(code));
    win32::Bstr language(L"Javascript");
    win32::Variant result;
    ASSERT_EQ(window->execScript(script.get(), language.get(), result.get()), S_OK);
}

std::string BandFixture::LastNewWindowOutcome() const {
    const std::string prefix = "new-window ";
    for (auto it = trace_.lines().rbegin(); it != trace_.lines().rend(); ++it) {
        if (it->compare(0, prefix.size(), prefix) != 0) continue;
        std::string word = it->substr(prefix.size(), it->find(' ', prefix.size()) - prefix.size());
        if (word != "announced") return word;
    }
    return "none";
}

bool BandFixture::Traced(const std::string& pattern) const {
    return CountTraced(pattern) > 0;
}

int BandFixture::CountTraced(const std::string& pattern) const {
    int count = 0;
    for (const std::string& line : trace_.lines()) {
        if (lab::PatternMatches(pattern, line)) ++count;
    }
    return count;
}

std::string BandFixture::TraceText() const {
    std::string text = "trace:\n";
    for (const std::string& line : trace_.lines()) text += "  " + line + "\n";
    return text;
}

void BandFixture::AddRule(std::uint16_t flags, const std::string& popup,
                          const std::string& source) {
    rules.append(Rule{static_cast<std::uint16_t>(flags | On), "rule", popup, source});
}

std::string BandFixture::LogText() const {
    std::ifstream file(LogFilePath(moduleFileName_), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int BandFixture::AmbientQueries() const {
    return ambient_ ? ambient_->queries : 0;
}

std::wstring BandFixture::PageAddress() {
    return UrlOf(DocumentOf(main_.get()).get());
}

std::wstring BandFixture::LocationName() {
    win32::Bstr name;
    if (!main_ || FAILED(main_->get_LocationName(name.put()))) return {};
    return name.str();
}

std::wstring BandFixture::LocationUrl() {
    win32::Bstr url;
    if (!main_ || FAILED(main_->get_LocationURL(url.put()))) return {};
    return url.str();
}

Capture* BandFixture::CreateCapture(std::int32_t level) {
    win32::ComPtr<IDispatch> window;
    Capture* capture =
        CreateCaptureObject(*captureBand_, noCaptureParent ? nullptr : popupFrame_, level, window);
    page->SetPendingWindow(window.get());
    return capture;
}

void BandFixture::OpenInNewWindow(const PopupRecord& record) {
    qm::OpenInNewWindow(main_.get(), *guard, record);
}

void BandFixture::StartTimer(std::uint32_t id, std::uint32_t intervalMs) {
    SetTimer(bandWindow_, id, intervalMs, nullptr);
}

void BandFixture::KillTimer(std::uint32_t id) {
    ::KillTimer(bandWindow_, id);
}

LRESULT CALLBACK BandFixture::BandWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER) {
        auto* band = reinterpret_cast<BandFixture*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (band) {
            band->ticks.push_back(static_cast<std::uint32_t>(wParam));
            if (band->tornDown_) ++band->ticksAfterTeardown;
            if (band->page) band->page->OnTimer(static_cast<std::uint32_t>(wParam));
        }
        return 0;
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qm::testing
