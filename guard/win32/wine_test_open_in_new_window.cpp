// Opening windows again through the lab's page: script addresses, names and
// features, and the link whose context menu the user opened.

#include <windows.h>

#include <gtest/gtest.h>

#include "guard/win32/testing/band_fixture.h"
#include "lab/win32/user_actions.h"

namespace qm {
namespace {

using testing::BandFixture;

const char kNewsSite[] = R"scenario(
page http://www.news.example/today.html
  title "Today's news"
  load 20
  element a id=link href=http://www.news.example/sport.html
  element img id=pic parent=link
  function f "window.open('http://www.news.example/f.html','fwin')"
end
popup http://www.news.example/sport.html
  title "Sport"
  load 20
end
)scenario";

class OpenInNewWindowTest : public BandFixture {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        Start(kNewsSite);
    }
};

TEST_F(OpenInNewWindowTest, AScriptAddressRunsInThePageAsTheUsersWindow) {
    Load("http://www.news.example/today.html");
    PopupRecord record;
    record.url = L"javascript:%20%20f()";
    OpenInNewWindow(record);
    EXPECT_TRUE(Traced("script exec \"f()\"")) << TraceText();
    EXPECT_TRUE(Traced("new-window allowed \"http://www.news.example/f.html\"")) << TraceText();
    EXPECT_TRUE(Traced("window opened window1 name=\"fwin\" *"));
    EXPECT_EQ(guard->ClickTriggered, 0);
    EXPECT_EQ(guard->Reopening, 0);
    EXPECT_TRUE(guard->Captures.empty());
}

TEST_F(OpenInNewWindowTest, AnAddressOpensWithTheRecordedNameAndFeatures) {
    Load("http://www.news.example/today.html");
    struct Case {
        const wchar_t* name;
        const char* expected;
    };
    const Case cases[] = {
        {L"",
         "window opened window1 name=\"\" features=\"height=200,width=300,menubar=0,status=1,"
         "location=0,toolbar=0,fullscreen=0,resizable=1,channelmode=0,directories=0,"
         "scrollbars=1,titlebar=1\" \"http://www.news.example/sport.html\""},
        {L"sport", "window opened window2 name=\"sport\" *"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        PopupRecord record;
        record.url = L"http://www.news.example/sport.html";
        record.targetName = c.name;
        record.height = 200;
        record.width = 300;
        record.toolbar = 0;
        record.menubar = 0;
        record.location = 0;
        record.directories = 0;
        OpenInNewWindow(record);
        EXPECT_TRUE(Traced(c.expected)) << TraceText();
        EXPECT_EQ(guard->ClickTriggered, 0);
        EXPECT_EQ(guard->Reopening, 0);
    }
    EXPECT_EQ(CountTraced("new-window allowed *"), 2) << "the click flag lets each through";
    EXPECT_TRUE(guard->Captures.empty());
}

TEST_F(OpenInNewWindowTest, WithoutAPageNothingOpens) {
    PopupRecord record;
    record.url = L"http://www.news.example/sport.html";
    OpenInNewWindow(record);
    EXPECT_FALSE(Traced("new-window *")) << TraceText();
    EXPECT_EQ(guard->ClickTriggered, 0);
    EXPECT_EQ(guard->Reopening, 0);
}

TEST_F(OpenInNewWindowTest, TheLinkChosenFromItsContextMenuOpensAsAnOrdinaryWindow) {
    Load("http://www.news.example/today.html");
    lab::RightClick(Element("pic"));
    EXPECT_EQ(guard->AnchorHref, L"http://www.news.example/sport.html");
    EXPECT_EQ(guard->ClickTriggered, 0);
    EXPECT_EQ(guard->Reopening, 0);

    ASSERT_TRUE(lab::OpenInNewWindow(Element("pic")));
    EXPECT_TRUE(Traced("new-window captured \"http://www.news.example/sport.html\" into=capture1"))
        << TraceText();
    ASSERT_TRUE(WaitFor([&] { return Traced("window opened window1 *"); })) << TraceText();
    EXPECT_TRUE(Traced("navigation cancelled capture1 \"http://www.news.example/sport.html\""));
    EXPECT_TRUE(Traced("new-window allowed \"http://www.news.example/sport.html\""));
    EXPECT_TRUE(Traced("window opened window1 name=\"\" * \"http://www.news.example/sport.html\""))
        << TraceText();
    EXPECT_TRUE(guard->Records.empty()) << "a wanted window is not recorded";
    EXPECT_EQ(guard->StoppedCount, 0);
    EXPECT_TRUE(guard->Captures.empty());
    EXPECT_EQ(guard->AnchorHref, L"");
    EXPECT_EQ(guard->CaptureDecided, 0);
}

}  // namespace
}  // namespace qm
