// The lab's IEFrame and Explorer Bar with a probe band of the test's own:
// creation by COM activation, SetSite and the site's interfaces,
// GetBandInfo and the bar's height, DBID_BANDINFOCHANGED, ShowBrowserBar,
// closing, and the final release.

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <shlguid.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_frame.h"
#include "lab/win32/lab_window.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/testing/lab_fixture.h"
#include "lab/win32/testing/probe_sink.h"

namespace qm::lab {
namespace {

using testing::SameObject;
using win32::ComPtr;

// {0B7E3F10-6A2C-4D55-8E31-7F0C9A4D2B61}
const CLSID kProbeBandClass = {
    0x0b7e3f10, 0x6a2c, 0x4d55, {0x8e, 0x31, 0x7f, 0x0c, 0x9a, 0x4d, 0x2b, 0x61}};
const char kProbeBandName[] = "{0B7E3F10-6A2C-4D55-8E31-7F0C9A4D2B61}";

// What the probe bands saw, shared by every instance the factory made.
struct BandLog {
    std::vector<std::string> calls;
    int created = 0;
    int destroyed = 0;
    bool expanded = true;
    DWORD bandId = 0;
    DWORD viewMode = 99;
    HWND siteWindow = nullptr;
    bool siteInFrame = false;
    bool toolbarBeside = false;
    ComPtr<IUnknown> browser;
    ComPtr<IOleCommandTarget> commandTarget;
    bool inputObjectSite = false;
    HWND caption = nullptr;
    HWND list = nullptr;
    POINT menuPointer = {-1, -1};  // in the band window's client coordinates
    UINT firstCommand = 0;
    std::vector<UINT_PTR> invoked;  // the verbs InvokeCommand was given
};

class ProbeBand final : public IDeskBand, public IObjectWithSite, public IContextMenu {
public:
    explicit ProbeBand(BandLog& log) : log_(log) { ++log_.created; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {
            win32::QiEntry<IDeskBand>(this), win32::QiEntry<IDockingWindow>(this),
            win32::QiEntry<IOleWindow>(this), win32::QiEntry<IObjectWithSite>(this),
            win32::QiEntry<IContextMenu>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowDW(BOOL show) override {
        log_.calls.push_back(show ? "ShowDW 1" : "ShowDW 0");
        if (window_) ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CloseDW(DWORD) override {
        log_.calls.push_back("CloseDW");
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ResizeBorderDW(LPCRECT, IUnknown*, BOOL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetBandInfo(DWORD id, DWORD mode, DESKBANDINFO* info) override {
        log_.calls.push_back("GetBandInfo");
        log_.bandId = id;
        log_.viewMode = mode;
        int height = log_.expanded ? 104 : 18;
        info->ptMinSize = {104, height};
        info->ptMaxSize = {-1, log_.expanded ? -1 : 18};
        info->ptIntegral = {1, 1};
        info->ptActual = {100, height};
        lstrcpyW(info->wszTitle, L"probe");
        info->dwModeFlags = log_.expanded ? 0x68 : 0x61;
        info->dwMask &= ~DBIM_BKCOLOR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override {
        log_.calls.push_back(site ? "SetSite" : "SetSite(null)");
        site_.reset();
        log_.commandTarget.reset();
        log_.browser.reset();
        if (!site) return S_OK;
        site_ = ComPtr<IUnknown>(site);
        ComPtr<IOleWindow> oleWindow = site_.as<IOleWindow>();
        if (!oleWindow || FAILED(oleWindow->GetWindow(&log_.siteWindow))) return E_FAIL;
        char name[64] = "";
        GetClassNameA(GetParent(log_.siteWindow), name, sizeof name);
        log_.siteInFrame = std::string(name) == "IEFrame";
        log_.toolbarBeside = FindWindowExA(log_.siteWindow, nullptr, "ToolbarWindow32", nullptr);
        window_ = CreateWindowExA(0, "STATIC", "probe band", WS_CHILD, 0, 0, 10, 10,
                                  log_.siteWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
        // The caption and the popup list, with the ids of the band's own.
        log_.caption = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 12,
                                       window_, reinterpret_cast<HMENU>(244), nullptr, nullptr);
        log_.list =
            CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 14, 100, 80,
                            window_, reinterpret_cast<HMENU>(206), nullptr, nullptr);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 50;
        column.pszText = const_cast<char*>("title");
        SendMessageA(log_.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        column.pszText = const_cast<char*>("url");
        SendMessageA(log_.list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
        log_.commandTarget = site_.as<IOleCommandTarget>();
        ComPtr<IServiceProvider> services = site_.as<IServiceProvider>();
        ComPtr<IWebBrowser2> browser;
        if (services)
            services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.putVoid());
        if (browser) browser->QueryInterface(IID_IUnknown, log_.browser.putVoid());
        log_.inputObjectSite = static_cast<bool>(site_.as<IInputObjectSite>());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** ppv) override {
        if (!site_) return E_FAIL;
        return site_->QueryInterface(iid, ppv);
    }

    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT,
                                               UINT) override {
        GetCursorPos(&log_.menuPointer);
        ScreenToClient(window_, &log_.menuPointer);
        log_.firstCommand = first;
        InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING | MF_CHECKED, first + 1, "&Large Icons");
        InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        InsertMenuA(menu, index + 2, MF_BYPOSITION | MF_STRING, first + 5, "Clear Log");
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 6);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* command) override {
        log_.invoked.push_back(reinterpret_cast<UINT_PTR>(command->lpVerb));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override {
        return E_NOTIMPL;
    }

    HWND window() const { return window_; }

private:
    ~ProbeBand() {
        ++log_.destroyed;
        if (window_) DestroyWindow(window_);
    }

    ULONG refs_ = 1;
    BandLog& log_;
    ComPtr<IUnknown> site_;
    HWND window_ = nullptr;
};

class ProbeBandFactory final : public IClassFactory {
public:
    explicit ProbeBandFactory(BandLog& log) : log_(log) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {win32::QiEntry<IClassFactory>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** ppv) override {
        ProbeBand* band = new ProbeBand(log_);
        HRESULT hr = band->QueryInterface(iid, ppv);
        band->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    BandLog& log_;
};

class LabFrameTest : public testing::LabFixture {
protected:
    void SetUp() override {
        LabFixture::SetUp();
        factory_ = new ProbeBandFactory(log_);
        ASSERT_EQ(CoRegisterClassObject(kProbeBandClass, factory_, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie_),
                  S_OK);
        load("page http://www.example.com/\n  load 10\nend\n");
        main_ = LabBrowser::Create(lab(), BrowserRole::Main, "main");
    }
    void TearDown() override {
        frame_.reset();
        if (main_) main_->shutdown();
        main_.reset();
        log_.browser.reset();
        log_.commandTarget.reset();
        CoRevokeClassObject(cookie_);
        delete factory_;
        EXPECT_EQ(log_.created, log_.destroyed) << "a band was not released";
        LabFixture::TearDown();
    }

    void openFrame(const std::string& band) {
        LabFrame::Options options;
        options.width = 800;
        options.height = 600;
        options.band = band;
        frame_ = std::make_unique<LabFrame>(lab(), main_, options);
        frame_->show();
    }

    static int Height(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r.bottom - r.top;
    }

    VARIANT ClassVariant(const CLSID& clsid) {
        LPOLESTR text = nullptr;
        StringFromCLSID(clsid, &text);
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocString(text);
        CoTaskMemFree(text);
        return value;
    }

    BandLog log_;
    ProbeBandFactory* factory_ = nullptr;
    DWORD cookie_ = 0;
    ComPtr<LabBrowser> main_;
    std::unique_ptr<LabFrame> frame_;
};

TEST_F(LabFrameTest, OpensTheBandLikeTheBrowserAndSizesTheBarToItsAnswer) {
    openFrame(kProbeBandName);
    char name[64] = "";
    GetClassNameA(frame_->window(), name, sizeof name);
    EXPECT_STREQ(name, "IEFrame");
    ASSERT_TRUE(frame_->openBar());

    EXPECT_EQ(log_.calls, (std::vector<std::string>{"SetSite", "GetBandInfo", "ShowDW 1"}));
    EXPECT_EQ(log_.siteWindow, frame_->barWindow());
    EXPECT_TRUE(log_.siteInFrame);
    EXPECT_TRUE(log_.toolbarBeside);
    EXPECT_TRUE(SameObject(log_.browser.get(), main_->dispatch()));
    EXPECT_TRUE(log_.commandTarget);
    EXPECT_TRUE(log_.inputObjectSite);
    EXPECT_EQ(log_.bandId, 1u);
    EXPECT_EQ(log_.viewMode, static_cast<DWORD>(DBIF_VIEWMODE_NORMAL));

    EXPECT_TRUE(traced(std::string("band created ") + kProbeBandName));
    EXPECT_TRUE(traced("band set-site hr=0x00000000"));
    EXPECT_TRUE(
        traced("bandinfo mask=0x3f min=104,104 max=-1,-1 integral=1,1 actual=100,104 "
               "title=\"probe\" flags=0x68"));
    EXPECT_TRUE(traced("bar shown height=104"));
    HWND band = frame_->band()->bandWindow();
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(Height(band), 104);
    EXPECT_EQ(Height(frame_->barWindow()), 104);
    EXPECT_TRUE(frame_->barVisible());

    // The band collapses and says so: the frame asks again and resizes the bar.
    log_.expanded = false;
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = 1;
    EXPECT_EQ(log_.commandTarget->Exec(&CGID_DeskBand, DBID_BANDINFOCHANGED, 0, &id, nullptr),
              S_OK);
    EXPECT_EQ(log_.calls.back(), "GetBandInfo");
    EXPECT_EQ(Height(band), 18);
    EXPECT_EQ(Height(frame_->barWindow()), 18);
    EXPECT_TRUE(traced("bar resized height=18"));
    EXPECT_EQ(log_.commandTarget->Exec(&CGID_ShellDocView, 0, 0, &id, nullptr),
              OLECMDERR_E_UNKNOWNGROUP);
}

TEST_F(LabFrameTest, RightClickOnTheBandShowsItsMenuAndChoosesAnItem) {
    openFrame(kProbeBandName);
    ASSERT_TRUE(frame_->openBar());
    POINT point = {30, 12};
    EXPECT_TRUE(frame_->barMenu("Clear Log", &point));
    EXPECT_EQ(log_.menuPointer.x, 30);
    EXPECT_EQ(log_.menuPointer.y, 12);
    EXPECT_EQ(log_.firstCommand, 1u);
    // The verb is the command's offset from the first id.
    EXPECT_EQ(log_.invoked, (std::vector<UINT_PTR>{5}));
    EXPECT_TRUE(traced("bar-menu items [x]\"&Large Icons\" - \"Clear Log\""));
    EXPECT_TRUE(traced("bar-menu chose \"Clear Log\" hr=0x00000000"));
    EXPECT_TRUE(frame_->barMenu("Large Icons", nullptr)) << "mnemonics do not count";
    EXPECT_EQ(log_.invoked, (std::vector<UINT_PTR>{5, 1}));
    EXPECT_FALSE(frame_->barMenu("Report", nullptr));
    EXPECT_TRUE(traced("bar-menu missing \"Report\""));
    EXPECT_EQ(log_.invoked.size(), 2u);
}

// Puts a row at the top of the list, as the band adds a record.
void AddRow(HWND list, const char* title, const char* url) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>(title);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(url);
    SendMessageA(list, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
}

TEST_F(LabFrameTest, TheBandsStatusBlinkingAndRecordsReachTheTrace) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    openFrame(kProbeBandName);
    ASSERT_TRUE(frame_->openBar());
    ASSERT_NE(log_.list, nullptr);
    SetWindowTextA(log_.caption, "session statistics: 1 stopped popups");
    EXPECT_TRUE(waitFor([&] { return traced("status \"session statistics: 1 stopped popups\""); }));
    ShowWindow(log_.caption, SW_HIDE);
    EXPECT_TRUE(waitFor([&] { return traced("flash"); }));
    ShowWindow(log_.caption, SW_SHOW);
    AddRow(log_.list, "Special offer", "http://ads.example.org/a.html");
    AddRow(log_.list, "Win now", "http://ads.example.org/b.html");
    EXPECT_TRUE(waitFor([&] { return traced("record \"Win now\" *"); }));
    EXPECT_TRUE(traced("record \"Special offer\" \"http://ads.example.org/a.html\""));
    SendMessageA(log_.list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_TRUE(waitFor([&] { return traced("records cleared"); }));
}

TEST_F(LabFrameTest, ShowBrowserBarClosesAndReopensTheBandAfterTheCallerReturns) {
    openFrame(kProbeBandName);
    ASSERT_TRUE(frame_->openBar());
    VARIANT clsid = ClassVariant(kProbeBandClass);
    VARIANT hide;
    VariantInit(&hide);
    hide.vt = VT_BOOL;
    hide.boolVal = VARIANT_FALSE;
    EXPECT_EQ(main_->ShowBrowserBar(&clsid, &hide, nullptr), S_OK);
    EXPECT_EQ(log_.destroyed, 0) << "closed inside the call";
    ASSERT_TRUE(waitFor([&] { return log_.destroyed == 1; }));
    EXPECT_EQ(log_.calls, (std::vector<std::string>{"SetSite", "GetBandInfo", "ShowDW 1",
                                                    "ShowDW 0", "CloseDW", "SetSite(null)"}));
    EXPECT_TRUE(traced("bar hidden"));
    EXPECT_TRUE(traced("band released refs=0"));
    EXPECT_FALSE(frame_->barVisible());
    EXPECT_FALSE(IsWindowVisible(frame_->barWindow()));

    VARIANT show = hide;
    show.boolVal = VARIANT_TRUE;
    EXPECT_EQ(main_->ShowBrowserBar(&clsid, &show, nullptr), S_OK);
    ASSERT_TRUE(waitFor([&] { return log_.created == 2 && frame_->barVisible(); }));

    VARIANT other = ClassVariant(CLSID_WebBrowser);
    EXPECT_EQ(main_->ShowBrowserBar(&other, &hide, nullptr), E_INVALIDARG);
    VariantClear(&other);
    VariantClear(&clsid);

    // The frame closes on the close system command, and the bar with it.
    SendMessageA(frame_->window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(frame_->isOpen());
    EXPECT_EQ(log_.destroyed, 2);
}

TEST_F(LabFrameTest, ABandThatCannotBeCreatedLeavesTheWindowWithoutABar) {
    openFrame("quellmark.nonexistent");
    EXPECT_FALSE(frame_->openBar());
    EXPECT_TRUE(traced("band not-created quellmark.nonexistent hr=0x*"));
    EXPECT_FALSE(frame_->barVisible());
    EXPECT_EQ(log_.created, 0);
}

TEST_F(LabFrameTest, NewWindowsAreAllowedWhileTheBandIsVisibleAndPassThroughOtherwise) {
    openFrame(kProbeBandName);
    main_->navigate("http://www.example.com/");
    ASSERT_TRUE(waitFor([&] { return traced("page loaded main *"); }));
    ComPtr<IHTMLWindow2> window(&main_->document()->window());
    BSTR url = AllocBstr("http://ads.example.org/a.html");
    ComPtr<IHTMLWindow2> opened;

    ASSERT_TRUE(frame_->openBar());
    window->open(url, nullptr, nullptr, VARIANT_FALSE, opened.put());
    EXPECT_TRUE(traced("new-window allowed \"http://ads.example.org/a.html\""));
    frame_->closeBar();
    window->open(url, nullptr, nullptr, VARIANT_FALSE, opened.put());
    EXPECT_TRUE(traced("new-window passed-through \"http://ads.example.org/a.html\""));
    SysFreeString(url);
    opened.reset();
    lab().closeOwnWindows();
}

TEST_F(LabFrameTest, BrowserSizeIsTheWindowsAndTheBandMayChangeIt) {
    openFrame(kProbeBandName);
    LONG width = 0, height = 0;
    EXPECT_EQ(main_->get_Width(&width), S_OK);
    EXPECT_EQ(main_->get_Height(&height), S_OK);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(main_->put_Height(622), S_OK);
    main_->get_Height(&height);
    EXPECT_EQ(height, 622);
    EXPECT_TRUE(traced("browser size 800x622 by=caller"));
    frame_->resize(640, 280);
    main_->get_Width(&width);
    main_->get_Height(&height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 280);
    EXPECT_TRUE(traced("browser size 640x280 by=user"));
}

TEST_F(LabFrameTest, APersonsMouseOnThePageAreaActsOnTheListedElements) {
    load(R"scenario(
page http://www.example.com/
  load 10
  element a id=offer href=http://www.example.com/offer.html target=_blank
  element img id=picture parent=offer
end
)scenario");
    main_->shutdown();
    main_ = LabBrowser::Create(lab(), BrowserRole::Main, "main");
    openFrame("");
    main_->navigate("http://www.example.com/");
    ASSERT_TRUE(waitFor([&] { return traced("page loaded main *"); }));
    // Lines: title, address, BODY, the link, the picture; 16 pixels each below a 4-pixel margin.
    auto row = [](int line) { return MAKELPARAM(10, 4 + line * 16 + 8); };
    HWND page = frame_->pageWindow();
    SendMessageA(page, WM_MOUSEMOVE, 0, row(4));
    SendMessageA(page, WM_MOUSEMOVE, 0, row(3));
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, row(4));
    SendMessageA(page, WM_LBUTTONUP, 0, row(4));
    const std::vector<std::string> expected = {
        "user hover picture",
        "user leave picture",
        "user hover offer",
        "user press picture",
        "user release picture",
        "new-window announced \"http://www.example.com/offer.html\" "
        "name=\"\" features=\"\" by=user from=main"};
    std::vector<std::string> seen;
    for (const std::string& line : trace().lines()) {
        if (line.rfind("user ", 0) == 0 || line.rfind("new-window announced", 0) == 0) {
            seen.push_back(line);
        }
    }
    EXPECT_EQ(seen, expected) << traceText();
    // A press and a release on different elements is no click.
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, row(4));
    SendMessageA(page, WM_LBUTTONUP, 0, row(3));
    int announced = 0;
    for (const std::string& line : trace().lines()) {
        announced += line.rfind("new-window announced", 0) == 0;
    }
    EXPECT_EQ(announced, 1);
    lab().closeOwnWindows();
}

}  // namespace
}  // namespace qm::lab
