#include "guard/guard.h"

#include <algorithm>
#include <cwctype>

#include "common/decimal.h"
#include "common/text.h"
#include "guard/record_bounds.h"
#include "log/activity_log.h"

namespace qm {
namespace {

// Stands for the popup's own address before the popup has one.
constexpr char kNoPopupAddress[] = "nullnull";
// Shown instead of the statistics while the window the user let through opens.
constexpr char kCtrlAllowedStatus[] = "popup allowed: Ctrl held";

bool BeginsWithJavascript(const std::wstring& href) {
    std::size_t start = href.find_first_not_of(L" \t\n\v\f\r");
    if (start == std::wstring::npos) return false;
    static const wchar_t kWord[] = L"javascript";
    for (std::size_t i = 0; kWord[i]; ++i) {
        if (start + i >= href.size() || std::towlower(static_cast<std::wint_t>(href[start + i])) !=
                                            static_cast<std::wint_t>(kWord[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

Guard::Guard(GuardHost& host, const Settings& settings, const RuleSet& rules, FileSystem& files,
             std::string moduleFileName)
    : host_(host),
      settings_(settings),
      rules_(rules),
      files_(files),
      moduleFileName_(std::move(moduleFileName)) {}

Guard::~Guard() {
    for (Capture* capture : Captures) capture->release();
}

NewWindowDecision Guard::OnNewWindow2() {
    DecisionNote note;
    note.window = ++windowsDecided_;
    note.level = settings_.GuardLevel;
    note.clicked = ClickTriggered;
    note.overPlugin = OverPluginObject;
    note.blockAll = settings_.CompleteBlock;
    NewWindowDecision decision = Decide(note);
    note.outcome = decision.outcome;
    if (decision.capture) decision.capture->windowNumber = note.window;
    host_.Decided(note);
    return decision;
}

NewWindowDecision Guard::Decide(DecisionNote& note) {
    using Because = DecisionNote::Because;
    if (!host_.IsBandWindowVisible()) {
        note.because = Because::BarHidden;
        return {NewWindowOutcome::PassedThrough};
    }
    std::string page = ToAnsi(host_.PageAddress());
    if (settings_.GuardLevel == 0) {
        note.because = Because::NoProtection;
        return Allow();
    }
    if (ClickTriggered) {
        note.because = Reopening ? Because::Reopening : Because::Click;
        return Allow();
    }
    if (OverPluginObject) {
        note.because = Because::PluginHover;
        return Allow();
    }
    if (std::optional<RuleView> white = rules_.WhiteRuleFor(kNoPopupAddress, page)) {
        note.because = Because::WhiteRule;
        note.whiteRule = white->name;
        return Allow();
    }
    // Holding Ctrl is the user's explicit word: it outweighs "Block ALL new
    // windows", and an uncaptured window meets no black rule.
    if (host_.IsCtrlHeld()) {
        note.because = Because::Key;
        CloseClickWindow();
        SetSessionStatistics();
        host_.ShowStatus(kCtrlAllowedStatus);
        return {NewWindowOutcome::Allowed};
    }
    if (settings_.CompleteBlock) {
        note.because = Because::BlockAll;
        return {NewWindowOutcome::Cancelled};
    }
    if (Captures.size() >= kMaxLiveCaptures) {
        note.because = Because::CaptureLimit;
        return {NewWindowOutcome::Cancelled};
    }
    Capture* capture = CaptureNewWindow();
    note.because = capture ? Because::Level : Because::NoCapture;
    return {capture ? NewWindowOutcome::Captured : NewWindowOutcome::NotCaptured, capture};
}

NewWindowDecision Guard::Allow() {
    // Closing the click window here lets one click open exactly one window.
    CloseClickWindow();
    UpdateSessionStatistics(false);
    return {NewWindowOutcome::Allowed};
}

Capture* Guard::CaptureNewWindow() {
    if (settings_.GuardLevel == 0 || ClickTriggered || OverPluginObject) return nullptr;
    Capture* capture = host_.CreateCapture(settings_.GuardLevel);
    if (capture) Captures.push_back(capture);
    return capture;
}

void Guard::OnBeforeNavigate2() {
    host_.CheckVisible();
    CaptureDecided = 0;
    AnchorHref.clear();
    CloseClickWindow();
}

bool Guard::DecideCapturedNavigation(Capture& capture, std::wstring_view url) {
    if (CaptureDecided) return false;
    PopupRecord& record = capture.record();
    std::wstring address(url);
    std::optional<RuleView> white = WhiteRule(address, record.sourceUrl);
    std::optional<RuleView> black = BlackRule(address, record.sourceUrl);
    bool hasAnchor = !AnchorHref.empty();
    bool userAsked = hasAnchor && (AnchorHref == address || BeginsWithJavascript(AnchorHref));
    // The level the capture was made with: its browser kind depends on it.
    std::int32_t level = capture.captureLevel();
    bool decided = ((userAsked || white) && level == 2) || (level == 1 && black);

    using Because = DecisionNote::Because;
    DecisionNote note;
    note.step = DecisionNote::Step::Navigation;
    note.window = capture.windowNumber;
    note.level = level;
    note.held = decided;
    note.url = address;
    if (white) note.whiteRule = white->name;
    if (black) note.blackRule = black->name;
    note.because = !decided     ? Because::Level
                   : level != 2 ? Because::BlackRule
                   : userAsked  ? Because::Link
                                : Because::WhiteRule;
    host_.Decided(note);

    if (decided) {
        if (white && !hasAnchor) {
            AnchorHref = address;
        } else if (level == 1 && black) {
            AnchorHref.clear();
        }
        CaptureDecided = 1;
    } else {
        AnchorHref.clear();
    }
    record.url = address;
    return decided;
}

Guard::CaptureVerdict Guard::TakeCaptureVerdict() {
    CaptureVerdict verdict{CaptureDecided != 0, {}};
    if (verdict.userWanted) {
        verdict.addressToOpen = std::move(AnchorHref);
        AnchorHref.clear();
    }
    CaptureDecided = 0;
    return verdict;
}

void Guard::ConcludeCapture(Capture& capture, bool userWanted) {
    using Because = DecisionNote::Because;
    using Ending = DecisionNote::Ending;
    auto copy = std::make_unique<PopupRecord>(capture.record());
    PopupRecord& popup = *copy;
    BoundPageTexts(popup);
    DecisionNote note;
    note.step = DecisionNote::Step::Conclusion;
    note.window = capture.windowNumber;
    note.level = settings_.GuardLevel;
    note.timeLimit = capture.timedOut;
    note.because = userWanted ? Because::Wanted : Because::Level;
    note.ending = userWanted ? Ending::Dropped : popup.stopped ? Ending::Stopped : Ending::Shown;
    if (!userWanted) {
        if (popup.sourceTitle.empty()) popup.sourceTitle = host_.LocationName();
        if (popup.sourceUrl.empty()) popup.sourceUrl = host_.LocationUrl();
        KeepRecord(std::move(copy));
    }
    note.url = popup.url;
    if (Captures.empty()) {
        host_.Decided(note);
        return;
    }
    std::optional<RuleView> black = BlackRule(popup.url, popup.sourceUrl);
    std::optional<RuleView> white = WhiteRule(popup.url, popup.sourceUrl);
    if (white) note.whiteRule = white->name;
    if (black) note.blackRule = black->name;
    auto it = std::find(Captures.begin(), Captures.end(), &capture);
    if (it != Captures.end()) {
        Captures.erase(it);
        capture.release();
    }
    if (!userWanted) {
        bool stopped = settings_.GuardLevel == 2 && !white;
        note.counted = stopped;
        if (settings_.GuardLevel == 2 && white) note.because = Because::WhiteRule;
        host_.Decided(note);
        UpdateSessionStatistics(stopped);
    } else if (!black && settings_.GuardLevel == 2) {
        note.ending = Ending::Reopened;
        host_.Decided(note);
        host_.OpenInNewWindow(popup);
    } else {
        if (black) note.because = Because::BlackRule;
        host_.Decided(note);
    }
}

void Guard::EndCaptures() {
    // Each conclusion takes its capture out of the list, and may end others
    // (a reopened window). One still listed after its end was finishing
    // already, in a conclusion that closed the bar: it is let go as it is.
    std::vector<Capture*> live = Captures;
    for (Capture* capture : live) {
        if (std::find(Captures.begin(), Captures.end(), capture) != Captures.end()) {
            capture->endNow();
        }
    }
    std::vector<Capture*> left;
    left.swap(Captures);
    for (Capture* capture : left) capture->release();
}

void Guard::KeepRecord(std::unique_ptr<PopupRecord> record) {
    if (Records.size() >= kMaxRecords) {
        // Its row points at it: the row goes first.
        host_.RemoveRecord(*Records.front());
        Records.erase(Records.begin());
    }
    Records.push_back(std::move(record));
    const PopupRecord& kept = *Records.back();
    host_.AddRecord(kept);
    bool logged = kept.stopped ? settings_.LogStopped : settings_.LogRecorded;
    if (logged && settings_.MaxLogSize > 0) {
        AppendLogRecord(files_, moduleFileName_, kept);
        TrimLog(files_, moduleFileName_, settings_.MaxLogSize, settings_.LogFullAction);
    }
}

void Guard::UpdateSessionStatistics(bool stopped) {
    if (stopped) ++StoppedCount;
    SetSessionStatistics();
    host_.ShowStatus(statusText);
    if (stopped && settings_.FlashAlert) host_.StartFlash();
}

void Guard::SetSessionStatistics() {
    statusText = "session statistics: " + DecimalText(StoppedCount) + " stopped popups";
}

void Guard::CloseClickWindow() {
    host_.KillClickTimer();
    ClickTriggered = 0;
    ClickTimerRunning = 0;
}

std::optional<RuleView> Guard::WhiteRule(const std::wstring& url,
                                         const std::wstring& source) const {
    return rules_.WhiteRuleFor(ToAnsi(url), ToAnsi(source));
}

std::optional<RuleView> Guard::BlackRule(const std::wstring& url,
                                         const std::wstring& source) const {
    return rules_.BlackRuleFor(ToAnsi(url), ToAnsi(source));
}

}  // namespace qm
