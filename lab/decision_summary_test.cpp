#include "lab/decision_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::lab {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The entry of window `number` ("2."), its lines joined by blanks.
std::string Entry(const std::vector<std::string>& lines, int number) {
    std::string label = std::to_string(number) + ".";
    std::string entry;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.rfind(label, 0) == 0) {
            inside = true;
        } else if (inside && line.rfind("    ", 0) != 0) {
            break;
        }
        if (inside) entry += (entry.empty() ? "" : " ") + line.substr(line.find_first_not_of(' '));
    }
    return entry;
}

// A run in which the user clicked the story link, but the band saw no click:
// the window the scenario calls "clicked" was captured and stopped.
const std::vector<std::string> kClickedButStopped = {
    "band created quellmark.pop",
    "user click story",
    "script link \"http://news.example/story.html\"",
    "new-window announced \"http://news.example/story.html\" name=\"\" features=\"\" by=user "
    "from=main",
    "capture created capture1 level=2",
    "decision 1 new-window captured because=protection level=2 click=no plug-in=no block-all=no",
    "new-window captured \"http://news.example/story.html\" into=capture1",
    "decision 1 navigation loads \"http://news.example/story.html\" because=protection level=2",
    "decision 1 capture stopped \"http://news.example/story.html\" because=protection level=2 "
    "page=complete counted=yes",
};

TEST(DecisionSummary, AWindowTheScenarioClickedIsToldAsStoppedWithItsReason) {
    std::vector<std::string> summary = SummarizeDecisions(kClickedButStopped);
    std::string entry = Entry(summary, 1);
    EXPECT_NE(entry.find("http://news.example/story.html (the user)"), std::string::npos)
        << Joined(summary);
    EXPECT_NE(entry.find("captured at level 2: the band saw no click"), std::string::npos)
        << Joined(summary);
    EXPECT_NE(entry.find("stopped in a hidden browser and recorded"), std::string::npos)
        << Joined(summary);
    EXPECT_EQ(entry.find("allowed"), std::string::npos) << Joined(summary);
}

TEST(DecisionSummary, EachDecisionIsToldInTheBandsTerms) {
    struct Case {
        const char* label;
        std::vector<std::string> trace;
        const char* told;
    };
    const std::string announced =
        "new-window announced \"http://a.example/p\" name=\"\" features=\"\" by=script from=main";
    const Case cases[] = {
        {"a click",
         {announced,
          "decision 1 new-window allowed because=click level=2 click=yes plug-in=no block-all=no",
          "new-window allowed \"http://a.example/p\""},
         "allowed: a click opened it (level 2)"},
        {"the band's own reopening",
         {announced,
          "decision 1 new-window allowed because=reopening level=2 click=yes plug-in=no "
          "block-all=no"},
         "allowed: the band opened it again itself"},
        {"protection off",
         {announced,
          "decision 1 new-window allowed because=level-0 level=0 click=no plug-in=no block-all=no"},
         "allowed: protection is off (level 0)"},
        {"a plug-in under the pointer",
         {announced,
          "decision 1 new-window allowed because=plug-in level=2 click=no plug-in=yes "
          "block-all=no"},
         "allowed: the pointer was over a plug-in"},
        {"a white-listed page",
         {announced,
          "decision 1 new-window allowed because=white-rule level=2 click=no plug-in=no "
          "block-all=no white=\"Home\""},
         "allowed: the page is on the white list (rule \"Home\")"},
        {"Ctrl held, even with block all",
         {announced,
          "decision 1 new-window allowed because=key level=1 click=no plug-in=no block-all=yes"},
         "allowed: Ctrl was held"},
        {"block all",
         {announced,
          "decision 1 new-window cancelled because=block-all level=2 click=no plug-in=no "
          "block-all=yes"},
         "cancelled: Block ALL new windows is on"},
        {"a hidden bar",
         {announced,
          "decision 1 new-window passed-through because=bar-hidden level=2 click=no plug-in=no "
          "block-all=no"},
         "passed through: the bar was hidden"},
        {"white-listed popup reopened",
         {announced,
          "decision 1 new-window captured because=protection level=2 click=no plug-in=no "
          "block-all=no",
          "decision 1 navigation held \"http://a.example/p\" because=white-rule level=2 "
          "white=\"Partner\"",
          "decision 1 capture reopened \"http://a.example/p\" because=wanted level=2 "
          "page=complete counted=no white=\"Partner\""},
         "its address is on the white list (rule \"Partner\"); reopened as an ordinary window"},
        {"black-listed at Record Only",
         {announced,
          "decision 1 new-window captured because=protection level=1 click=no plug-in=no "
          "block-all=no",
          "decision 1 navigation held \"http://a.example/p\" because=black-rule level=1 "
          "black=\"Ads\"",
          "decision 1 capture dropped \"http://a.example/p\" because=black-rule level=1 "
          "page=complete counted=no black=\"Ads\""},
         "captured at level 1, Record Only"},
        {"black-listed, the rule named",
         {announced,
          "decision 1 new-window captured because=protection level=1 click=no plug-in=no "
          "block-all=no",
          "decision 1 capture dropped \"http://a.example/p\" because=black-rule level=1 "
          "page=complete counted=no black=\"Ads\""},
         "dropped: neither recorded nor reopened, the black list (rule \"Ads\")"},
        {"shown at Record Only",
         {announced,
          "decision 1 new-window captured because=protection level=1 click=no plug-in=no "
          "block-all=no",
          "decision 1 capture shown \"http://a.example/p\" because=protection level=1 "
          "page=complete counted=no"},
         "shown in a window of its own and recorded"},
        {"never complete",
         {announced,
          "decision 1 new-window captured because=protection level=2 click=no plug-in=no "
          "block-all=no",
          "decision 1 capture stopped \"http://a.example/p\" because=protection level=2 "
          "page=time-limit counted=yes"},
         "its page never completed: time limit"},
        {"not finished yet",
         {announced,
          "decision 1 new-window captured because=protection level=2 click=no plug-in=no "
          "block-all=no"},
         "still loading when the run ended"},
        {"no band listening",
         {announced, "new-window passed-through \"http://a.example/p\""},
         "no decision from the band (none was listening); the browser: passed-through"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> summary = SummarizeDecisions(c.trace);
        EXPECT_NE(Entry(summary, 1).find(c.told), std::string::npos) << c.label << "\n"
                                                                     << Joined(summary);
    }
}

TEST(DecisionSummary, LaterStepsFindTheirWindowByTheBandsNumber) {
    // Two captures finish in the other order; a new band numbers from 1 again.
    const std::vector<std::string> trace = {
        "band created quellmark.pop",
        "new-window announced \"http://a.example/slow\" name=\"\" features=\"\" by=script "
        "from=main",
        "decision 1 new-window captured because=protection level=2 click=no plug-in=no "
        "block-all=no",
        "new-window announced \"http://a.example/fast\" name=\"\" features=\"\" by=script "
        "from=main",
        "decision 2 new-window captured because=protection level=2 click=no plug-in=no "
        "block-all=no",
        "decision 2 capture stopped \"http://a.example/fast\" because=protection level=2 "
        "page=complete counted=yes",
        "decision 1 capture stopped \"http://a.example/slow\" because=protection level=2 "
        "page=time-limit counted=yes",
        "band created quellmark.pop",
        "new-window announced \"http://a.example/late\" name=\"\" features=\"\" by=script "
        "from=main",
        "decision 1 new-window cancelled because=block-all level=2 click=no plug-in=no "
        "block-all=yes",
    };
    std::vector<std::string> summary = SummarizeDecisions(trace);
    EXPECT_NE(Entry(summary, 1).find("time limit"), std::string::npos) << Joined(summary);
    EXPECT_EQ(Entry(summary, 2).find("time limit"), std::string::npos) << Joined(summary);
    EXPECT_NE(Entry(summary, 2).find("stopped"), std::string::npos) << Joined(summary);
    EXPECT_NE(Entry(summary, 3).find("cancelled"), std::string::npos) << Joined(summary);
    EXPECT_EQ(Entry(summary, 3).find("stopped"), std::string::npos) << Joined(summary);
}

TEST(DecisionSummary, FitsTheTerminalWidth) {
    std::string longUrl = "http://ads.example/" + std::string(150, 'x') + "/end.html";
    std::vector<std::string> trace = {
        "new-window announced \"" + longUrl + "\" name=\"\" features=\"\" by=script from=main",
        "decision 1 new-window captured because=protection level=2 click=no plug-in=no "
        "block-all=no",
        "decision 1 capture stopped \"" + longUrl +
            "\" because=protection level=2 page=time-limit counted=yes",
    };
    for (std::size_t width : {80u, 40u}) {
        std::vector<std::string> summary = SummarizeDecisions(trace, width);
        for (const std::string& line : summary) {
            EXPECT_LE(line.size(), width) << line;
        }
        std::string first = summary.at(1);
        EXPECT_NE(first.find("http://ads"), std::string::npos) << first;
        EXPECT_NE(first.find("..."), std::string::npos) << first;
        EXPECT_NE(first.find("end.html (a script)"), std::string::npos) << first;
    }
}

TEST(DecisionSummary, ARunWithoutNewWindowsSaysSo) {
    EXPECT_EQ(SummarizeDecisions({"band created quellmark.pop", "user wait 100"}),
              std::vector<std::string>{"No page asked for a new window."});
}

}  // namespace
}  // namespace qm::lab
