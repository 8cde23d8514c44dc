#pragma once
// One element of a lab page: its tag (upper case), id, parent and href, and
// for BODY, FRAMESET and SCRIPT elements the interfaces of those.

#include <windows.h>
#include <mshtml.h>

#include <string>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabDocument;

class LabElement final : public HtmlElementStub,
                         public HtmlBodyElementStub,
                         public HtmlFrameSetElementStub,
                         public HtmlScriptElementStub {
public:
    static win32::ComPtr<LabElement> Create(LabDocument& document, std::string tag,
                                            LabElement* parent);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    // IHTMLElement
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, LONG flags, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_id(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_parentElement(IHTMLElement** out) override;
    HRESULT STDMETHODCALLTYPE get_document(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_innerText(BSTR* out) override;

    // IHTMLBodyElement and IHTMLFrameSetElement: the two handler properties.
    HRESULT STDMETHODCALLTYPE put_onunload(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_onunload(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE put_onbeforeunload(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_onbeforeunload(VARIANT* out) override;

    // IHTMLScriptElement
    HRESULT STDMETHODCALLTYPE put_event(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_event(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_htmlFor(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_htmlFor(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_text(BSTR* out) override;

    const std::string& tag() const { return tag_; }
    const std::string& id() const { return id_; }
    void setId(std::string id) { id_ = std::move(id); }
    const std::string& href() const { return href_; }
    void setHref(std::string href) { href_ = std::move(href); }
    const std::string& target() const { return target_; }
    void setTarget(std::string target) { target_ = std::move(target); }
    const std::string& onclick() const { return onclick_; }
    void setOnclick(std::string script) { onclick_ = std::move(script); }
    LabElement* parent() const { return parent_; }
    LabDocument* document() const { return document_; }
    // The nearest A element with an href, this one or above it.
    LabElement* enclosingLink();

    // Handler properties (body and frameset) and script block texts.
    VARIANT& handler(const std::string& event);
    const std::string& scriptEvent() const { return scriptEvent_; }
    const std::string& scriptText() const { return scriptText_; }
    void setScript(std::string event, std::string forWhom, std::string text);

    // The page was left: the element no longer reaches its document.
    void detach();

private:
    LabElement(LabDocument& document, std::string tag, LabElement* parent);
    ~LabElement();

    RefCount refs_;
    LabDocument* document_;
    std::string tag_;
    LabElement* parent_;
    std::string id_;
    std::string href_;
    std::string target_;
    std::string onclick_;
    VARIANT onunload_;
    VARIANT onbeforeunload_;
    std::string scriptEvent_;
    std::string scriptFor_;
    std::string scriptText_;
};

}  // namespace qm::lab
