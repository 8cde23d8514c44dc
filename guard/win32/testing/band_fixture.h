#pragma once
// A Wine test fixture that plays the band: it owns the decision engine, the
// page sinks and the captures the way the band object does, connects the
// main sink to a lab browser, delivers the band window's timers, and offers
// the client site with the ambient download control. The lab plays the
// browser, its pages and the capture browsers.

#include <windows.h>
#include <exdisp.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/com_ptr.h"
#include "guard/guard.h"
#include "guard/guard_host.h"
#include "guard/win32/pop_html.h"
#include "lab/win32/capture_classes.h"
#include "lab/win32/lab.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_element.h"
#include "lab/scenario.h"
#include "lab/trace.h"
#include "page/page_host.h"
#include "page/win32/page_watch.h"
#include "rules/rule_set.h"
#include "settings/settings.h"

namespace qm::testing {

class AmbientSite;
class FrameWindow;

class BandFixture : public ::testing::Test, public GuardHost, public PageHost {
protected:
    BandFixture();
    ~BandFixture() override;
    void SetUp() override;
    void TearDown() override;

    // Parses the scenario, makes the lab, its capture browser classes and the
    // main browser, and connects the band's sinks to it.
    void Start(const std::string& scenario);
    // Navigates the main browser and waits until the page has loaded.
    void Load(const std::string& url);
    // The band leaves its site: the sinks are torn down, the guard lives on.
    void TearDownSinks();

    // Pumps messages until `done` or `milliseconds` have passed; whether `done`.
    static bool WaitFor(const std::function<bool()>& done, unsigned milliseconds = 5000);
    static void Pump(unsigned milliseconds);
    // The element `id` of the main browser's page or its frames; fails the test when missing.
    lab::LabElement& Element(const std::string& id);
    // Runs `code` in the main page's window, as the page's own script would.
    void RunPageScript(const std::string& code);
    // The last new window's outcome in the trace ("allowed", "captured",
    // "cancelled", "passed-through"), or "none".
    std::string LastNewWindowOutcome() const;
    // Whether a trace line matches `pattern` ("*" matches anything), and how many do.
    bool Traced(const std::string& pattern) const;
    int CountTraced(const std::string& pattern) const;
    std::string TraceText() const;
    void AddRule(std::uint16_t flags, const std::string& popup, const std::string& source);

    IWebBrowser2* browser() const { return main_.get(); }
    lab::LabBrowser& mainBrowser() { return *main_.get(); }
    HWND popupFrame() const { return popupFrame_; }
    const std::string& moduleFileName() const { return moduleFileName_; }
    std::string LogText() const;
    // The hosting windows of capture browsers this thread still has at its top level.
    static std::vector<HWND> HostWindows();
    int AmbientQueries() const;

    // GuardHost
    bool IsBandWindowVisible() override { return bandVisible; }
    bool IsCtrlHeld() override { return false; }
    std::wstring PageAddress() override;
    std::wstring LocationName() override;
    std::wstring LocationUrl() override;
    void KillClickTimer() override { KillTimer(IDT_CLICKWINDOW); }
    Capture* CreateCapture(std::int32_t level) override;
    void OpenInNewWindow(const PopupRecord& record) override;
    void AddRecord(const PopupRecord& record) override { shown.push_back(record); }
    void RemoveRecord(const PopupRecord&) override { ++recordsRemoved; }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void StartFlash() override { ++flashes; }
    void CheckVisible() override { ++visibilityChecks; }
    void Decided(const DecisionNote&) override {}

    // PageHost: timers of the band window.
    void StartTimer(std::uint32_t id, std::uint32_t intervalMs) override;
    void KillTimer(std::uint32_t id) override;

    Settings settings;
    RuleSet rules;
    std::unique_ptr<Guard> guard;
    std::unique_ptr<PageWatch> page;
    bool bandVisible = true;
    // Captures get no parent window, so no hidden browser can be hosted.
    bool noCaptureParent = false;

    std::vector<PopupRecord> shown;
    std::vector<std::string> statuses;
    int flashes = 0;
    int visibilityChecks = 0;
    int recordsRemoved = 0;
    // Band timer ticks delivered, and those that came after the sinks were torn down.
    std::vector<std::uint32_t> ticks;
    int ticksAfterTeardown = 0;

private:
    static BOOL CALLBACK CollectHostWindow(HWND window, LPARAM hosts);
    static LRESULT CALLBACK BandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HRESULT ole_ = E_FAIL;
    long liveLabObjectsAtStart_ = 0;
    std::string folder_;
    std::string moduleFileName_;
    HWND bandWindow_ = nullptr;
    HWND popupFrame_ = nullptr;
    bool tornDown_ = false;
    lab::Scenario scenario_;
    lab::Trace trace_;
    std::unique_ptr<lab::Lab> lab_;
    std::unique_ptr<lab::CaptureClasses> captureClasses_;
    std::unique_ptr<FrameWindow> frame_;
    win32::ComPtr<lab::LabBrowser> main_;
    AmbientSite* ambient_ = nullptr;
    std::unique_ptr<CaptureBand> captureBand_;
};

}  // namespace qm::testing
