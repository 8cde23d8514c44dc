#include "lab/win32/script_runner.h"

#include "lab/win32/bstr.h"
#include "lab/win32/lab.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_window.h"
#include "lab/page_script.h"
#include "lab/win32/script_function.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

// Page functions may call each other; a page that recurses forever stops here.
constexpr int kMaxDepth = 16;
int g_depth = 0;

class DepthGuard {
public:
    DepthGuard() { ++g_depth; }
    ~DepthGuard() { --g_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

void Run(LabWindow& window, const Statement& statement, const char* by) {
    LabDocument* document = window.document();
    if (!document || !document->browser() || !document->browser()->lab()) return;
    LabBrowser& browser = *document->browser();
    Lab& lab = *browser.lab();
    switch (statement.kind) {
        case Statement::Kind::Open:
            lab.openNewWindow(browser, statement.args[0], statement.args[1], statement.args[2], by);
            break;
        case Statement::Kind::SetTitle:
            document->setTitle(statement.args[0]);
            break;
        case Statement::Kind::SetHandler: {
            LabElement* body = document->body();
            if (statement.owner != HandlerOwner::Window && !body) break;
            VARIANT& handler = statement.owner == HandlerOwner::Window
                                   ? window.handler(statement.event)
                                   : body->handler(statement.event);
            if (statement.clears) {
                VariantClear(&handler);
                handler.vt = VT_NULL;
            } else {
                SetHandlerScript(handler, statement.args[0]);
            }
            break;
        }
        case Statement::Kind::SetTimeout:
            document->setTimeout(statement.args[0], static_cast<unsigned>(statement.milliseconds),
                                 "timeout");
            break;
        case Statement::Kind::Navigate: {
            // The browser leaves the page after the script has finished.
            win32::ComPtr<LabBrowser> target(&browser);
            std::string url = statement.args[0];
            lab.scheduler().after(0, [target, url] { target->navigate(url); });
            break;
        }
        case Statement::Kind::Call:
            if (const FunctionSpec* function = document->page().findFunction(statement.args[0])) {
                RunScript(window, function->script, "function", by);
            } else {
                lab.trace().add(lines::ScriptNotUnderstood(statement.text));
            }
            break;
        case Statement::Kind::NotUnderstood:
            lab.trace().add(lines::ScriptNotUnderstood(statement.text));
            break;
    }
}

}  // namespace

void RunScript(LabWindow& window, const std::string& code, std::string_view origin,
               const char* by) {
    LabDocument* document = window.document();
    if (!document || !document->browser() || !document->browser()->lab()) return;
    LabBrowser& browser = *document->browser();
    Trace& trace = browser.lab()->trace();
    if (!browser.scriptsAllowed() || g_depth >= kMaxDepth) {
        trace.add(lines::ScriptRefused(origin, code));
        return;
    }
    win32::ComPtr<LabWindow> keepAlive(&window);
    DepthGuard depth;
    trace.add(lines::Script(origin, code));
    for (const Statement& statement : ParsePageScript(code)) {
        // A statement may leave the page; the rest of the script goes with it.
        if (window.document() != document) return;
        Run(window, statement, by);
    }
}

void RunHandler(LabWindow& window, const VARIANT& handler, std::string_view origin) {
    if (handler.vt == VT_BSTR) {
        std::string text = AnsiFrom(handler.bstrVal);
        if (!text.empty()) RunScript(window, text, origin);
        return;
    }
    if (handler.vt != VT_DISPATCH || !handler.pdispVal) return;
    win32::ComPtr<IDispatch> function(handler.pdispVal);
    if (ScriptFunction* script = ScriptFunction::From(function.get())) {
        RunScript(window, script->script(), origin);
        return;
    }
    LabDocument* document = window.document();
    if (document && document->browser() && document->browser()->lab()) {
        document->browser()->lab()->trace().add(lines::Script(origin, "[foreign function]"));
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    function->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                     nullptr, nullptr);
}

}  // namespace qm::lab
