// The lab's browser and page under a probe sink of the test's own: event
// order and argument layout, new windows, frames, clicks and the unload
// scripts, as a band will see them.

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtml.h>

#include <gtest/gtest.h>

#include "lab/win32/bstr.h"
#include "lab/expectation.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_window.h"
#include "lab/win32/testing/lab_fixture.h"
#include "lab/win32/testing/probe_sink.h"
#include "lab/win32/user_actions.h"

namespace qm::lab {
namespace {

using testing::ProbeSink;
using testing::RecordedEvent;
using testing::SameObject;
using win32::ComPtr;

const char kScriptedSite[] = R"scenario(
page http://www.example.com/
  title "Home"
  load 50
  frame http://www.example.com/menu.html name=menu
  frame http://ads.example.org/banner.html name=banner
  size 300x200
  bars toolbar=no resizable=yes
end
page http://www.example.com/menu.html
  frame http://www.example.com/inner.html name=inner
end
page http://www.example.com/inner.html
  element a id=news href=http://www.example.com/news.html
  element b id=bold parent=news
  element a id=toBanner href=http://www.example.com/news.html target=banner
  element a id=scripted href="javascript:document.title='clicked'"
end
page http://ads.example.org/popup.html
  title "Buy now"
  load 20
end
page http://www.example.com/leaving.html
  load 20
  onunload body "window.open('http://ads.example.org/body.html')"
  onbeforeunload window "window.open('http://ads.example.org/window.html')"
  script event=onunload for=window "window.open('http://ads.example.org/block.html')"
  script event=OnBeforeUnload for=window "document.title='bye'"
end
)scenario";

class LabBrowserTest : public testing::LabFixture {
protected:
    void SetUp() override {
        LabFixture::SetUp();
        load(kScriptedSite);
        main_ = LabBrowser::Create(lab(), BrowserRole::Main, "main");
        sink_ = ProbeSink::Create();
        ASSERT_TRUE(sink_->connect(main_->dispatch(), DIID_DWebBrowserEvents2));
    }
    void TearDown() override {
        sink_->disconnect();
        sink_.reset();
        if (main_) main_->shutdown();
        main_.reset();
        LabFixture::TearDown();
    }

    void loadHome() {
        main_->navigate("http://www.example.com/");
        waitForHome();
    }
    void waitForHome() {
        ASSERT_TRUE(waitFor([&] {
            return main_->document() && sink_->count(DISPID_DOCUMENTCOMPLETE) >= 4;
        })) << traceText();
    }

    ComPtr<IHTMLWindow2> mainWindow() { return ComPtr<IHTMLWindow2>(&main_->document()->window()); }

    ComPtr<LabBrowser> main_;
    ComPtr<ProbeSink> sink_;
};

TEST_F(LabBrowserTest, ScriptedPageRaisesTheBrowsersEventsInOrderWithItsArgumentLayout) {
    main_->navigate("http://www.example.com/");
    // BeforeNavigate2 and DownloadBegin come at once; the page follows its load time.
    EXPECT_EQ(sink_->dispids(),
              (std::vector<DISPID>{DISPID_BEFORENAVIGATE2, DISPID_DOWNLOADBEGIN}));
    VARIANT_BOOL busy = VARIANT_FALSE;
    main_->get_Busy(&busy);
    EXPECT_EQ(busy, VARIANT_TRUE);
    waitForHome();

    const std::vector<DISPID> expected = {
        DISPID_BEFORENAVIGATE2,  DISPID_DOWNLOADBEGIN,      DISPID_NAVIGATECOMPLETE2,
        DISPID_BEFORENAVIGATE2,  DISPID_NAVIGATECOMPLETE2,  // menu
        DISPID_BEFORENAVIGATE2,  DISPID_NAVIGATECOMPLETE2,  // inner, inside menu
        DISPID_DOCUMENTCOMPLETE, DISPID_DOCUMENTCOMPLETE,   // inner, menu
        DISPID_BEFORENAVIGATE2,  DISPID_NAVIGATECOMPLETE2,  DISPID_DOCUMENTCOMPLETE,  // banner
        DISPID_TITLECHANGE,      DISPID_WINDOWSETWIDTH,     DISPID_WINDOWSETHEIGHT,
        DISPID_ONTOOLBAR,        DISPID_WINDOWSETRESIZABLE, DISPID_DOWNLOADCOMPLETE,
        DISPID_DOCUMENTCOMPLETE};
    ASSERT_EQ(sink_->dispids(), expected) << traceText();

    const std::vector<RecordedEvent>& events = sink_->events();
    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), reversed.
    const std::vector<VARTYPE> beforeNavigate = {VT_BOOL | VT_BYREF,
                                                 VT_VARIANT | VT_BYREF,
                                                 VT_VARIANT | VT_BYREF,
                                                 VT_VARIANT | VT_BYREF,
                                                 VT_VARIANT | VT_BYREF,
                                                 VT_VARIANT | VT_BYREF,
                                                 VT_DISPATCH};
    EXPECT_EQ(events[0].types, beforeNavigate);
    EXPECT_EQ(events[0].text, L"http://www.example.com/");
    EXPECT_TRUE(SameObject(events[0].object.get(), main_->dispatch()));
    EXPECT_EQ(events[2].types, (std::vector<VARTYPE>{VT_VARIANT | VT_BYREF, VT_DISPATCH}));
    // Frames raise theirs on the top-level browser, with their own browser object.
    EXPECT_EQ(events[3].text, L"http://www.example.com/menu.html");
    EXPECT_FALSE(SameObject(events[3].object.get(), main_->dispatch()));
    EXPECT_EQ(events[3].types, beforeNavigate);
    EXPECT_EQ(events[12].types, (std::vector<VARTYPE>{VT_BSTR}));
    EXPECT_EQ(events[12].text, L"Home");
    EXPECT_EQ(events[13].types, (std::vector<VARTYPE>{VT_I4}));
    EXPECT_EQ(events[13].number, 300);
    EXPECT_EQ(events[14].number, 200);
    EXPECT_EQ(events[15].types, (std::vector<VARTYPE>{VT_BOOL}));
    EXPECT_EQ(events[15].number, 0);   // no tool bar: VARIANT_FALSE
    EXPECT_EQ(events[16].number, -1);  // resizable: VARIANT_TRUE
    EXPECT_TRUE(events[17].types.empty());
    EXPECT_TRUE(SameObject(events.back().object.get(), main_->dispatch()));
    EXPECT_EQ(events.back().text, L"http://www.example.com/");

    READYSTATE state = READYSTATE_UNINITIALIZED;
    main_->get_ReadyState(&state);
    EXPECT_EQ(state, READYSTATE_COMPLETE);
    main_->get_Busy(&busy);
    EXPECT_EQ(busy, VARIANT_FALSE);
    BSTR text = nullptr;
    main_->get_Type(&text);
    EXPECT_STREQ(text, L"HTML Document");
    SysFreeString(text);
    main_->get_LocationName(&text);
    EXPECT_STREQ(text, L"Home");
    SysFreeString(text);
    main_->get_LocationURL(&text);
    EXPECT_STREQ(text, L"http://www.example.com/");
    SysFreeString(text);
}

TEST_F(LabBrowserTest, CancelledNavigationKeepsThePageAndSaysSo) {
    loadHome();
    sink_->clear();
    sink_->react([](DISPID dispid, DISPPARAMS* params) {
        if (dispid == DISPID_BEFORENAVIGATE2) *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    });
    main_->navigate("http://www.example.com/elsewhere.html");
    waitFor([] { return false; }, 200);
    EXPECT_EQ(sink_->dispids(), (std::vector<DISPID>{DISPID_BEFORENAVIGATE2}));
    EXPECT_TRUE(traced("navigation cancelled main \"http://www.example.com/elsewhere.html\""));
    ASSERT_NE(main_->document(), nullptr);
    EXPECT_EQ(main_->document()->url(), "http://www.example.com/");
}

TEST_F(LabBrowserTest, NewWindowHandedBackThroughPpDispIsTheOneThatNavigates) {
    loadHome();
    ComPtr<LabBrowser> capture = LabBrowser::Create(lab(), BrowserRole::Control, "capture1");
    ComPtr<ProbeSink> captureSink = ProbeSink::Create();
    ASSERT_TRUE(captureSink->connect(capture->dispatch(), DIID_DWebBrowserEvents2));
    sink_->clear();
    sink_->react([&](DISPID dispid, DISPPARAMS* params) {
        if (dispid != DISPID_NEWWINDOW2) return;
        // What a band does: put its own browser object, with a reference, into ppDisp.
        capture->AddRef();
        *params->rgvarg[1].ppdispVal = capture->dispatch();
    });

    BSTR url = AllocBstr("http://ads.example.org/popup.html");
    BSTR name = AllocBstr("ad");
    BSTR features = AllocBstr("width=250,height=150,toolbar=no");
    ComPtr<IHTMLWindow2> opened;
    EXPECT_EQ(mainWindow()->open(url, name, features, VARIANT_FALSE, opened.put()), S_OK);
    SysFreeString(url);
    SysFreeString(name);
    SysFreeString(features);

    // NewWindow2 came during the call, with the real layout.
    ASSERT_EQ(sink_->dispids(), (std::vector<DISPID>{DISPID_NEWWINDOW2}));
    EXPECT_EQ(sink_->events()[0].types,
              (std::vector<VARTYPE>{VT_BOOL | VT_BYREF, VT_DISPATCH | VT_BYREF}));
    ASSERT_TRUE(opened);
    BSTR windowName = nullptr;
    opened->get_name(&windowName);
    EXPECT_STREQ(windowName, L"ad");
    SysFreeString(windowName);

    ASSERT_TRUE(waitFor([&] { return captureSink->count(DISPID_DOCUMENTCOMPLETE) == 1; }))
        << traceText();
    // The requests of the feature string, then the popup's own navigation, all on the capture.
    std::vector<DISPID> expected = {
        DISPID_WINDOWSETWIDTH,   DISPID_WINDOWSETHEIGHT,    DISPID_ONTOOLBAR,
        DISPID_ONMENUBAR,        DISPID_ONADDRESSBAR,       DISPID_ONSTATUSBAR,
        DISPID_ONFULLSCREEN,     DISPID_WINDOWSETRESIZABLE, DISPID_BEFORENAVIGATE2,
        DISPID_DOWNLOADBEGIN,    DISPID_NAVIGATECOMPLETE2,  DISPID_TITLECHANGE,
        DISPID_DOWNLOADCOMPLETE, DISPID_DOCUMENTCOMPLETE};
    ASSERT_EQ(captureSink->dispids(), expected);
    EXPECT_EQ(captureSink->events()[0].number, 250);
    EXPECT_EQ(captureSink->events()[8].text, L"http://ads.example.org/popup.html");
    EXPECT_EQ(captureSink->events()[11].text, L"Buy now");
    // Nothing of the popup reached the opener's sink, and the lab opened no window itself.
    EXPECT_EQ(sink_->dispids(), (std::vector<DISPID>{DISPID_NEWWINDOW2}));
    EXPECT_TRUE(traced("new-window captured \"http://ads.example.org/popup.html\" into=capture1"));
    EXPECT_FALSE(traced("window opened *"));

    captureSink->disconnect();
    capture->shutdown();
}

TEST_F(LabBrowserTest, CancelSuppressesTheWindowAndNothingHandedBackOpensOneOfTheLabs) {
    loadHome();
    bool cancel = true;
    sink_->react([&](DISPID dispid, DISPPARAMS* params) {
        if (dispid == DISPID_NEWWINDOW2 && cancel) *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    });
    BSTR url = AllocBstr("http://ads.example.org/popup.html");
    ComPtr<IHTMLWindow2> opened;
    EXPECT_EQ(mainWindow()->open(url, nullptr, nullptr, VARIANT_FALSE, opened.put()), S_OK);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(traced("new-window cancelled \"http://ads.example.org/popup.html\""));
    EXPECT_FALSE(traced("window opened *"));
    EXPECT_EQ(FindWindowA("IEFrame", nullptr), nullptr);

    cancel = false;
    EXPECT_EQ(mainWindow()->open(url, nullptr, nullptr, VARIANT_FALSE, opened.put()), S_OK);
    SysFreeString(url);
    EXPECT_TRUE(opened);
    // No bar in this test: the window passed through, and the lab opened it.
    EXPECT_TRUE(traced("new-window passed-through \"http://ads.example.org/popup.html\""));
    EXPECT_TRUE(traced(
        "window opened window1 name=\"\" features=\"\" \"http://ads.example.org/popup.html\""));
    EXPECT_NE(FindWindowA("IEFrame", nullptr), nullptr);
    EXPECT_TRUE(waitFor([&] { return traced("page loaded window1 *"); })) << traceText();
    opened.reset();
    lab().closeOwnWindows();
    EXPECT_EQ(FindWindowA("IEFrame", nullptr), nullptr);
}

TEST_F(LabBrowserTest, CrossDomainFrameRefusesItsDocument) {
    loadHome();
    ComPtr<IHTMLDocument2> document;
    main_->document()->QueryInterface(IID_IHTMLDocument2, document.putVoid());
    ComPtr<IHTMLFramesCollection2> frames;
    ASSERT_EQ(document->get_frames(frames.put()), S_OK);
    LONG length = 0;
    frames->get_length(&length);
    ASSERT_EQ(length, 2);

    struct Case {
        long index;
        HRESULT expected;
        const wchar_t* url;
    };
    const Case cases[] = {{0, S_OK, L"http://www.example.com/menu.html"},
                          {1, E_ACCESSDENIED, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = c.index;
        VARIANT item;
        VariantInit(&item);
        ASSERT_EQ(frames->item(&index, &item), S_OK);
        ASSERT_EQ(item.vt, VT_DISPATCH);
        ComPtr<IHTMLWindow2> frameWindow;
        item.pdispVal->QueryInterface(IID_IHTMLWindow2, frameWindow.putVoid());
        VariantClear(&item);
        ASSERT_TRUE(frameWindow);
        IHTMLDocument2* frameDocument = reinterpret_cast<IHTMLDocument2*>(0x1);
        EXPECT_EQ(frameWindow->get_document(&frameDocument), c.expected);
        if (c.expected != S_OK) {
            EXPECT_EQ(frameDocument, nullptr);
            continue;
        }
        ASSERT_NE(frameDocument, nullptr);
        BSTR url = nullptr;
        frameDocument->get_URL(&url);
        EXPECT_STREQ(url, c.url);
        SysFreeString(url);
        // The nested frame of the same origin is reachable too.
        ComPtr<IHTMLFramesCollection2> nested;
        frameDocument->get_frames(nested.put());
        LONG nestedLength = 0;
        nested->get_length(&nestedLength);
        EXPECT_EQ(nestedLength, 1);
        frameDocument->Release();
    }
}

TEST_F(LabBrowserTest, ALinkToAFrameNavigatesThatFrameAndNoWindowOpens) {
    loadHome();
    sink_->clear();
    ComPtr<LabElement> link(FindElement(*main_.get(), "toBanner"));
    ASSERT_TRUE(link);
    Click(*link.get());
    ASSERT_TRUE(waitFor([&] { return sink_->count(DISPID_DOCUMENTCOMPLETE) >= 1; })) << traceText();
    EXPECT_EQ(sink_->count(DISPID_NEWWINDOW2), 0);
    EXPECT_TRUE(traced("navigate frame* \"http://www.example.com/news.html\""));
    EXPECT_TRUE(traced("page shown frame* \"http://www.example.com/news.html\""));
    EXPECT_FALSE(traced("navigate main \"http://www.example.com/news.html\""));
    EXPECT_EQ(main_->document()->url(), "http://www.example.com/");
}

TEST_F(LabBrowserTest, AScriptLinkRaisesItsNavigationFirstAndACancelKeepsItsScriptFromRunning) {
    const std::string address = "javascript:document.title='clicked'";
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "let through");
        loadHome();
        sink_->clear();
        sink_->react([cancel](DISPID dispid, DISPPARAMS* params) {
            if (dispid == DISPID_BEFORENAVIGATE2 && cancel) {
                *params->rgvarg[0].pboolVal = VARIANT_TRUE;
            }
        });
        std::size_t from = trace().lines().size();
        ComPtr<LabElement> link(FindElement(*main_.get(), "scripted"));
        ASSERT_TRUE(link);
        Click(*link.get());
        waitFor([] { return false; }, 100);
        sink_->react(nullptr);
        std::vector<std::string> now(trace().lines().begin() + from, trace().lines().end());
        ASSERT_EQ(now.size(), 2u) << traceText();
        EXPECT_TRUE(PatternMatches("navigate frame* \"" + address + "\"", now[0])) << now[0];
        EXPECT_TRUE(PatternMatches(cancel ? "navigation cancelled frame* \"" + address + "\""
                                          : "script link \"document.title='clicked'\"",
                                   now[1]))
            << now[1];
        EXPECT_EQ(sink_->dispids(), (std::vector<DISPID>{DISPID_BEFORENAVIGATE2}));
    }
}

TEST_F(LabBrowserTest, ClickRaisesMousedownMouseupClickOnTheElementsDocument) {
    loadHome();
    LabElement* bold = FindElement(*main_.get(), "bold");
    ASSERT_NE(bold, nullptr);
    LabDocument* menu = bold->document();
    ASSERT_NE(menu, main_->document());

    ComPtr<ProbeSink> menuSink = ProbeSink::Create();
    ComPtr<ProbeSink> topSink = ProbeSink::Create();
    ASSERT_TRUE(
        menuSink->connect(static_cast<IHTMLDocument2*>(menu), __uuidof(HTMLDocumentEvents2)));
    ASSERT_TRUE(topSink->connect(static_cast<IHTMLDocument2*>(main_->document()),
                                 __uuidof(HTMLDocumentEvents2)));
    menuSink->watchWindowEvent(&menu->window());
    // The click follows the link; its navigation is not part of this test.
    sink_->react([](DISPID dispid, DISPPARAMS* params) {
        if (dispid == DISPID_BEFORENAVIGATE2) *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    });

    ComPtr<LabElement> keep(bold);
    Click(*bold);

    // The press moves the focus to the link, which raises onbeforeactivate on it.
    EXPECT_EQ(menuSink->dispids(), (std::vector<DISPID>{DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN,
                                                        DISPID_HTMLDOCUMENTEVENTS2_ONBEFOREACTIVATE,
                                                        DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEUP,
                                                        DISPID_HTMLDOCUMENTEVENTS2_ONCLICK}));
    const std::vector<RecordedEvent>& events = menuSink->events();
    ASSERT_EQ(events.size(), 4u);
    for (std::size_t i : {0u, 2u, 3u}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].types, (std::vector<VARTYPE>{VT_DISPATCH}));
        EXPECT_TRUE(SameObject(events[i].object.get(), static_cast<IHTMLElement*>(bold)));
        EXPECT_EQ(events[i].sourceTag, L"B");
        EXPECT_TRUE(events[i].windowEventMatches);
    }
    EXPECT_EQ(events[0].eventType, L"mousedown");
    EXPECT_EQ(events[2].eventType, L"mouseup");
    EXPECT_EQ(events[3].eventType, L"click");
    EXPECT_EQ(events[1].sourceTag, L"A");
    EXPECT_TRUE(topSink->events().empty());
    ComPtr<IHTMLEventObj> after;
    menu->window().get_event(after.put());
    EXPECT_FALSE(after);

    // The source element's parent is the link, whose href is readable.
    ComPtr<IHTMLElement> parent;
    bold->get_parentElement(parent.put());
    ASSERT_TRUE(parent);
    BSTR hrefName = AllocBstr("href");
    VARIANT href;
    VariantInit(&href);
    EXPECT_EQ(parent->getAttribute(hrefName, 0, &href), S_OK);
    SysFreeString(hrefName);
    ASSERT_EQ(href.vt, VT_BSTR);
    EXPECT_STREQ(href.bstrVal, L"http://www.example.com/news.html");
    VariantClear(&href);
    EXPECT_TRUE(traced("navigate frame* \"http://www.example.com/news.html\""));

    // A press on plain content activates the BODY.
    menuSink->clear();
    LabElement* body = menu->body();
    ComPtr<LabElement> keepBody(body);
    Press(*body);
    EXPECT_EQ(menuSink->dispids(),
              (std::vector<DISPID>{DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN,
                                   DISPID_HTMLDOCUMENTEVENTS2_ONBEFOREACTIVATE}));
    EXPECT_EQ(menuSink->events()[1].sourceTag, L"BODY");

    menuSink->disconnect();
    topSink->disconnect();
}

// Reads a handler property the way the band tests it.
bool HandlerSet(IHTMLBodyElement* body) {
    VARIANT value;
    VariantInit(&value);
    body->get_onunload(&value);
    bool set = value.vt != VT_EMPTY && value.vt != VT_NULL && value.lVal != 0;
    VariantClear(&value);
    return set;
}

TEST_F(LabBrowserTest, ExecScriptOfTheUnloadScriptsClearsTheBodysHandlerNowAndASecondLater) {
    main_->navigate("http://www.example.com/leaving.html");
    ASSERT_TRUE(waitFor([&] { return sink_->count(DISPID_DOCUMENTCOMPLETE) == 1; }));
    ComPtr<IHTMLWindow2> window = mainWindow();
    ComPtr<IHTMLBodyElement> body;
    ASSERT_EQ(main_->document()->body()->QueryInterface(IID_IHTMLBodyElement, body.putVoid()),
              S_OK);
    ASSERT_TRUE(HandlerSet(body.get()));

    BSTR javascript = AllocBstr("Javascript");
    BSTR now = AllocBstr("document.body.onunload=\"\";");
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(window->execScript(now, javascript, &result), S_OK);
    EXPECT_FALSE(HandlerSet(body.get()));
    EXPECT_TRUE(traced("script exec \"document.body.onunload=\\\"\\\";\""));

    // Set again, then the delayed script: the page's own timer clears it after 1000 ms.
    ComPtr<ProbeSink> handler = ProbeSink::Create();
    VARIANT function;
    VariantInit(&function);
    function.vt = VT_DISPATCH;
    function.pdispVal = handler.get();
    ASSERT_EQ(body->put_onunload(function), S_OK);
    ASSERT_TRUE(HandlerSet(body.get()));
    BSTR later = AllocBstr("setTimeout('document.body.onunload=\"\"', 1000);");
    DWORD start = GetTickCount();
    EXPECT_EQ(window->execScript(later, javascript, &result), S_OK);
    EXPECT_TRUE(HandlerSet(body.get()));
    waitFor([] { return false; }, 400);
    EXPECT_TRUE(HandlerSet(body.get())) << "cleared before its second";
    EXPECT_TRUE(waitFor([&] { return !HandlerSet(body.get()); }, 2500));
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_TRUE(traced("script timeout \"document.body.onunload=\\\"\\\"\""));

    BSTR vbscript = AllocBstr("VBScript");
    EXPECT_EQ(window->execScript(now, vbscript, &result), E_INVALIDARG);
    EXPECT_TRUE(traced("script refused exec *"));
    for (BSTR text : {javascript, now, later, vbscript}) SysFreeString(text);
}

TEST_F(LabBrowserTest, LeavingThePageRunsTheHandlersAndBlocksStillSet) {
    main_->navigate("http://www.example.com/leaving.html");
    ASSERT_TRUE(waitFor([&] { return sink_->count(DISPID_DOCUMENTCOMPLETE) == 1; }));
    // What the band's neutralizer does to the body handler and the unload block.
    ComPtr<IHTMLBodyElement> body;
    main_->document()->body()->QueryInterface(IID_IHTMLBodyElement, body.putVoid());
    VARIANT none;
    VariantInit(&none);
    none.vt = VT_DISPATCH;
    none.pdispVal = nullptr;
    ASSERT_EQ(body->put_onunload(none), S_OK);
    ComPtr<IHTMLElementCollection> scripts;
    ASSERT_EQ(main_->document()->get_scripts(scripts.put()), S_OK);
    LONG length = 0;
    scripts->get_length(&length);
    ASSERT_EQ(length, 2);
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = 0;
    VARIANT empty;
    VariantInit(&empty);
    ComPtr<IDispatch> item;
    ASSERT_EQ(scripts->item(index, empty, item.put()), S_OK);
    ComPtr<IHTMLScriptElement> block = item.as<IHTMLScriptElement>();
    ASSERT_TRUE(block);
    BSTR event = nullptr;
    block->get_event(&event);
    EXPECT_STREQ(event, L"onunload");
    SysFreeString(event);
    BSTR nothing = AllocBstr("");
    block->put_text(nothing);
    SysFreeString(nothing);

    sink_->clear();
    main_->navigate("http://www.example.com/");
    waitForHome();
    EXPECT_EQ(sink_->count(DISPID_NEWWINDOW2), 1);
    EXPECT_TRUE(traced("page left main \"http://www.example.com/leaving.html\""));
    EXPECT_TRUE(traced(
        "script onbeforeunload-window \"window.open('http://ads.example.org/window.html')\""));
    EXPECT_TRUE(traced("script block-onbeforeunload \"document.title='bye'\""));
    EXPECT_TRUE(traced("new-window announced \"http://ads.example.org/window.html\"*"));
    EXPECT_FALSE(traced("*body.html*"));
    EXPECT_FALSE(traced("*block.html*"));
    lab().closeOwnWindows();
}

}  // namespace
}  // namespace qm::lab
