// The unload-script neutralizer on the lab's pages: what it clears at window
// load and what it leaves, frames, the polling phase that waits for the
// browser to turn busy, and the setting switched off.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "guard/win32/testing/band_fixture.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_window.h"

namespace qm {
namespace {

using testing::BandFixture;

const char kLeavingSite[] = R"scenario(
page http://www.example.com/leaving.html
  title "Leaving"
  load 20
  onunload body "window.open('http://pop.example.net/body.html','_blank')"
  onbeforeunload body "window.open('http://pop.example.net/body-before.html','_blank')"
  onbeforeunload window "window.open('http://pop.example.net/window.html','_blank')"
  script event=onunload "window.open('http://pop.example.net/block.html','_blank')"
  script event=onbeforeunload "window.open('http://pop.example.net/block-before.html','_blank')"
  script event=OnUnload "window.open('http://pop.example.net/capitals.html','_blank')"
  script event=onload "document.title='Loaded'"
end
page http://www.example.com/frameset.html
  load 20
  frame http://www.example.com/leaving.html name=a
  frame http://www.example.com/middle.html name=b
  frame http://ads.example.org/away.html name=ad
  onunload frameset "window.open('http://pop.example.net/frameset.html','_blank')"
end
page http://www.example.com/middle.html
  frame http://www.example.com/leaving.html name=c
end
page http://ads.example.org/away.html
  onunload body "window.open('http://pop.example.net/away.html','_blank')"
end
page http://www.example.com/late.html
  load 20
  onload "window.onbeforeunload='bye()'"
  function bye "window.open('http://pop.example.net/late.html','_blank')"
end
page http://www.example.com/next.html
  load 300
end
)scenario";

bool HandlerSet(const VARIANT& handler) {
    return V_VT(&handler) != VT_EMPTY && V_VT(&handler) != VT_NULL && V_BYREF(&handler) != nullptr;
}

std::string ScriptText(lab::LabDocument& document, const std::string& event) {
    for (const auto& element : document.elements()) {
        if (element->tag() == "SCRIPT" && element->scriptEvent() == event) {
            return element->scriptText();
        }
    }
    return "(no such block)";
}

class UnloadNeutralizerTest : public BandFixture {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        Start(kLeavingSite);
    }
    lab::LabDocument& Document() { return *mainBrowser().document(); }
    // The page's own window.open calls seen so far.
    int PopupsAsked() const { return CountTraced("new-window announced *"); }
    int TimerTicks(std::uint32_t id) const {
        int count = 0;
        for (std::uint32_t tick : ticks) count += tick == id ? 1 : 0;
        return count;
    }
    // Checks what the clearing leaves of `document`: no handler, no block
    // bound to unloading, and the blocks it must not touch.
    void ExpectCleared(lab::LabDocument& document) {
        SCOPED_TRACE(document.url());
        EXPECT_FALSE(HandlerSet(document.body()->handler("onunload")));
        EXPECT_FALSE(HandlerSet(document.body()->handler("onbeforeunload")));
        EXPECT_FALSE(HandlerSet(document.window().handler("onbeforeunload")));
        EXPECT_EQ(ScriptText(document, "onunload"), "");
        EXPECT_EQ(ScriptText(document, "onbeforeunload"), "");
        EXPECT_EQ(ScriptText(document, "OnUnload"), "")
            << "the browser runs it at unload whatever the name's case";
        EXPECT_EQ(ScriptText(document, "onload"), "document.title='Loaded'");
    }
};

TEST_F(UnloadNeutralizerTest, ThePageLosesItsUnloadScriptsWhenItHasLoaded) {
    Load("http://www.example.com/leaving.html");
    ExpectCleared(Document());
    EXPECT_TRUE(Traced("script exec \"document.body.onunload=\\\"\\\";\""));
    EXPECT_TRUE(Traced("script exec \"setTimeout('document.body.onunload=\\\"\\\"', 1000);\""));

    Load("http://www.example.com/next.html");
    EXPECT_EQ(PopupsAsked(), 0) << TraceText();
}

TEST_F(UnloadNeutralizerTest, EveryFrameOfAFramesetIsClearedToAnyDepth) {
    Load("http://www.example.com/frameset.html");
    lab::LabDocument& top = Document();
    ASSERT_EQ(top.frames().size(), 3u);
    lab::LabDocument* first = top.frames()[0]->document();
    lab::LabDocument* middle = top.frames()[1]->document();
    ASSERT_TRUE(first && middle);
    ASSERT_EQ(middle->frames().size(), 1u);
    lab::LabDocument* deep = middle->frames()[0]->document();
    ASSERT_TRUE(deep);
    ExpectCleared(*first);
    ExpectCleared(*deep);
    EXPECT_FALSE(HandlerSet(top.body()->handler("onunload"))) << "the frameset's own handler";
    lab::LabDocument* foreign = top.frames()[2]->document();
    ASSERT_TRUE(foreign);
    EXPECT_TRUE(HandlerSet(foreign->body()->handler("onunload")))
        << "a frame of another domain refuses its document";

    Load("http://www.example.com/next.html");
    EXPECT_EQ(PopupsAsked(), 1) << TraceText();
    EXPECT_TRUE(Traced("new-window announced \"http://pop.example.net/away.html\" *"));
}

TEST_F(UnloadNeutralizerTest, AHandlerSetAfterLoadIsClearedWhenTheBrowserTurnsBusy) {
    Load("http://www.example.com/late.html");
    EXPECT_TRUE(HandlerSet(Document().window().handler("onbeforeunload")))
        << "the page set it after the pass at load";
    ASSERT_TRUE(page->Neutralizer().ClearOnUnloadTries > 0) << "a polling phase is running";
    int passes = CountTraced("script exec *");
    Load("http://www.example.com/next.html");
    EXPECT_EQ(PopupsAsked(), 0) << TraceText();
    EXPECT_GT(CountTraced("script exec *"), passes) << "a pass while the browser was busy";
}

TEST_F(UnloadNeutralizerTest, APhaseThatNeverSeesTheBrowserBusyEndsAfter91Ticks) {
    Load("http://www.example.com/leaving.html");
    int scriptsAtLoad = CountTraced("script exec *");
    EXPECT_EQ(scriptsAtLoad, 2) << "the pass at window load";
    DWORD start = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return TimerTicks(IDT_CLEARONUNLOAD) >= 91; }, 20000));
    DWORD took = GetTickCount() - start;
    Pump(500);
    EXPECT_EQ(TimerTicks(IDT_CLEARONUNLOAD), 91) << "the timer stopped";
    EXPECT_GE(took, 8500u);
    EXPECT_EQ(CountTraced("script exec *"), scriptsAtLoad) << "the phase did not touch the page";
}

TEST_F(UnloadNeutralizerTest, SwitchedOffNothingIsClearedAndTheScriptsRun) {
    settings.ClearOnUnload = 0;
    Load("http://www.example.com/leaving.html");
    Pump(300);
    EXPECT_EQ(TimerTicks(IDT_CLEARONUNLOAD), 0);
    EXPECT_FALSE(Traced("script exec *"));
    EXPECT_TRUE(HandlerSet(Document().body()->handler("onunload")));
    Load("http://www.example.com/next.html");
    EXPECT_TRUE(Traced("new-window announced \"http://pop.example.net/body.html\" *"));
    EXPECT_TRUE(Traced("new-window announced \"http://pop.example.net/block.html\" *"));
    EXPECT_TRUE(Traced("new-window announced \"http://pop.example.net/window.html\" *"));
}

}  // namespace
}  // namespace qm
