#include "page/unload_neutralizer.h"

namespace qm {
namespace {

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lower[i]) return false;
    }
    return true;
}

}  // namespace

bool IsUnloadEventName(std::wstring_view name) {
    return EqualsIgnoringCase(name, L"onunload") || EqualsIgnoringCase(name, L"onbeforeunload");
}

UnloadNeutralizer::UnloadNeutralizer(const Settings& settings, PageHost& host,
                                     NeutralizerPage& page)
    : settings_(settings), host_(host), page_(page) {}

void UnloadNeutralizer::ScheduleUnloadNeutralizer() {
    host_.CheckVisible();
    if (!settings_.ClearOnUnload) return;
    ClearOnUnloadTries = kPollingTries;
    host_.StartTimer(IDT_CLEARONUNLOAD, kPollingIntervalMs);
}

void UnloadNeutralizer::WindowLoaded() {
    if (settings_.ClearOnUnload) ClearOnUnloadTick(true);
}

bool UnloadNeutralizer::ClearOnUnloadTick(bool immediate) {
    if (!page_.IsBusy() && !immediate) return false;
    return page_.ClearDocument();
}

void UnloadNeutralizer::OnTimer() {
    // Switched off while polling: the phase ends without touching the page.
    if (!settings_.ClearOnUnload) {
        host_.KillTimer(IDT_CLEARONUNLOAD);
        return;
    }
    bool cleared = ClearOnUnloadTick(false);
    if (cleared && page_.IsBusy()) {
        host_.KillTimer(IDT_CLEARONUNLOAD);
        return;
    }
    std::int32_t left = ClearOnUnloadTries--;
    if (left <= 0) host_.KillTimer(IDT_CLEARONUNLOAD);
}

}  // namespace qm
