#pragma once
// The browser's side of the band protocol: creates the band by COM
// activation, sites it in the bar, asks GetBandInfo, shows and closes it.

#include <windows.h>
#include <exdisp.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/band_info.h"
#include "lab/band_watch.h"
#include "lab/win32/bar_site.h"
#include "lab/win32/scheduler.h"
#include "lab/win32/shell_watch.h"
#include "lab/trace.h"

namespace qm::lab {

class BandHost {
public:
    // `band` is a ProgID or a {CLSID}; `relayout` places the bar again
    // after its height changed.
    BandHost(Trace& trace, Scheduler& scheduler, HWND barWindow, IWebBrowser2* browser,
             std::string band, std::function<void()> relayout);
    ~BandHost();
    BandHost(const BandHost&) = delete;
    BandHost& operator=(const BandHost&) = delete;

    // Creates the band, SetSite, GetBandInfo, ShowDW(TRUE). False when the
    // band could not be created or sited.
    bool open();
    // ShowDW(FALSE), CloseDW, SetSite(NULL) and the frame's last release.
    void close();
    bool isOpen() const { return static_cast<bool>(band_); }
    // ShowDW(show) on the open band, which stays sited; traced.
    bool show(bool show);
    bool isShown() const { return shown_; }
    int height() const { return height_; }
    HWND bandWindow() const { return bandWindow_; }
    bool bandWindowVisible() const;
    // Whether `clsid` (as StringFromCLSID writes it) names the band's class.
    bool isBandClass(const std::wstring& clsid) const;
    // Places the band's window beside the close toolbar.
    void place(int width, int toolbarWidth);

    // The user right-clicks the band: the pointer goes to `point` of the
    // band's window (its centre when not given), the band fills a context
    // menu (QueryContextMenu), and `item`, when not empty, is chosen
    // (InvokeCommand). False when the band has no menu or no such item.
    bool contextMenu(const std::string& item, const POINT* point);

    // The user at the band's own windows, by what they show. Each is false
    // when nothing shown reads so (or the row is not in the list).
    bool clickTab(const std::string& text);
    // A button or check box that reads `text` (in the group box `group`
    // when not empty), or a picture button whose hint reads `text`, or,
    // with `barButton`, the button the band put over the bar's toolbar.
    bool clickControl(const std::string& text, const std::string& group = {},
                      bool barButton = false);
    // The pointer goes over such a control (or a tab), and stays there.
    bool hover(const std::string& text, const std::string& group, bool barButton);
    bool pickLevel(const std::string& text);
    // A row of "Popup Windows": `number` from 1 (the top), or 0 and the
    // row whose address reads `address`; with `belowRows` the list's empty
    // space below its rows.
    bool openRow(int number, const std::string& address, bool belowRows = false);
    bool rowMenu(int number, const std::string& address, const std::string& item);
    // Double-clicks / clicks the rule that reads `name` in a shown list of
    // "Tools" (the one in the group box `group` when not empty).
    bool openRule(const std::string& name, const std::string& group = {});
    // With `belowRows`, a click on the list's empty space under its rules.
    bool selectRule(const std::string& name, const std::string& group, bool belowRows);
    // Presses and releases the key (its place in kKeyNames) in the band's
    // control that has the keyboard focus; false when none of them has it.
    bool pressKey(int key);
    // Traces the controls of the band's pages shown.
    void tracePages();

    // The site heard DBID_BANDINFOCHANGED.
    void bandInfoChanged();
    // The band told the site a decision.
    void decided(const DecisionNote& note);

private:
    void askBandInfo();
    void release();
    // Every 50 ms while the bar is open: the band's caption and list.
    void watch();
    BandSample sample();
    // The band's caption tells each text it is given and each time it is
    // hidden or shown, however short-lived.
    void hookCaption();
    void unhookCaption();
    static LRESULT CALLBACK CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    // The band lays out its windows when its own window is sized: a
    // caption hidden or shown meanwhile is the layout's doing.
    static LRESULT CALLBACK BandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data);
    // The picture buttons of the band and their hints, from its string table.
    void readHints();
    HWND findControl(const std::string& text, const std::string& group, bool barButton) const;
    // A shown list of "Tools" with a rule `name` (in `group` when not
    // empty), and that rule's row.
    HWND ruleList(const std::string& name, const std::string& group, int* row) const;
    // The first shown list of "Tools" (in `group` when not empty).
    HWND ruleList(const std::string& group) const;
    // The list of popups when it is shown, and the row chosen in it
    // (selected and scrolled into view), as an index; -1 when not there.
    HWND shownList() const;
    // `number` from 1, or 0 and the row whose `column` reads `text`.
    int chooseRow(HWND list, int number, const std::string& text, int column) const;

    Trace& trace_;
    ShellWatch shell_;
    Scheduler& scheduler_;
    Scheduler::TaskId watchTask_ = 0;
    BandWatch watch_;
    std::size_t rowsSeen_ = 0;
    HWND barWindow_;
    win32::ComPtr<IWebBrowser2> browser_;
    std::string name_;
    CLSID clsid_ = {};
    bool known_ = false;
    std::function<void()> relayout_;
    win32::ComPtr<IUnknown> band_;
    win32::ComPtr<BarSite> site_;
    HWND bandWindow_ = nullptr;
    HWND caption_ = nullptr;
    HWND hookedBand_ = nullptr;
    int layoutDepth_ = 0;
    std::vector<std::pair<HWND, std::string>> hints_;
    bool shown_ = false;
    int height_ = 0;
};

}  // namespace qm::lab
