#include "guard/reopen_request.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace qm {
namespace {

TEST(ReopenRequest, ScriptAddressesRunAsScripts) {
    struct Case {
        const wchar_t* url;
        ReopenRequest::Kind kind;
        const wchar_t* text;
    };
    using K = ReopenRequest::Kind;
    const Case cases[] = {
        {L"javascript:%20%20f()", K::RunScript, L"f()"},
        {L"  JavaScript:  %20f(1)", K::RunScript, L"f(1)"},
        {L"\t\r\njavascript:void(0)", K::RunScript, L"void(0)"},
        {L"javascript:f('%20')", K::RunScript, L"f('%20')"},
        {L"javascript:%20 f()", K::RunScript, L" f()"},
        {L"javascript:", K::RunScript, L""},
        {L"javascript", K::OpenWindow, L"javascript"},
        {L"vbscript:%20f()", K::OpenWindow, L"vbscript:%20f()"},
        {L"  http://www.example.com/a b.html", K::OpenWindow, L"  http://www.example.com/a b.html"},
        {L"", K::OpenWindow, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToAnsi(c.url));
        PopupRecord record;
        record.url = c.url;
        ReopenRequest request = PlanReopen(record);
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.text, c.text);
    }
}

TEST(ReopenRequest, OpensWithTheRecordedNameAndFullFeatures) {
    PopupRecord record;
    record.url = L"http://www.example.com/";
    record.targetName = L"news";
    record.width = 640;
    record.height = 480;
    record.left = 0;
    record.top = 10;
    ReopenRequest request = PlanReopen(record);
    EXPECT_EQ(request.name, L"news");
    EXPECT_EQ(request.features,
              L"height=480,width=640,left=0,top=10,menubar=1,status=1,location=1,toolbar=1,"
              L"fullscreen=0,resizable=1,channelmode=0,directories=1,scrollbars=1,titlebar=1");

    PopupRecord unnamed;
    unnamed.url = L"http://www.example.com/";
    EXPECT_EQ(PlanReopen(unnamed).name, L"");
}

}  // namespace
}  // namespace qm
