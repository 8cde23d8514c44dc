#pragma once
// Where an event sink delivers what it hears, by its owner record: the
// band's own page (Kind 0) or a capture browser (Kind 1).

#include <oaidl.h>

#include <cstdint>
#include <string_view>

#include "guard/capture_recorder.h"
#include "guard/guard.h"

namespace qm {

class ClickDetector;
class SinkHtml;

// The band, as the sinks of its own browser, documents and window see it.
class PageEventTarget {
public:
    virtual NewWindowOutcome OnNewWindow2() = 0;
    virtual void OnBeforeNavigate2() = 0;
    // NavigateComplete2 of the top-level browser.
    virtual void SinkWindow(IDispatch* browser, std::wstring_view url) = 0;
    // DocumentComplete of the top-level browser.
    virtual void OnDocumentComplete() = 0;
    virtual void WindowLoaded() = 0;
    virtual void ScheduleUnloadNeutralizer() = 0;
    virtual ClickDetector& Clicks() = 0;

protected:
    ~PageEventTarget() = default;
};

// A capture object, as the sink of its browser sees it.
class CaptureEventTarget {
public:
    // True when the navigation is to be cancelled.
    virtual bool OnCaptureBeforeNavigate(std::wstring_view url) = 0;
    virtual void OnCaptureNavigateComplete(std::wstring_view url) = 0;
    virtual void OnCaptureTitleChange(std::wstring_view title) = 0;
    virtual void OnCaptureDownloadComplete() = 0;
    virtual void OnCaptureWindowReport(WindowReport report, std::int32_t value) = 0;

protected:
    ~CaptureEventTarget() = default;
};

// Who a sink works for. Cleared when the owner lets go of the sink, so a
// sink that a page still holds reaches nobody.
struct SinkOwner {
    enum : std::int32_t { PageKind = 0, CaptureKind = 1 };
    std::int32_t Kind = PageKind;
    PageEventTarget* Band = nullptr;
    CaptureEventTarget* Capture = nullptr;
};

}  // namespace qm
