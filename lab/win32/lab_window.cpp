#include "lab/win32/lab_window.h"

#include <cctype>

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/origin.h"
#include "lab/win32/script_runner.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

bool IsJavaScript(const std::string& language) {
    std::string lower;
    for (char c : language) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "javascript" || lower == "jscript";
}

HRESULT CopyOut(VARIANT* out, const VARIANT& value) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return VariantCopy(out, const_cast<VARIANT*>(&value));
}

}  // namespace

win32::ComPtr<LabWindow> LabWindow::Create(LabDocument& document) {
    win32::ComPtr<LabWindow> window;
    window.attach(new LabWindow(document));
    return window;
}

LabWindow::LabWindow(LabDocument& document) : document_(&document) {
    events_ = ConnectionPoint::Create(__uuidof(HTMLWindowEvents2), this);
    VariantInit(&onunload_);
    VariantInit(&onbeforeunload_);
}

LabWindow::~LabWindow() {
    events_->detach();
    VariantClear(&onunload_);
    VariantClear(&onbeforeunload_);
}

HRESULT STDMETHODCALLTYPE LabWindow::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IHTMLWindow2>(this),
        win32::QiEntry<IHTMLFramesCollection2>(this),
        {&IID_IDispatch, static_cast<IHTMLWindow2*>(this)},
        win32::QiEntry<IConnectionPointContainer>(this),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

VARIANT& LabWindow::handler(const std::string& event) {
    return event == "onbeforeunload" ? onbeforeunload_ : onunload_;
}

void LabWindow::detach() {
    document_ = nullptr;
    event_.reset();
    VariantClear(&onunload_);
    VariantClear(&onbeforeunload_);
}

HRESULT LabWindow::Answer(LabWindow* window, IHTMLWindow2** out) {
    return ReturnInterface<IHTMLWindow2>(out, window);
}

LabWindow* LabWindow::parentWindow() const {
    if (!document_ || !document_->browser()) return nullptr;
    LabBrowser& browser = *document_->browser();
    if (browser.isTopLevel()) return nullptr;
    LabBrowser& top = browser.topLevel();
    // The frame's parent is the document whose frames hold this browser.
    std::vector<LabDocument*> pending = {top.document()};
    while (!pending.empty()) {
        LabDocument* candidate = pending.back();
        pending.pop_back();
        if (!candidate) continue;
        for (const win32::ComPtr<LabBrowser>& frame : candidate->frames()) {
            if (frame.get() == &browser) return &candidate->window();
            pending.push_back(frame->document());
        }
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE LabWindow::item(VARIANT* index, VARIANT* result) {
    if (!index || !result) return E_POINTER;
    VariantInit(result);
    if (!document_) return E_FAIL;
    const auto& frames = document_->frames();
    LabBrowser* frame = nullptr;
    if (index->vt == VT_BSTR) {
        std::string name = AnsiFrom(index->bstrVal);
        for (const win32::ComPtr<LabBrowser>& candidate : frames) {
            if (candidate->windowName() == name) frame = candidate.get();
        }
    } else {
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, index, 0, VT_I4))) return E_INVALIDARG;
        if (number.lVal < 0 || static_cast<std::size_t>(number.lVal) >= frames.size()) {
            return E_INVALIDARG;
        }
        frame = frames[static_cast<std::size_t>(number.lVal)].get();
    }
    if (!frame || !frame->document()) return E_INVALIDARG;
    result->vt = VT_DISPATCH;
    result->pdispVal = static_cast<IHTMLWindow2*>(&frame->document()->window());
    result->pdispVal->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabWindow::get_length(LONG* out) {
    if (!out) return E_POINTER;
    *out = document_ ? static_cast<LONG>(document_->frames().size()) : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabWindow::get_frames(IHTMLFramesCollection2** out) {
    return ReturnInterface<IHTMLFramesCollection2>(out, this);
}

HRESULT STDMETHODCALLTYPE LabWindow::put_name(BSTR value) {
    if (!document_ || !document_->browser()) return E_FAIL;
    document_->browser()->setWindowName(AnsiFrom(value));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabWindow::get_name(BSTR* out) {
    if (!document_ || !document_->browser()) return E_FAIL;
    return ReturnBstr(out, document_->browser()->windowName());
}

HRESULT STDMETHODCALLTYPE LabWindow::get_parent(IHTMLWindow2** out) {
    LabWindow* parent = parentWindow();
    return Answer(parent ? parent : this, out);
}

HRESULT STDMETHODCALLTYPE LabWindow::open(BSTR url, BSTR name, BSTR features, VARIANT_BOOL,
                                          IHTMLWindow2** out) {
    if (out) *out = nullptr;
    if (!document_ || !document_->browser() || !document_->browser()->lab()) return E_FAIL;
    LabBrowser& browser = *document_->browser();
    win32::ComPtr<LabBrowser> keepAlive(&browser);
    win32::ComPtr<IHTMLWindow2> opened = browser.lab()->openNewWindow(
        browser, AnsiFrom(url), AnsiFrom(name), AnsiFrom(features), "caller");
    if (out) *out = opened.detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabWindow::get_self(IHTMLWindow2** out) {
    return Answer(this, out);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_top(IHTMLWindow2** out) {
    if (!document_ || !document_->browser()) return Answer(this, out);
    LabDocument* top = document_->browser()->topLevel().document();
    return Answer(top ? &top->window() : this, out);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_window(IHTMLWindow2** out) {
    return Answer(this, out);
}

HRESULT STDMETHODCALLTYPE LabWindow::put_onbeforeunload(VARIANT value) {
    return VariantCopy(&onbeforeunload_, &value);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_onbeforeunload(VARIANT* out) {
    return CopyOut(out, onbeforeunload_);
}

HRESULT STDMETHODCALLTYPE LabWindow::put_onunload(VARIANT value) {
    return VariantCopy(&onunload_, &value);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_onunload(VARIANT* out) {
    return CopyOut(out, onunload_);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_document(IHTMLDocument2** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!document_ || !document_->browser()) return E_FAIL;
    LabBrowser& browser = *document_->browser();
    // A frame from another origin than its top-level page keeps its document.
    LabDocument* top = browser.topLevel().document();
    if (!browser.isTopLevel() && top && !SameOrigin(top->url(), document_->url())) {
        return E_ACCESSDENIED;
    }
    return ReturnInterface<IHTMLDocument2>(out, document_);
}

HRESULT STDMETHODCALLTYPE LabWindow::get_event(IHTMLEventObj** out) {
    return ReturnInterface(out, event_.get());
}

HRESULT STDMETHODCALLTYPE LabWindow::execScript(BSTR code, BSTR language, VARIANT* result) {
    if (result) VariantInit(result);
    std::string script = AnsiFrom(code);
    if (!document_ || !document_->browser() || !document_->browser()->lab()) return E_FAIL;
    win32::ComPtr<LabWindow> keepAlive(this);
    if (!IsJavaScript(AnsiFrom(language))) {
        document_->browser()->lab()->trace().add(lines::ScriptRefused("exec", script));
        return E_INVALIDARG;
    }
    RunScript(*this, script, "exec");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabWindow::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE LabWindow::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    return FindIn({events_}, iid, out);
}

}  // namespace qm::lab
