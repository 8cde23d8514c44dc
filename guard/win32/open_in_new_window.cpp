#include "guard/win32/open_in_new_window.h"

#include <mshtml.h>

#include "common/win32/bstr.h"
#include "common/win32/com_ptr.h"
#include "guard/reopen_request.h"
#include "page/win32/dom.h"

namespace qm {

using win32::Bstr;
using win32::ComPtr;

void OpenInNewWindow(IWebBrowser2* browser, Guard& guard, const PopupRecord& record) {
    ComPtr<IHTMLWindow2> window = WindowOf(DocumentOf(browser).get());
    if (!window) return;
    ReopenRequest request = PlanReopen(record);
    guard.ClickTriggered = 1;
    guard.Reopening = 1;
    if (request.kind == ReopenRequest::Kind::RunScript) {
        Bstr script(request.text);
        Bstr language(L"Javascript");
        win32::Variant result;
        window->execScript(script.get(), language.get(), result.get());
    } else {
        Bstr url(request.text);
        Bstr name(request.name);
        Bstr features(request.features);
        ComPtr<IHTMLWindow2> opened;
        window->open(url.get(), name.get(), features.get(), VARIANT_FALSE, opened.put());
    }
    guard.ClickTriggered = 0;
    guard.Reopening = 0;
}

}  // namespace qm
