#include "lab/trace_lines.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

TEST(TraceLines, QuotesEscapeWhatWouldBreakALine) {
    EXPECT_EQ(Quote(""), "\"\"");
    EXPECT_EQ(Quote("say \"hi\" \\o/"), "\"say \\\"hi\\\" \\\\o/\"");
    EXPECT_EQ(Quote("a\r\nb\x1b\x7f"), "\"a\\x0D\\x0Ab\\x1B\\x7F\"");
    EXPECT_EQ(Quote("\xe9t\xe9"), "\"\xe9t\xe9\"");
    EXPECT_EQ(Hex32(0x80040154u), "0x80040154");
    EXPECT_EQ(Hex32(0), "0x00000000");
}

TEST(TraceLines, BandInfoShowsOnlyTheMembersLeftInTheMask) {
    BandInfoAnswer expanded;
    expanded.mask = 0x3F;
    expanded.minSize = {104, 104};
    expanded.maxSize = {-1, -1};
    expanded.integral = {1, 1};
    expanded.actual = {100, 104};
    expanded.title = "quellmark";
    expanded.modeFlags = 0x68;
    EXPECT_EQ(lines::BandInfo(expanded),
              "bandinfo mask=0x3f min=104,104 max=-1,-1 integral=1,1 actual=100,104 "
              "title=\"quellmark\" flags=0x68");

    BandInfoAnswer partial;
    partial.mask = kBandActual | kBandBackColor;
    partial.actual = {100, 18};
    partial.backColor = 0xFF;
    EXPECT_EQ(lines::BandInfo(partial), "bandinfo mask=0x48 actual=100,18 color=0x000000ff");
}

TEST(TraceLines, EventLines) {
    EXPECT_EQ(lines::NewWindowAnnounced("http://a/p", "ad", "width=200", "script", "main"),
              "new-window announced \"http://a/p\" name=\"ad\" features=\"width=200\" by=script "
              "from=main");
    EXPECT_EQ(lines::NewWindowResult(NewWindowOutcome::Captured, "http://a/p", "capture1"),
              "new-window captured \"http://a/p\" into=capture1");
    EXPECT_EQ(lines::NewWindowResult(NewWindowOutcome::PassedThrough, "http://a/p", ""),
              "new-window passed-through \"http://a/p\"");
    EXPECT_EQ(lines::User("resize", "640x280"), "user resize 640x280");
    EXPECT_EQ(lines::Setting("MaxLogSize", -1), "setting MaxLogSize=-1");
    EXPECT_EQ(lines::User("leave-page", ""), "user leave-page");
    using K = WindowRequest::Kind;
    EXPECT_EQ(lines::Requests("capture2", {{K::Height, 300}, {K::ToolBar, 0}}),
              "requests capture2 height=300 toolbar=0");
    EXPECT_EQ(lines::DownloadControl("capture1", 0x60009780u),
              "download-control capture1 0x60009780");
}

TEST(TraceLines, WhatTheBandsPagesAndDialogsShow) {
    using K = ControlEntry::Kind;
    struct Case {
        std::vector<ControlEntry> controls;
        const char* page;
    };
    const Case cases[] = {
        {{}, "band-page"},
        {{{K::Combo, "High", false, true}, {K::Check, "Block ALL new windows", true, false}},
         "band-page [gray]combo=\"High\" [x]\"Block ALL new windows\""},
        {{{K::Check, "Flash window\nis blocked"}, {K::Text, "Level"}, {K::Button, "Clear"}},
         "band-page [ ]\"Flash window\\x0Ais blocked\" \"Level\" button=\"Clear\""},
        {{{K::Text, "Rule Name:"}, {K::Edit, "ads \"x\""}, {K::Button, "OK", false, true}},
         "band-page \"Rule Name:\" edit=\"ads \\\"x\\\"\" [gray]button=\"OK\""},
    };
    for (const Case& c : cases) EXPECT_EQ(lines::BandPage(c.controls), c.page);
    EXPECT_EQ(lines::DialogShown("Add Rule", {{K::Edit, ""}, {K::Check, "On", true}}),
              "dialog shown \"Add Rule\" edit=\"\" [x]\"On\"");
    EXPECT_EQ(lines::DialogStep("filled", "Rule Name:", "ads"),
              "dialog filled \"Rule Name:\" \"ads\"");
    EXPECT_EQ(lines::DialogStep("pressed", "OK"), "dialog pressed \"OK\"");
    EXPECT_EQ(lines::DialogUnanswered("Error"), "dialog unanswered \"Error\"");
    EXPECT_EQ(lines::BarShowWindow(false, 0), "bar show-window false hr=0x00000000");
    EXPECT_EQ(lines::Row({"T", "http://a/", "300x200"}), "row \"T\" \"http://a/\" \"300x200\"");
    EXPECT_EQ(lines::DialogRow({"12/08/26 10:19", "http://a/\"q\""}),
              "dialog row \"12/08/26 10:19\" \"http://a/\\\"q\\\"\"");
    EXPECT_EQ(lines::SettingWritten("MaxLogSize", -1), "setting-written MaxLogSize=-1");
}

TEST(TraceLines, ListsShowTheirRowsInOrderWithPictureAndSelection) {
    using K = ControlEntry::Kind;
    ControlEntry rules{K::List, ""};
    rules.rows = {{"Deals", 7, false}, {"TO a.example \"x\"", 5, true}, {"", -1, false}};
    ControlEntry empty{K::List, "ignored"};
    empty.grayed = true;
    EXPECT_EQ(lines::BandPage({{K::Text, "Black List"}, rules, {K::Button, "Delete"}, empty}),
              "band-page \"Black List\" list=[7:\"Deals\" [sel]5:\"TO a.example \\\"x\\\"\" "
              "-:\"\"] button=\"Delete\" [gray]list=[]");
    EXPECT_EQ(lines::DialogShown("Log", {rules}),
              "dialog shown \"Log\" list=[7:\"Deals\" [sel]5:\"TO a.example \\\"x\\\"\" "
              "-:\"\"]");
    EXPECT_EQ(lines::DialogNow("Log", {{K::Edit, "STOPPED!\r\nurl: x"}}),
              "dialog now \"Log\" edit=\"STOPPED!\\x0D\\x0Aurl: x\"");
}

TEST(TraceLines, CaptionHintShellAndPointerLines) {
    struct Case {
        std::string line;
        const char* expected;
    };
    const Case cases[] = {
        {lines::Caption(false, false, 913), "caption hidden after=913"},
        {lines::Caption(true, false, 0), "caption shown after=0"},
        {lines::Caption(false, true, 1017), "caption hidden by=layout after=1017"},
        {lines::Caption(true, true, 5), "caption shown by=layout after=5"},
        {lines::HintShown("Exit Quellmark."), "hint shown \"Exit Quellmark.\""},
        {lines::HintGone("Exit Quellmark.", 2004), "hint gone \"Exit Quellmark.\" after=2004"},
        {lines::ShellOpen("open", "C:\\qm\\qmhelp.chm"), "shell open \"C:\\\\qm\\\\qmhelp.chm\""},
        {lines::ShellOpen("", "mailto:a@b.example"), "shell open \"mailto:a@b.example\""},
        {lines::ShellOpen("print", "x.txt", "/q"), "shell print \"x.txt\" parameters=\"/q\""},
        {lines::BandDoubleClickedBelowRows(), "band double-clicked below-rows"},
        {lines::DialogClickedRow(2, "12/09/26 03:26:40AM"),
         "dialog clicked row 2 \"12/09/26 03:26:40AM\""},
        {lines::DialogClickedBelowRows(), "dialog clicked below-rows"},
        {lines::DialogWaited(2500), "dialog waited 2500"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.line, c.expected);
}

TEST(TraceLines, DecisionsSayWhatTheBandDidAndWhy) {
    using B = DecisionNote::Because;
    DecisionNote newWindow;
    newWindow.window = 3;
    newWindow.level = 2;
    newWindow.clicked = 1;
    newWindow.outcome = qm::NewWindowOutcome::Allowed;
    newWindow.because = B::Click;
    EXPECT_EQ(lines::Decision(newWindow),
              "decision 3 new-window allowed because=click level=2 click=yes plug-in=no "
              "block-all=no");
    newWindow.because = B::Key;
    newWindow.clicked = 0;
    newWindow.blockAll = 1;
    EXPECT_EQ(lines::Decision(newWindow),
              "decision 3 new-window allowed because=key level=2 click=no plug-in=no "
              "block-all=yes");
    newWindow.outcome = qm::NewWindowOutcome::NotCaptured;
    newWindow.because = B::NoCapture;
    newWindow.overPlugin = 1;
    newWindow.blockAll = 1;
    EXPECT_EQ(lines::Decision(newWindow),
              "decision 3 new-window not-captured because=no-capture level=2 click=no "
              "plug-in=yes block-all=yes");

    DecisionNote navigation;
    navigation.step = DecisionNote::Step::Navigation;
    navigation.window = 1;
    navigation.level = 1;
    navigation.held = 1;
    navigation.because = B::BlackRule;
    navigation.url = L"http://ads.example/\\x";
    navigation.blackRule = "Ad \"network\"";
    EXPECT_EQ(lines::Decision(navigation),
              "decision 1 navigation held \"http://ads.example/\\\\x\" because=black-rule level=1 "
              "black=\"Ad \\\"network\\\"\"");

    DecisionNote conclusion;
    conclusion.step = DecisionNote::Step::Conclusion;
    conclusion.window = 2;
    conclusion.level = 2;
    conclusion.ending = DecisionNote::Ending::Stopped;
    conclusion.timeLimit = 1;
    conclusion.counted = 0;
    conclusion.because = B::WhiteRule;
    conclusion.url = L"http://partner.example/";
    conclusion.whiteRule = "";
    EXPECT_EQ(lines::Decision(conclusion),
              "decision 2 capture stopped \"http://partner.example/\" because=white-rule level=2 "
              "page=time-limit counted=no white=\"\"");
}

TEST(TraceLines, BarMenuShowsEveryEntryWithItsState) {
    std::vector<MenuEntry> entries = {{"Large Icons"},
                                      {"Small Icons", false, true},
                                      {"", true},
                                      {"Add \"x\"", false, false, true}};
    EXPECT_EQ(lines::BarMenuItems(entries),
              "bar-menu items \"Large Icons\" [x]\"Small Icons\" - [gray]\"Add \\\"x\\\"\"");
    EXPECT_EQ(lines::BarMenuItems({}), "bar-menu items");
    EXPECT_EQ(lines::BarMenuChose("Clear Log", 0), "bar-menu chose \"Clear Log\" hr=0x00000000");
}

TEST(BandInfo, BarHeightFollowsTheBandsAnswer) {
    struct Case {
        std::uint32_t mask;
        int minY, maxY, actualY;
        int height;
    };
    const Case cases[] = {
        {0x3F, 104, -1, 104, 104},  // expanded band
        {0x3F, 18, 18, 18, 18},     // collapsed band
        {0x3F, 18, 18, 104, 18},    // the maximum wins over the ideal
        {0x3F, 104, -1, 50, 104},   // the minimum wins over the ideal
        {kBandMinSize, 30, 0, 0, 30},
        {kBandActual, 0, 0, 40, 40},
        {kBandActual | kBandMaxSize, 0, -5, 40, 40},  // a negative maximum means none
        {0, 10, 10, 10, 0},
        {kBandActual, 0, 0, -3, 0},
    };
    for (const Case& c : cases) {
        BandInfoAnswer answer;
        answer.mask = c.mask;
        answer.minSize.y = c.minY;
        answer.maxSize.y = c.maxY;
        answer.actual.y = c.actualY;
        EXPECT_EQ(BarHeight(answer), c.height) << "mask " << c.mask << " min " << c.minY << " max "
                                               << c.maxY << " actual " << c.actualY;
    }
}

}  // namespace
}  // namespace qm::lab
