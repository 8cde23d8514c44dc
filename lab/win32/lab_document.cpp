#include "lab/win32/lab_document.h"

#include <mshtmdid.h>

#include <memory>

#include "common/win32/qi_table.h"
#include "lab/win32/browser_events.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_element_collection.h"
#include "lab/win32/lab_event_object.h"
#include "lab/win32/lab_window.h"
#include "lab/win32/script_function.h"
#include "lab/win32/script_runner.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

// The browser matches a script block's event name whatever its case.
bool SameEventName(const std::string& written, const std::string& event) {
    return lstrcmpiA(written.c_str(), event.c_str()) == 0;
}

}  // namespace

win32::ComPtr<LabDocument> LabDocument::Create(LabBrowser& browser, const PageSpec& page,
                                               const std::string& url) {
    win32::ComPtr<LabDocument> document;
    document.attach(new LabDocument(browser, page, url));
    document->build();
    return document;
}

LabDocument::LabDocument(LabBrowser& browser, const PageSpec& page, const std::string& url)
    : browser_(&browser), page_(page), url_(url) {
    events_ = ConnectionPoint::Create(__uuidof(HTMLDocumentEvents2), this);
}

LabDocument::~LabDocument() {
    detach();
    events_->detach();
}

void LabDocument::build() {
    window_ = LabWindow::Create(*this);
    if (page_.title) {
        title_ = *page_.title;
        hasTitle_ = true;
    }
    win32::ComPtr<LabElement> html = LabElement::Create(*this, "HTML", nullptr);
    win32::ComPtr<LabElement> head = LabElement::Create(*this, "HEAD", html.get());
    elements_.push_back(html);
    elements_.push_back(head);
    for (const ScriptBlockSpec& block : page_.scripts) {
        win32::ComPtr<LabElement> script = LabElement::Create(*this, "SCRIPT", head.get());
        script->setScript(block.event, block.forWhom, block.text);
        elements_.push_back(script);
    }
    win32::ComPtr<LabElement> body =
        LabElement::Create(*this, page_.frames.empty() ? "BODY" : "FRAMESET", html.get());
    body_ = body.get();
    elements_.push_back(body);

    Lab* lab = browser_->lab();
    for (const FrameSpec& frameSpec : page_.frames) {
        win32::ComPtr<LabElement> element = LabElement::Create(*this, "FRAME", body_);
        element->setId(frameSpec.name);
        elements_.push_back(element);
        if (!lab) continue;
        win32::ComPtr<LabBrowser> frame =
            LabBrowser::Create(*lab, BrowserRole::Frame, lab->newLabel("frame"), browser_);
        if (!frame) continue;
        frame->setWindowName(frameSpec.name);
        frame->setFrameName(frameSpec.name);
        frames_.push_back(frame);
    }
    for (const ElementSpec& elementSpec : page_.elements) {
        LabElement* parent = elementSpec.parent.empty() ? body_ : findElement(elementSpec.parent);
        win32::ComPtr<LabElement> element = LabElement::Create(*this, elementSpec.tag, parent);
        element->setId(elementSpec.id);
        element->setHref(elementSpec.href);
        element->setTarget(elementSpec.target);
        element->setOnclick(elementSpec.onclick);
        elements_.push_back(element);
    }
    for (const HandlerSpec& handlerSpec : page_.handlers) {
        VARIANT& handler = handlerSpec.owner == HandlerOwner::Window
                               ? window_->handler(handlerSpec.event)
                               : body_->handler(handlerSpec.event);
        SetHandlerScript(handler, handlerSpec.script);
    }
}

HRESULT STDMETHODCALLTYPE LabDocument::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IHTMLDocument2>(this),
        win32::QiEntry<IHTMLDocument>(this),
        {&IID_IDispatch, static_cast<IHTMLDocument2*>(this)},
        win32::QiEntry<IConnectionPointContainer>(this),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

LabElement* LabDocument::findElement(const std::string& id) const {
    if (id.empty()) return nullptr;
    for (const win32::ComPtr<LabElement>& element : elements_) {
        if (element->id() == id) return element.get();
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE LabDocument::get_all(IHTMLElementCollection** out) {
    if (!out) return E_POINTER;
    *out = LabElementCollection::Create(elements_).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabDocument::get_body(IHTMLElement** out) {
    return ReturnInterface<IHTMLElement>(out, body_);
}

HRESULT STDMETHODCALLTYPE LabDocument::get_scripts(IHTMLElementCollection** out) {
    if (!out) return E_POINTER;
    std::vector<win32::ComPtr<LabElement>> scripts;
    for (const win32::ComPtr<LabElement>& element : elements_) {
        if (element->tag() == "SCRIPT") scripts.push_back(element);
    }
    *out = LabElementCollection::Create(std::move(scripts)).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabDocument::put_title(BSTR value) {
    setTitle(AnsiFrom(value));
    return S_OK;
}

void LabDocument::setTitle(const std::string& title) {
    title_ = title;
    hasTitle_ = true;
    LabBrowser* browser = browser_;
    if (!browser || !browser->isTopLevel() || browser->document() != this || !browser->lab())
        return;
    browser->lab()->trace().add(lines::Title(browser->label(), title));
    FireTitleChange(browser->events(), WideFrom(title));
    if (browser->host()) browser->host()->pageChanged();
}

HRESULT STDMETHODCALLTYPE LabDocument::get_title(BSTR* out) {
    return ReturnBstr(out, title_);
}

HRESULT STDMETHODCALLTYPE LabDocument::get_readyState(BSTR* out) {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (browser_) browser_->get_ReadyState(&state);
    const char* text = state == READYSTATE_COMPLETE      ? "complete"
                       : state == READYSTATE_INTERACTIVE ? "interactive"
                                                         : "loading";
    return ReturnBstr(out, text);
}

HRESULT STDMETHODCALLTYPE LabDocument::get_frames(IHTMLFramesCollection2** out) {
    return ReturnInterface<IHTMLFramesCollection2>(out, window_.get());
}

HRESULT STDMETHODCALLTYPE LabDocument::get_URL(BSTR* out) {
    return ReturnBstr(out, url_);
}

HRESULT STDMETHODCALLTYPE LabDocument::get_parentWindow(IHTMLWindow2** out) {
    return ReturnInterface<IHTMLWindow2>(out, window_.get());
}

HRESULT STDMETHODCALLTYPE LabDocument::get_Script(IDispatch** out) {
    return ReturnInterface<IDispatch>(out, static_cast<IHTMLWindow2*>(window_.get()));
}

HRESULT STDMETHODCALLTYPE LabDocument::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE LabDocument::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    return FindIn({events_}, iid, out);
}

VARIANT_BOOL LabDocument::fireEvent(DISPID dispid, const char* type, LabElement* source,
                                    long button) {
    win32::ComPtr<LabDocument> keepAlive(this);
    win32::ComPtr<LabWindow> window = window_;
    win32::ComPtr<LabEventObject> event =
        LabEventObject::Create(type, source ? static_cast<IHTMLElement*>(source) : nullptr, button);
    window->setEvent(event.get());
    VARIANT_BOOL answer =
        FireHtmlEvent(*events_.get(), dispid, static_cast<IHTMLEventObj*>(event.get()));
    window->setEvent(nullptr);
    return answer;
}

bool LabDocument::activate(LabElement* element) {
    if (active_ == element) return false;
    active_ = element;
    return true;
}

void LabDocument::runLoadScripts() {
    win32::ComPtr<LabDocument> keepAlive(this);
    for (const ScriptBlockSpec& block : page_.scripts) {
        if (!block.event.empty()) continue;
        if (!browser_ || browser_->document() != this) return;
        RunScript(*window_.get(), block.text, "block");
    }
}

void LabDocument::windowLoaded() {
    win32::ComPtr<LabDocument> keepAlive(this);
    win32::ComPtr<LabWindow> window = window_;
    win32::ComPtr<LabEventObject> event = LabEventObject::Create("load", nullptr, 0);
    window->setEvent(event.get());
    FireHtmlEvent(window->events(), DISPID_HTMLWINDOWEVENTS2_ONLOAD,
                  static_cast<IHTMLEventObj*>(event.get()));
    window->setEvent(nullptr);
    for (const std::string& script : page_.onload) {
        if (!browser_ || browser_->document() != this) return;
        RunScript(*window.get(), script, "onload");
    }
    for (const win32::ComPtr<LabElement>& element : elements_) {
        if (!browser_ || browser_->document() != this) return;
        if (element->tag() == "SCRIPT" && SameEventName(element->scriptEvent(), "onload") &&
            !element->scriptText().empty()) {
            RunScript(*window.get(), element->scriptText(), "block-onload");
        }
    }
    for (const TimerSpec& timer : page_.timers) {
        setTimeout(timer.script, static_cast<unsigned>(timer.delayMs), "timer");
    }
}

void LabDocument::setTimeout(const std::string& script, unsigned milliseconds, const char* origin) {
    if (!browser_ || !browser_->lab()) return;
    Scheduler& scheduler = browser_->lab()->scheduler();
    auto id = std::make_shared<Scheduler::TaskId>(0);
    *id = scheduler.after(milliseconds, [this, id, script, origin] {
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (*it == *id) {
                timers_.erase(it);
                break;
            }
        }
        win32::ComPtr<LabDocument> keepAlive(this);
        RunScript(*window_.get(), script, origin);
    });
    timers_.push_back(*id);
}

void LabDocument::runHandlers(const std::string& event) {
    win32::ComPtr<LabDocument> keepAlive(this);
    win32::ComPtr<LabWindow> window = window_;
    const std::string bodyName = body_ && body_->tag() == "FRAMESET" ? "frameset" : "body";
    if (HandlerIsSet(window->handler(event))) {
        RunHandler(*window.get(), window->handler(event), event + "-window");
    }
    if (body_ && HandlerIsSet(body_->handler(event))) {
        RunHandler(*window.get(), body_->handler(event), event + "-" + bodyName);
    }
    for (const win32::ComPtr<LabElement>& element : elements_) {
        if (element->tag() == "SCRIPT" && SameEventName(element->scriptEvent(), event) &&
            !element->scriptText().empty()) {
            RunScript(*window.get(), element->scriptText(), "block-" + event);
        }
    }
}

void LabDocument::unload() {
    win32::ComPtr<LabDocument> keepAlive(this);
    // Before-unload runs in every document of the tree before any unload.
    std::vector<win32::ComPtr<LabDocument>> tree;
    std::vector<LabDocument*> pending = {this};
    while (!pending.empty()) {
        LabDocument* document = pending.front();
        pending.erase(pending.begin());
        tree.push_back(win32::ComPtr<LabDocument>(document));
        for (const win32::ComPtr<LabBrowser>& frame : document->frames_) {
            if (frame->document()) pending.push_back(frame->document());
        }
    }
    for (const win32::ComPtr<LabDocument>& document : tree) document->runHandlers("onbeforeunload");
    for (const win32::ComPtr<LabDocument>& document : tree) document->runHandlers("onunload");
}

void LabDocument::detach() {
    Lab* lab = browser_ ? browser_->lab() : nullptr;
    for (Scheduler::TaskId id : timers_) {
        if (lab) lab->scheduler().cancel(id);
    }
    timers_.clear();
    for (const win32::ComPtr<LabBrowser>& frame : frames_) frame->shutdown();
    frames_.clear();
    for (const win32::ComPtr<LabElement>& element : elements_) element->detach();
    elements_.clear();
    body_ = nullptr;
    active_ = nullptr;
    if (window_) window_->detach();
    browser_ = nullptr;
}

}  // namespace qm::lab
