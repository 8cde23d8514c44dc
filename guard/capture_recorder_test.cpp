#include "guard/capture_recorder.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/text.h"

namespace qm {
namespace {

using Reports = std::vector<std::pair<WindowReport, std::int32_t>>;

struct Bars {
    std::int32_t toolbar, menubar, location, directories, status, fullscreen, resizable;
};

Bars BarsOf(const PopupRecord& r) {
    return {r.toolbar, r.menubar, r.location, r.directories, r.status, r.fullscreen, r.resizable};
}

TEST(CaptureRecorder, BarReportsInTheOrderTheyArrive) {
    struct Case {
        const char* label;
        Reports reports;
        Bars expected;
    };
    const Case cases[] = {
        {"nothing reported keeps the initial values", {}, {1, 1, 1, 1, 1, 0, 1}},
        {"no tool bar takes menu, address and links bars with it",
         {{WindowReport::ToolBar, 0}},
         {0, 0, 0, 0, 1, 0, 1}},
        {"menu and address bars reported after the tool bar went are ignored",
         {{WindowReport::ToolBar, 0}, {WindowReport::MenuBar, -1}, {WindowReport::AddressBar, -1}},
         {0, 0, 0, 0, 1, 0, 1}},
        {"with the tool bar on, menu and address bars follow their own reports",
         {{WindowReport::ToolBar, -1}, {WindowReport::MenuBar, 0}, {WindowReport::AddressBar, 0}},
         {-1, 0, 0, -1, 1, 0, 1}},
        {"menu bar reported before the tool bar is overwritten by it",
         {{WindowReport::MenuBar, 0}, {WindowReport::ToolBar, -1}},
         {-1, -1, -1, -1, 1, 0, 1}},
        {"status, full screen and resizable are stored as reported",
         {{WindowReport::StatusBar, 0},
          {WindowReport::FullScreen, -1},
          {WindowReport::Resizable, 0}},
         {1, 1, 1, 1, 0, -1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PopupRecord record;
        for (auto [report, value] : c.reports) ApplyWindowReport(record, report, value);
        Bars got = BarsOf(record);
        EXPECT_EQ(got.toolbar, c.expected.toolbar);
        EXPECT_EQ(got.menubar, c.expected.menubar);
        EXPECT_EQ(got.location, c.expected.location);
        EXPECT_EQ(got.directories, c.expected.directories);
        EXPECT_EQ(got.status, c.expected.status);
        EXPECT_EQ(got.fullscreen, c.expected.fullscreen);
        EXPECT_EQ(got.resizable, c.expected.resizable);
    }
}

TEST(CaptureRecorder, AWindowOf300By200WithoutToolBarReopensWithThoseFeatures) {
    PopupRecord record;
    ApplyWindowReport(record, WindowReport::Height, 300);
    ApplyWindowReport(record, WindowReport::Width, 200);
    ApplyWindowReport(record, WindowReport::ToolBar, 0);
    EXPECT_EQ(record.height, 300);
    EXPECT_EQ(record.width, 200);
    EXPECT_EQ(record.left, -1);
    EXPECT_EQ(record.top, -1);
    EXPECT_EQ(record.OpenFeatures(true),
              L"height=300,width=200,menubar=0,status=1,location=0,toolbar=0,fullscreen=0,"
              L"resizable=1,channelmode=0,directories=0,scrollbars=1,titlebar=1");
}

TEST(CaptureRecorder, TitleSources) {
    PopupRecord record;
    RecordDocumentTitle(record, L"");
    RecordNavigationComplete(record, L"http://ads.example.com/a.html");
    EXPECT_EQ(record.title, L"http://ads.example.com/a.html") << "an untitled page is its address";
    RecordDocumentTitle(record, L"Document title");
    EXPECT_EQ(record.title, L"http://ads.example.com/a.html")
        << "the document title fills only a gap";
    RecordTitleChange(record, L"");
    EXPECT_EQ(record.title, L"http://ads.example.com/a.html") << "an empty title changes nothing";
    RecordTitleChange(record, L"Win a prize");
    RecordNavigationComplete(record, L"http://ads.example.com/b.html");
    EXPECT_EQ(record.title, L"Win a prize");

    PopupRecord quiet;
    RecordDocumentTitle(quiet, L"From the markup");
    EXPECT_EQ(quiet.title, L"From the markup");
}

TEST(CaptureRecorder, FallbackTitles) {
    struct Case {
        const wchar_t* url;
        const wchar_t* title;  // already recorded
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"about:blank", L"", L"blank window"},
        {L"http://x.example.com/?next=about:blank", L"", L"blank window"},
        {L"mailto:someone@example.com", L"", L"email address"},
        {L"http://www.ads.example.com/pop.html", L"", L"example.com: untitled popup"},
        {L"ABOUT:BLANK", L"", L"ABOUT.: untitled popup"},
        {L"http://localhost/", L"", L"localhost.: untitled popup"},
        {L"", L"", L".: untitled popup"},
        {L"about:blank", L"Own title", L"Own title"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "url " << ToAnsi(c.url));
        PopupRecord record;
        record.url = c.url;
        record.title = c.title;
        ApplyFallbackTitle(record);
        EXPECT_EQ(record.title, c.expected);
    }
}

}  // namespace
}  // namespace qm
