#include "page/click_detector.h"

#include "page/element_tags.h"

namespace qm {

ClickDetector::ClickDetector(Guard& guard, const Settings& settings, PageHost& host)
    : guard_(guard), settings_(settings), host_(host) {}

bool ClickDetector::MouseDown() {
    // While a capture is decided its link must survive until the capture
    // finishes, or the reopened window would lose its address.
    if (!guard_.CaptureDecided) guard_.AnchorHref.clear();
    return !settings_.CompleteBlock;
}

void ClickDetector::MouseUp(bool samePressedElement) {
    guard_.ClickTriggered = samePressedElement ? 1 : 0;
}

void ClickDetector::Click() {
    if (!guard_.ClickTimerRunning) OpenClickWindow();
}

void ClickDetector::OpenClickWindow() {
    guard_.ClickTimerRunning = 1;
    host_.StartTimer(IDT_CLICKWINDOW, ClickWindowMs);
}

void ClickDetector::ContextMenu(const std::wstring* linkHref) {
    if (linkHref) guard_.AnchorHref = *linkHref;
    guard_.CloseClickWindow();
}

void ClickDetector::MouseOver(std::wstring_view tag) {
    if (!settings_.AllowFlashScripts) return;
    guard_.OverPluginObject = IsPluginTag(tag) ? 1 : 0;
}

}  // namespace qm
