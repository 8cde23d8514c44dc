#pragma once
// Every line the lab writes to its trace, in one place so the format stays
// stable (lab/README.md documents it). Texts appear in double quotes with
// \" \\ and \xNN escapes; numbers in decimal, flags and results as 0x%08x
// (masks as 0x%x).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "guard/decision_note.h"
#include "lab/band_info.h"
#include "lab/scenario.h"

namespace qm::lab {

std::string Quote(std::string_view text);
std::string Hex32(std::uint32_t value);

enum class NewWindowOutcome { PassedThrough, Allowed, Cancelled, Captured };

// One entry of the band's context menu as the frame shows it.
struct MenuEntry {
    std::string text;  // empty for a separator
    bool separator = false;
    bool checked = false;
    bool grayed = false;
};

// A row of a list view as the user sees it: its first column and picture.
struct ListRowEntry {
    std::string text;
    int icon = -1;  // the image list's index; -1: none
    bool selected = false;
};

// A control of a band page or a dialog as the user sees it.
struct ControlEntry {
    enum class Kind { Text, Edit, Check, Button, Combo, List };
    Kind kind;
    std::string text;  // the label, the edit's or combo's content
    bool checked = false;
    bool grayed = false;
    std::vector<ListRowEntry> rows;  // a list's rows, top to bottom
};

// The first word of every trace line, for telling a pattern from a typo.
extern const char* const kTraceWords[];
extern const std::size_t kTraceWordCount;

namespace lines {

std::string Setting(std::string_view name, std::int32_t value);
// setting-written NAME=VALUE: the band changed a value of its settings key.
std::string SettingWritten(std::string_view name, std::int32_t value);
std::string BandCreated(std::string_view name);
std::string BandNotCreated(std::string_view name, std::uint32_t hr);
std::string BandSetSite(std::uint32_t hr);
std::string BandInfo(const BandInfoAnswer& answer);
std::string BandInfoFailed(std::uint32_t hr);
std::string BarShown(int height);
std::string BarResized(int height);
std::string BarHidden();
// bar show-window true|false hr=0x...: ShowDW on the open band.
std::string BarShowWindow(bool show, std::uint32_t hr);
std::string BandReleased(unsigned long refsLeft);
// bar-menu items "Large Icons" [x]"Small Icons" - [gray]"Add Popup to White List" ...
std::string BarMenuItems(const std::vector<MenuEntry>& entries);
std::string BarMenuFailed(std::uint32_t hr);
std::string BarMenuChose(std::string_view item, std::uint32_t hr);
std::string BarMenuMissing(std::string_view item);

std::string User(std::string_view action, std::string_view target);
std::string Navigate(std::string_view browser, std::string_view url);
std::string NavigationCancelled(std::string_view browser, std::string_view url);
std::string PageLeft(std::string_view browser, std::string_view url);
std::string PageShown(std::string_view browser, std::string_view url);
std::string PageLoaded(std::string_view browser, std::string_view url);
std::string Title(std::string_view browser, std::string_view title);
std::string BrowserSize(int width, int height, std::string_view by);

// `by`: "script" (a page script), "user" (a link or the user's menu
// command) or "caller" (IHTMLWindow2::open called from outside the page).
std::string NewWindowAnnounced(std::string_view url, std::string_view name,
                               std::string_view features, std::string_view by,
                               std::string_view from);
// `browser` names the object that received the window, when there is one.
std::string NewWindowResult(NewWindowOutcome outcome, std::string_view url,
                            std::string_view browser);
std::string WindowOpened(std::string_view browser, std::string_view name, std::string_view features,
                         std::string_view url);
std::string WindowReused(std::string_view browser, std::string_view name, std::string_view url);
std::string Requests(std::string_view browser, const std::vector<WindowRequest>& requests);

std::string Script(std::string_view origin, std::string_view code);
std::string ScriptNotUnderstood(std::string_view statement);
std::string ScriptRefused(std::string_view origin, std::string_view code);

std::string Status(std::string_view text);
std::string Flash();
// The caption was hidden or shown: by the band's layout (it does not fit)
// or else by a blink; `afterMs` since the caption's previous hide or show.
std::string Caption(bool shown, bool byLayout, unsigned long afterMs);
// A button's hint took the caption / gave it up `afterMs` after it was last set.
std::string HintShown(std::string_view text);
std::string HintGone(std::string_view text, unsigned long afterMs);
// The band asked the shell to carry out `verb` on `target`: shell open "TARGET".
std::string ShellOpen(std::string_view verb, std::string_view target,
                      std::string_view parameters = {});
// A double click on the popup list's empty space below its rows.
std::string BandDoubleClickedBelowRows();
std::string Record(std::string_view title, std::string_view url);
std::string RecordsCleared();
// Every column of a row of the band's list, left to right.
std::string Row(const std::vector<std::string>& columns);
// The controls of the band's page shown: "text" [x]"check" [ ]"check"
// edit="..." combo="..." button="...", [gray] before a disabled one.
std::string BandPage(const std::vector<ControlEntry>& controls);

// A modal dialog appeared: its caption and controls.
std::string DialogShown(std::string_view caption, const std::vector<ControlEntry>& controls);
// What the lab did in it: "filled" (label, text), "ticked", "unticked",
// "pressed", or "missing" (a control the answer names is not there).
std::string DialogStep(std::string_view done, std::string_view label, std::string_view text = {});
// A row of a list in the dialog, every column: dialog row "COLUMN" ...
std::string DialogRow(const std::vector<std::string>& columns);
// A click in the dialog's list: on row N (from 1), or below the rows.
std::string DialogClickedRow(int row, std::string_view text);
std::string DialogClickedBelowRows();
std::string DialogWaited(int milliseconds);
// The dialog's controls after a click or a wait of its answer.
std::string DialogNow(std::string_view caption, const std::vector<ControlEntry>& controls);
// No answer was prepared: the dialog is cancelled.
std::string DialogUnanswered(std::string_view caption);

std::string CaptureCreated(std::string_view browser, int level);
std::string CaptureShown(std::string_view browser);
std::string DownloadControl(std::string_view browser, std::uint32_t flags);
std::string Quit(std::string_view browser);

// What the band decided about a new window and why, numbered by the band:
//   decision N new-window OUTCOME because=WHY level=L click=.. plug-in=.. block-all=.. [white="R"]
//   decision N navigation held|loads "URL" because=WHY level=L [white="R"] [black="R"]
//   decision N capture ENDING "URL" because=WHY level=L page=complete|time-limit counted=..
//       [white="R"] [black="R"]
std::string Decision(const qm::DecisionNote& note);

}  // namespace lines
}  // namespace qm::lab
