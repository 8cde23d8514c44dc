#include "guard/guard.h"

#include <algorithm>
#include <cwctype>

#include "common/decimal.h"
#include "common/text.h"
#include "log/activity_log.h"

namespace qm {
namespace {

// Stands for the popup's own address before the popup has one.
constexpr char kNoPopupAddress[] = "nullnull";

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
    if (!host_.IsBandWindowVisible()) return {NewWindowOutcome::PassedThrough};
    std::string page = ToAnsi(host_.PageAddress());
    if (settings_.GuardLevel == 0 || ClickTriggered || OverPluginObject ||
        rules_.MatchesWhiteList(kNoPopupAddress, page)) {
        return Allow();
    }
    if (settings_.CompleteBlock) return {NewWindowOutcome::Cancelled};
    Capture* capture = CaptureNewWindow();
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
    bool white = IsWhite(address, record.sourceUrl);
    bool black = IsBlack(address, record.sourceUrl);
    bool hasAnchor = !AnchorHref.empty();
    bool userAsked = hasAnchor && (AnchorHref == address || BeginsWithJavascript(AnchorHref));
    // The level the capture was made with: its browser kind depends on it.
    std::int32_t level = capture.captureLevel();
    bool decided = ((userAsked || white) && level == 2) || (level == 1 && black);
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
    auto copy = std::make_unique<PopupRecord>(capture.record());
    PopupRecord& popup = *copy;
    if (!userWanted) {
        if (popup.sourceTitle.empty()) popup.sourceTitle = host_.LocationName();
        if (popup.sourceUrl.empty()) popup.sourceUrl = host_.LocationUrl();
        KeepRecord(std::move(copy));
    }
    if (Captures.empty()) return;
    bool black = IsBlack(popup.url, popup.sourceUrl);
    bool white = IsWhite(popup.url, popup.sourceUrl);
    auto it = std::find(Captures.begin(), Captures.end(), &capture);
    if (it != Captures.end()) {
        Captures.erase(it);
        capture.release();
    }
    if (!userWanted) {
        UpdateSessionStatistics(settings_.GuardLevel == 2 && !white);
    } else if (!black && settings_.GuardLevel == 2) {
        host_.OpenInNewWindow(popup);
    }
}

void Guard::KeepRecord(std::unique_ptr<PopupRecord> record) {
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
    statusText = "session statistics: " + DecimalText(StoppedCount) + " stopped popups";
    host_.ShowStatus(statusText);
    if (stopped && settings_.FlashAlert) host_.StartFlash();
}

void Guard::CloseClickWindow() {
    host_.KillClickTimer();
    ClickTriggered = 0;
    ClickTimerRunning = 0;
}

bool Guard::IsWhite(const std::wstring& url, const std::wstring& source) const {
    return rules_.MatchesWhiteList(ToAnsi(url), ToAnsi(source));
}

bool Guard::IsBlack(const std::wstring& url, const std::wstring& source) const {
    return rules_.MatchesBlackList(ToAnsi(url), ToAnsi(source));
}

}  // namespace qm
