// The capture of a popup through the lab: the road of one popup from the
// page's window.open to its record, log line, count and status text; what
// a capture records; its time limit; minimal loads; "Record Only".

#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
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
  function promo "window.open('http://ads.example.com/pop.html','promo','height=300,width=200,left=10,top=20,toolbar=no')"
  function again "window.open('http://www.news.example/again.html','quellmarkwindow')"
end
popup http://ads.example.com/pop.html
  title "Win a prize"
  load 20
  ready 100
  onload "document.title='Changed by script'"
end
)scenario";

class CaptureTest : public BandFixture {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        Start(kNewsSite);
        Load("http://www.news.example/today.html");
    }
    bool WaitForRecords(std::size_t count, unsigned milliseconds = 5000) {
        return WaitFor([&] { return guard->Records.size() >= count; }, milliseconds);
    }
};

TEST_F(CaptureTest, TheRoadOfOnePopupAtFullProtection) {
    DWORD start = GetTickCount();
    RunPageScript("promo()");
    EXPECT_TRUE(
        Traced("new-window announced \"http://ads.example.com/pop.html\" name=\"promo\" "
               "features=\"height=300,width=200,left=10,top=20,toolbar=no\" by=script from=main"))
        << TraceText();
    EXPECT_TRUE(Traced("new-window captured \"http://ads.example.com/pop.html\" into=capture1"))
        << TraceText();
    EXPECT_TRUE(Traced("capture created capture1 level=2"));
    ASSERT_EQ(guard->Captures.size(), 1u);
    EXPECT_TRUE(guard->Records.empty()) << "recorded only when it finishes";

    ASSERT_TRUE(WaitForRecords(1)) << TraceText();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u) << "a complete page finishes at the next readiness tick";
    EXPECT_TRUE(guard->Captures.empty());
    EXPECT_TRUE(Traced("quit capture1")) << "the hidden browser goes with its capture";

    const PopupRecord& record = *guard->Records[0];
    EXPECT_EQ(record.url, L"http://ads.example.com/pop.html");
    EXPECT_EQ(record.title, L"Win a prize") << "scripts of a minimal load do not run";
    EXPECT_EQ(record.targetName, L"promo");
    EXPECT_EQ(record.sourceTitle, L"Today's news");
    EXPECT_EQ(record.sourceUrl, L"http://www.news.example/today.html");
    EXPECT_EQ(record.height, 300);
    EXPECT_EQ(record.width, 200);
    EXPECT_EQ(record.left, 10);
    EXPECT_EQ(record.top, 20);
    EXPECT_EQ(record.toolbar, 0);
    EXPECT_EQ(record.menubar, 0);
    EXPECT_EQ(record.location, 0);
    EXPECT_EQ(record.directories, 0);
    EXPECT_NE(record.stopped, 0);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].url, record.url);
    EXPECT_EQ(LogText(), record.ToLogLine());
    EXPECT_EQ(guard->StoppedCount, 1);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "session statistics: 1 stopped popups");
    EXPECT_EQ(flashes, 1);
    EXPECT_TRUE(Traced("download-control capture1 0x60009780")) << TraceText();
    EXPECT_EQ(AmbientQueries(), 1);
    EXPECT_TRUE(Traced("script refused onload \"document.title='Changed by script'\""));
}

TEST_F(CaptureTest, WithoutMinimalLoadThePopupsScriptsRun) {
    settings.LoadBare = 0;
    RunPageScript("promo()");
    ASSERT_TRUE(WaitForRecords(1)) << TraceText();
    EXPECT_EQ(guard->Records[0]->title, L"Changed by script");
    EXPECT_FALSE(Traced("download-control *"));
    EXPECT_EQ(AmbientQueries(), 0);
}

TEST_F(CaptureTest, RecordOnlyWatchesThePopupsOwnWindowAndRecordsItUnstopped) {
    settings.GuardLevel = 1;
    RunPageScript("promo()");
    EXPECT_TRUE(Traced("capture created capture1 level=1")) << TraceText();
    EXPECT_TRUE(Traced("capture shown capture1")) << "the user sees the popup";
    ASSERT_TRUE(WaitForRecords(1)) << TraceText();
    const PopupRecord& record = *guard->Records[0];
    EXPECT_EQ(record.stopped, 0);
    EXPECT_EQ(record.title, L"Changed by script") << "no minimal load for a watched window";
    EXPECT_EQ(record.targetName, L"promo");
    EXPECT_EQ(guard->StoppedCount, 0);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "session statistics: 0 stopped popups");
    EXPECT_EQ(flashes, 0);
    EXPECT_EQ(LogText(), record.ToLogLine());
    EXPECT_FALSE(Traced("quit capture1")) << "the popup's window stays open";
    EXPECT_TRUE(HostWindows().empty()) << "the host of a concluded capture holds its browser";

    // The window now answers to our name: the page reaches it under it.
    RunPageScript("again()");
    EXPECT_TRUE(Traced("window reused capture1 name=\"quellmarkwindow\" *")) << TraceText();
}

TEST_F(CaptureTest, ACaptureThatCannotBeMadeLetsTheWindowOpenUncounted) {
    noCaptureParent = true;
    RunPageScript("promo()");
    EXPECT_TRUE(Traced("new-window allowed \"http://ads.example.com/pop.html\"")) << TraceText();
    EXPECT_TRUE(Traced("window opened window1 name=\"promo\" *")) << TraceText();
    EXPECT_FALSE(Traced("capture created *")) << "no browser control was hosted";
    EXPECT_TRUE(guard->Captures.empty());
    Pump(1200);
    EXPECT_TRUE(guard->Records.empty());
    EXPECT_EQ(guard->StoppedCount, 0);
    EXPECT_TRUE(statuses.empty());
}

const char kSlowPopups[] = R"scenario(
page http://www.news.example/today.html
  title "Today's news"
  load 20
  function open4 "window.open('about:blank','');window.open('mailto:editor@news.example','mail');window.open('http://www.shop.example.co/offer.html','offer');window.open('http://slow.example.net/wait.html','slow')"
end
popup about:blank
  load 60000
end
popup mailto:editor@news.example
  load 60000
end
popup http://www.shop.example.co/offer.html
  load 60000
end
popup http://slow.example.net/wait.html
  title "Still loading"
  load 20
  ready never
end
)scenario";

class SlowCaptureTest : public CaptureTest {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        Start(kSlowPopups);
        Load("http://www.news.example/today.html");
    }
};

TEST_F(SlowCaptureTest, PagesThatNeverCompleteAreRecordedAfter15Seconds) {
    DWORD start = GetTickCount();
    RunPageScript("open4()");
    ASSERT_EQ(guard->Captures.size(), 4u) << TraceText();
    EXPECT_FALSE(WaitForRecords(1, 14500)) << "recorded before its time limit";
    ASSERT_TRUE(WaitForRecords(4, 4000)) << TraceText();
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 15000u);
    EXPECT_LT(took, 18500u);

    struct Expected {
        const wchar_t* url;
        const wchar_t* title;
        const wchar_t* targetName;
    };
    const Expected expected[] = {
        {L"about:blank", L"blank window", L""},
        {L"mailto:editor@news.example", L"email address", L"mail"},
        {L"http://www.shop.example.co/offer.html", L"example.co: untitled popup", L"offer"},
        {L"http://slow.example.net/wait.html", L"Still loading", L"slow"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(ToAnsi(e.url));
        const PopupRecord* found = nullptr;
        for (const auto& record : guard->Records) {
            if (record->url == e.url) found = record.get();
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->title, e.title);
        EXPECT_EQ(found->targetName, e.targetName);
        EXPECT_NE(found->stopped, 0);
    }
    EXPECT_EQ(guard->StoppedCount, 4);
    EXPECT_EQ(CountTraced("quit capture*"), 4);
}

}  // namespace
}  // namespace qm
