// The capture browsers: what a band gets from a control-hosting window
// created by ProgID while the lab's class objects are registered.

#include <windows.h>
#include <exdisp.h>
#include <mshtmdid.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"
#include "lab/win32/capture_classes.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/testing/lab_fixture.h"

namespace qm::lab {
namespace {

using win32::ComPtr;

// A client site whose ambient properties say: no scripts, no Java, no
// ActiveX, no frames, no behaviours, no client pull, silent.
class MinimalLoadSite final : public IOleClientSite, public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {win32::QiEntry<IOleClientSite>(this),
                                       win32::QiEntry<IDispatch>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        ++reads;
        if (dispid == DISPID_AMBIENT_DLCONTROL && result) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = 0x60009780;
        }
        return S_OK;
    }

    int reads = 0;
    ULONG refs_ = 1;
};

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

class LabCaptureTest : public testing::LabFixture {
protected:
    void SetUp() override {
        LabFixture::SetUp();
        load(R"scenario(
page http://ads.example.org/slow.html
  title "Markup"
  load 20
  ready 400
  onload "document.title='Scripted';window.open('http://ads.example.org/more.html')"
  frame http://ads.example.org/frame.html name=inner
end
page http://ads.example.org/never.html
  load 20
  ready never
end
)scenario");
        captures_ = std::make_unique<CaptureClasses>(lab());
        ASSERT_TRUE(captures_->registered());
        // Loaded for the rest of the process: the hosting class it registers
        // points into it.
        atl_ = LoadLibraryA("atl.dll");
        ASSERT_NE(atl_, nullptr);
        auto init = reinterpret_cast<AtlAxWinInitFunction>(
            reinterpret_cast<void*>(GetProcAddress(atl_, "AtlAxWinInit")));
        getControl_ = reinterpret_cast<AtlAxGetControlFunction>(
            reinterpret_cast<void*>(GetProcAddress(atl_, "AtlAxGetControl")));
        ASSERT_TRUE(init && getControl_);
        // The hosting window class is set up once per process; a second call fails.
        static const BOOL initialised = init();
        ASSERT_TRUE(initialised);
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        if (host_) DestroyWindow(host_);
        if (parent_) DestroyWindow(parent_);
        lab().closeOwnWindows();
        captures_.reset();
        LabFixture::TearDown();
    }

    // A hosting window for the ProgID of `clsid`, as a band makes one.
    LabBrowser* host(const CLSID& clsid, DWORD style, HWND parent) {
        LPOLESTR progId = nullptr;
        EXPECT_EQ(ProgIDFromCLSID(clsid, &progId), S_OK);
        std::string text = AnsiFrom(progId);
        CoTaskMemFree(progId);
        host_ = CreateWindowExA(0, "AtlAxWin", text.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(host_, nullptr) << text;
        ComPtr<IUnknown> control;
        if (!host_ || FAILED(getControl_(host_, control.put()))) return nullptr;
        return LabBrowser::From(control.get());
    }

    static READYSTATE State(LabBrowser* browser) {
        READYSTATE state = READYSTATE_UNINITIALIZED;
        browser->get_ReadyState(&state);
        return state;
    }

    std::unique_ptr<CaptureClasses> captures_;
    HMODULE atl_ = nullptr;
    AtlAxGetControlFunction getControl_ = nullptr;
    HWND parent_ = nullptr;
    HWND host_ = nullptr;
};

TEST_F(LabCaptureTest, ControlStaysHiddenAndAMinimalLoadRunsNoScript) {
    LabBrowser* control = host(CLSID_WebBrowser, WS_CHILD, parent_);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->role(), BrowserRole::Control);
    EXPECT_TRUE(traced("capture created capture1 level=2"));
    ComPtr<IOleClientSite> hostSite;
    control->GetClientSite(hostSite.put());
    EXPECT_TRUE(hostSite) << "the hosting window gave the control its site";

    MinimalLoadSite site;
    ComPtr<IOleObject> object;
    control->QueryInterface(IID_IOleObject, object.putVoid());
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    ComPtr<IOleControl> oleControl;
    control->QueryInterface(IID_IOleControl, oleControl.putVoid());
    ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL), S_OK);
    EXPECT_EQ(site.reads, 1);
    EXPECT_TRUE(traced("download-control capture1 0x60009780"));

    control->startAsNewWindow("http://ads.example.org/slow.html", "", "");
    ASSERT_TRUE(waitFor([&] { return traced("page shown capture1 *"); }));
    DWORD shown = GetTickCount();
    EXPECT_EQ(State(control), READYSTATE_INTERACTIVE);
    EXPECT_TRUE(waitFor([&] { return State(control) == READYSTATE_COMPLETE; }, 3000));
    EXPECT_GE(GetTickCount() - shown, 300u);
    // Scripts off: the title is the markup's and no window was asked for.
    BSTR title = nullptr;
    control->get_LocationName(&title);
    EXPECT_STREQ(title, L"Markup");
    SysFreeString(title);
    EXPECT_TRUE(traced("script refused onload *"));
    EXPECT_FALSE(traced("new-window *"));
    // Frames off: the frameset is parsed, its frame never fetched.
    EXPECT_FALSE(traced("*frame.html*")) << traceText();
    EXPECT_EQ(FindWindowA("IEFrame", nullptr), nullptr) << "a control shows no window";

    EXPECT_EQ(control->Quit(), S_OK);
    EXPECT_TRUE(traced("quit capture1"));
    object->SetClientSite(nullptr);
    object.reset();
    oleControl.reset();
    hostSite.reset();
    DestroyWindow(host_);
    host_ = nullptr;
    EXPECT_EQ(site.refs_, 1u);
}

TEST_F(LabCaptureTest, ApplicationShowsAWindowOfItsOwnUntilItQuits) {
    LabBrowser* application = host(CLSID_InternetExplorer, 0, nullptr);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->role(), BrowserRole::Application);
    EXPECT_TRUE(traced("capture created capture1 level=1"));

    application->startAsNewWindow("http://ads.example.org/never.html", "ad", "");
    EXPECT_TRUE(traced("capture shown capture1"));
    HWND window = FindWindowA("IEFrame", nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_TRUE(waitFor([&] { return traced("page shown capture1 *"); }));
    waitFor([] { return false; }, 500);
    EXPECT_EQ(State(application), READYSTATE_INTERACTIVE) << "a page that is never ready";
    EXPECT_FALSE(traced("page loaded capture1 *"));

    application->Quit();
    EXPECT_TRUE(waitFor([] { return FindWindowA("IEFrame", nullptr) == nullptr; }));
    DestroyWindow(host_);
    host_ = nullptr;
}

}  // namespace
}  // namespace qm::lab
