// sinkHTML as a COM object: one identity behind its three sink parts, every
// reference given back, and events whose arguments are not what they should
// be are read safely (type checked, right to left).

#include <windows.h>
#include <exdispid.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/win32/module_lock.h"
#include "page/click_detector.h"
#include "page/win32/sink_html.h"

namespace qm {
namespace {

using win32::ComPtr;

// A band page that records what reaches it and fails on what must not.
class RecordingPage : public PageEventTarget {
public:
    NewWindowOutcome OnNewWindow2() override {
        ++newWindows;
        if (sink && pendingWindow) sink->PendingWindow = ComPtr<IDispatch>(pendingWindow);
        return outcome;
    }
    void OnBeforeNavigate2() override { ++navigations; }
    void SinkWindow(IDispatch*, std::wstring_view url) override { windowUrls.emplace_back(url); }
    void OnDocumentComplete() override { ++documentsComplete; }
    void WindowLoaded() override { ++loads; }
    void ScheduleUnloadNeutralizer() override { ADD_FAILURE() << "no activation was sent"; }
    ClickDetector& Clicks() override {
        ADD_FAILURE() << "no page event was sent";
        std::abort();  // no detector to hand back
    }

    NewWindowOutcome outcome = NewWindowOutcome::Allowed;
    SinkHtml* sink = nullptr;
    IDispatch* pendingWindow = nullptr;
    int newWindows = 0;
    int navigations = 0;
    int documentsComplete = 0;
    int loads = 0;
    std::vector<std::wstring> windowUrls;
};

// Arguments as a caller writes them: first argument last in rgvarg.
struct Arguments {
    std::vector<VARIANT> slots;
    DISPPARAMS params{};
    explicit Arguments(std::vector<VARIANT> inOrder) : slots(inOrder.rbegin(), inOrder.rend()) {
        params.rgvarg = slots.empty() ? nullptr : slots.data();
        params.cArgs = static_cast<UINT>(slots.size());
    }
};

VARIANT Ref(VARTYPE type, void* target) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = static_cast<VARTYPE>(VT_BYREF | type);
    V_BYREF(&v) = target;
    return v;
}

VARIANT Long(LONG value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

HRESULT Fire(IDispatch* part, DISPID id, Arguments& args) {
    return part->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &args.params, nullptr, nullptr, nullptr);
}

class SinkHtmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        locksAtStart = win32::ModuleLockCount();
        sink = SinkHtml::Create(SinkOwner{SinkOwner::PageKind, &page, nullptr}, nullptr);
        ASSERT_TRUE(sink);
        page.sink = sink.get();
        sink->QueryInterface(DIID_DWebBrowserEvents2, browserPart.putVoid());
        ASSERT_TRUE(browserPart);
    }
    void TearDown() override {
        browserPart.reset();
        page.sink = nullptr;
        if (sink) {
            EXPECT_EQ(sink.detach()->Release(), 0u);
        }
        EXPECT_EQ(win32::ModuleLockCount(), locksAtStart);
    }

    long locksAtStart = 0;
    RecordingPage page;
    ComPtr<SinkHtml> sink;
    ComPtr<IDispatch> browserPart;
};

TEST_F(SinkHtmlTest, ThreePartsOneIdentityAndEveryReferenceCounted) {
    ComPtr<IDispatch> documentPart;
    ComPtr<IDispatch> windowPart;
    ASSERT_EQ(sink->QueryInterface(DIID_HTMLDocumentEvents2, documentPart.putVoid()), S_OK);
    ASSERT_EQ(sink->QueryInterface(DIID_HTMLWindowEvents2, windowPart.putVoid()), S_OK);
    EXPECT_NE(documentPart.get(), browserPart.get());
    EXPECT_NE(windowPart.get(), documentPart.get());

    ComPtr<IUnknown> identity;
    ASSERT_EQ(sink->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
    for (IDispatch* part : {browserPart.get(), documentPart.get(), windowPart.get()}) {
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(part->QueryInterface(IID_IUnknown, unknown.putVoid()), S_OK);
        EXPECT_EQ(unknown.get(), identity.get());
        // A connection point asks the part for IDispatch and gets the part.
        ComPtr<IDispatch> dispatch;
        ASSERT_EQ(part->QueryInterface(IID_IDispatch, dispatch.putVoid()), S_OK);
        EXPECT_EQ(dispatch.get(), part);
    }
    ComPtr<IDispatch> main;
    ASSERT_EQ(windowPart->QueryInterface(IID_IsinkHTML, main.putVoid()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(main.get()), identity.get());

    void* poisoned = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(documentPart->QueryInterface(IID_IOleObject, &poisoned), E_NOINTERFACE);
    EXPECT_EQ(poisoned, nullptr);
    EXPECT_EQ(browserPart->QueryInterface(DIID_HTMLWindowEvents2, windowPart.putVoid()), S_OK)
        << "any part reaches every other";
}

TEST_F(SinkHtmlTest, DisabledEventsAreIgnored) {
    Arguments none({});
    EXPECT_EQ(Fire(browserPart.get(), DISPID_BEFORENAVIGATE2, none), S_OK);
    EXPECT_EQ(Fire(browserPart.get(), DISPID_STATUSTEXTCHANGE, none), S_OK)
        << "unrouted events are accepted";
    EXPECT_EQ(page.navigations, 0);
    sink->EnableEvents({DISPID_BEFORENAVIGATE2});
    EXPECT_EQ(Fire(browserPart.get(), DISPID_BEFORENAVIGATE2, none), S_OK);
    EXPECT_EQ(page.navigations, 1);
}

TEST_F(SinkHtmlTest, NewWindowAnswersOnlyThroughSlotsOfTheRightType) {
    sink->EnableEvents({DISPID_NEWWINDOW2});
    ComPtr<IDispatch> capture;
    sink->QueryInterface(IID_IDispatch, capture.putVoid());
    page.pendingWindow = capture.get();

    struct Case {
        const char* label;
        NewWindowOutcome outcome;
        bool typedSlots;
        bool handedOver;
        VARIANT_BOOL cancel;
    };
    const Case cases[] = {
        {"captured: the browser object is handed over", NewWindowOutcome::Captured, true, true,
         VARIANT_FALSE},
        {"cancelled", NewWindowOutcome::Cancelled, true, false, VARIANT_TRUE},
        {"allowed: nothing is answered", NewWindowOutcome::Allowed, true, false, VARIANT_FALSE},
        {"slots of the wrong type are left alone", NewWindowOutcome::Cancelled, false, false,
         VARIANT_FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        page.outcome = c.outcome;
        IDispatch* window = nullptr;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        LONG wrong = 0;
        Arguments args(c.typedSlots
                           ? std::vector<VARIANT>{Ref(VT_DISPATCH, &window), Ref(VT_BOOL, &cancel)}
                           : std::vector<VARIANT>{Ref(VT_I4, &wrong), Long(-1)});
        EXPECT_EQ(Fire(browserPart.get(), DISPID_NEWWINDOW2, args), S_OK);
        EXPECT_EQ(cancel, c.cancel);
        EXPECT_EQ(window != nullptr, c.handedOver);
        EXPECT_EQ(wrong, 0);
        // The browser owns what it was handed.
        if (window) window->Release();
        EXPECT_FALSE(sink->PendingWindow) << "the hand-over field is emptied";
    }
    EXPECT_EQ(page.newWindows, 4);
}

TEST_F(SinkHtmlTest, NavigationCompleteCountsOnlyForItsOwnBrowser) {
    sink->EnableEvents({DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE});
    ComPtr<IDispatch> someone;
    sink->QueryInterface(IID_IDispatch, someone.putVoid());
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocString(L"http://www.example.com/");
    VARIANT browser;
    VariantInit(&browser);
    V_VT(&browser) = VT_DISPATCH;
    V_DISPATCH(&browser) = someone.get();

    // No browser set: every browser counts. The address arrives by reference.
    Arguments complete({browser, Ref(VT_VARIANT, &url)});
    EXPECT_EQ(Fire(browserPart.get(), DISPID_NAVIGATECOMPLETE2, complete), S_OK);
    ASSERT_EQ(page.windowUrls.size(), 1u);
    EXPECT_EQ(page.windowUrls[0], L"http://www.example.com/");

    // Missing arguments: read as nothing, no crash.
    Arguments shortOne({});
    EXPECT_EQ(Fire(browserPart.get(), DISPID_DOCUMENTCOMPLETE, shortOne), S_OK);
    EXPECT_EQ(page.documentsComplete, 1);
    VariantClear(&url);
}

TEST_F(SinkHtmlTest, ADetachedSinkReachesNobody) {
    sink->EnableEvents({DISPID_BEFORENAVIGATE2, DISPID_NEWWINDOW2});
    sink->Detach();
    Arguments none({});
    EXPECT_EQ(Fire(browserPart.get(), DISPID_BEFORENAVIGATE2, none), S_OK);
    EXPECT_EQ(Fire(browserPart.get(), DISPID_NEWWINDOW2, none), S_OK);
    ComPtr<IDispatch> windowPart;
    sink->QueryInterface(DIID_HTMLWindowEvents2, windowPart.putVoid());
    EXPECT_EQ(Fire(windowPart.get(), 1003, none), S_OK);
    EXPECT_EQ(page.navigations + page.newWindows + page.loads, 0);
}

}  // namespace
}  // namespace qm
