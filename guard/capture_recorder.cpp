#include "guard/capture_recorder.h"

#include "common/text.h"
#include "rules/parsed_url.h"

namespace qm {

void ApplyWindowReport(PopupRecord& record, WindowReport report, std::int32_t value) {
    switch (report) {
        case WindowReport::Left:
            record.left = value;
            break;
        case WindowReport::Top:
            record.top = value;
            break;
        case WindowReport::Width:
            record.width = value;
            break;
        case WindowReport::Height:
            record.height = value;
            break;
        case WindowReport::ToolBar:
            record.toolbar = value;
            record.menubar = value;
            record.location = value;
            record.directories = value;
            break;
        case WindowReport::MenuBar:
            if (record.toolbar) record.menubar = value;
            break;
        case WindowReport::AddressBar:
            if (record.toolbar) record.location = value;
            break;
        case WindowReport::StatusBar:
            record.status = value;
            break;
        case WindowReport::FullScreen:
            record.fullscreen = value;
            break;
        case WindowReport::Resizable:
            record.resizable = value;
            break;
    }
}

void RecordTitleChange(PopupRecord& record, std::wstring_view title) {
    if (!title.empty()) record.title = title;
}

void RecordNavigationComplete(PopupRecord& record, std::wstring_view address) {
    if (record.title.empty()) record.title = address;
}

void RecordDocumentTitle(PopupRecord& record, std::wstring_view documentTitle) {
    if (!documentTitle.empty() && record.title.empty()) record.title = documentTitle;
}

void ApplyFallbackTitle(PopupRecord& record) {
    if (!record.title.empty()) return;
    if (record.url.find(L"about:blank") != std::wstring::npos) {
        record.title = L"blank window";
    } else if (record.url.find(L"mailto:") != std::wstring::npos) {
        record.title = L"email address";
    } else {
        ParsedUrl parsed;
        parsed.Parse(ToAnsi(record.url));
        record.title = ToWide(parsed.domain + "." + parsed.tld + ": untitled popup");
    }
}

}  // namespace qm
