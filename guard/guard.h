#pragma once
// The new-window decision of one band: for every window a page tries to
// open, allow it, cancel it or capture it; judge a captured popup's
// navigation; conclude a finished capture into a record, a reopened window
// or nothing; and keep the band's count and status text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "guard/capture.h"
#include "guard/decision_note.h"
#include "guard/guard_host.h"
#include "guard/popup_record.h"
#include "rules/rule_set.h"
#include "settings/settings.h"

namespace qm {

// A page that opens more windows than this while the earlier ones still load
// is flooding: each live capture is a hidden browser, on 9x drawn from the
// small shared USER and GDI heaps.
constexpr std::size_t kMaxLiveCaptures = 8;
// Records kept for the "Popup Windows" list: no one scrolls through more, each
// also costs a row of the list's heap, and the log keeps the older ones.
constexpr std::size_t kMaxRecords = 200;

struct NewWindowDecision {
    NewWindowOutcome outcome;
    Capture* capture = nullptr;  // set when Captured; owned by Captures
};

class Guard {
public:
    // `settings` and `rules` are the band's live copies; the log lives beside `moduleFileName`.
    Guard(GuardHost& host, const Settings& settings, const RuleSet& rules, FileSystem& files,
          std::string moduleFileName);
    // Releases every capture and destroys every record.
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    // NewWindow2 of the band's own browser.
    NewWindowDecision OnNewWindow2();
    // BeforeNavigate2 of the band's own browser or one of its frames.
    void OnBeforeNavigate2();
    // BeforeNavigate2 of a capture browser; true when the navigation must be cancelled.
    bool DecideCapturedNavigation(Capture& capture, std::wstring_view url);
    // Creates a capture for the pending new window and keeps it in Captures.
    Capture* CaptureNewWindow();
    // The start of a capture's finishing step: whether the user wanted this
    // popup (CaptureDecided) and the address to open again, clearing both.
    struct CaptureVerdict {
        bool userWanted;
        std::wstring addressToOpen;
    };
    CaptureVerdict TakeCaptureVerdict();
    // Called once by a capture when it finishes.
    void ConcludeCapture(Capture& capture, bool userWanted);
    // The band window goes: every live capture ends now, concluded as its
    // time limit would conclude it, and none is left in Captures.
    void EndCaptures();
    void UpdateSessionStatistics(bool stopped);
    void CloseClickWindow();
    // Destroys every record (the user cleared the list).
    void ClearRecords() { Records.clear(); }

    // Band state the decision reads and writes.
    std::int32_t ClickTriggered = 0;
    // Set while the band opens a popup again, which it lets through as a click.
    std::int32_t Reopening = 0;
    std::int32_t ClickTimerRunning = 0;
    std::int32_t OverPluginObject = 0;
    std::wstring AnchorHref;
    std::int32_t CaptureDecided = 0;
    std::int32_t StoppedCount = 0;
    std::string statusText;
    std::vector<Capture*> Captures;
    std::vector<std::unique_ptr<PopupRecord>> Records;

private:
    NewWindowDecision Allow();
    NewWindowDecision Decide(DecisionNote& note);
    std::optional<RuleView> WhiteRule(const std::wstring& url, const std::wstring& source) const;
    std::optional<RuleView> BlackRule(const std::wstring& url, const std::wstring& source) const;
    void KeepRecord(std::unique_ptr<PopupRecord> record);
    // The status text the caption comes back to, with StoppedCount.
    void SetSessionStatistics();

    GuardHost& host_;
    const Settings& settings_;
    const RuleSet& rules_;
    FileSystem& files_;
    std::string moduleFileName_;
    // New windows decided on so far: the number of the last one.
    std::uint32_t windowsDecided_ = 0;
};

}  // namespace qm
