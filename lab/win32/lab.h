#pragma once
// The lab's world on one thread: the scenario's pages, the trace, the
// scheduler, the browsers alive, and the browser's answer to a page that
// asks for a new window.

#include <windows.h>
#include <mshtml.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/scenario.h"
#include "lab/win32/scheduler.h"
#include "lab/trace.h"

namespace qm::lab {

class LabBrowser;
class LabFrame;

// The window that shows a browser: the IEFrame with its Explorer Bar.
class BrowserHost {
public:
    virtual ~BrowserHost() = default;
    virtual HWND hostWindow() const = 0;
    // Whether the band's window is there and visible.
    virtual bool barVisible() const = 0;
    virtual HRESULT showBrowserBar(const std::wstring& clsid, bool show) = 0;
    virtual void pageChanged() = 0;
};

class Lab {
public:
    Lab(const Scenario& scenario, Trace& trace);
    ~Lab();
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    const Scenario& scenario() const { return scenario_; }
    Trace& trace() { return trace_; }
    Scheduler& scheduler() { return scheduler_; }

    // The declared page for an address, or an empty page with it.
    const PageSpec& page(const std::string& url);
    // "capture" gives capture1, capture2, ...
    std::string newLabel(const std::string& prefix);

    void add(LabBrowser* browser);
    void remove(LabBrowser* browser);

    // window.open, a link to a new window or the user's "open in new
    // window": NewWindow2 on the opener's top-level browser, then the
    // window the answer calls for. The new window's script object, if any.
    win32::ComPtr<IHTMLWindow2> openNewWindow(LabBrowser& opener, const std::string& url,
                                              const std::string& name, const std::string& features,
                                              const char* by);

    // Gives `browser` an IEFrame window of its own, shown to the user.
    void showInOwnWindow(LabBrowser& browser);
    // Closes the window showInOwnWindow gave `browser`, later on.
    void closeOwnWindowOf(LabBrowser& browser);
    // Closes every window opened by showInOwnWindow.
    void closeOwnWindows();

private:
    LabBrowser* findNamedWindow(const std::string& name) const;

    const Scenario& scenario_;
    Trace& trace_;
    Scheduler scheduler_;
    std::deque<PageSpec> unknownPages_;
    std::vector<std::pair<std::string, int>> labelCounts_;
    std::vector<LabBrowser*> browsers_;
    std::vector<std::unique_ptr<LabFrame>> ownWindows_;
};

}  // namespace qm::lab
