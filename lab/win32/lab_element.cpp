#include "lab/win32/lab_element.h"

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/script_function.h"

namespace qm::lab {

win32::ComPtr<LabElement> LabElement::Create(LabDocument& document, std::string tag,
                                             LabElement* parent) {
    win32::ComPtr<LabElement> element;
    element.attach(new LabElement(document, std::move(tag), parent));
    return element;
}

LabElement::LabElement(LabDocument& document, std::string tag, LabElement* parent)
    : document_(&document), tag_(std::move(tag)), parent_(parent) {
    VariantInit(&onunload_);
    VariantInit(&onbeforeunload_);
}

LabElement::~LabElement() {
    VariantClear(&onunload_);
    VariantClear(&onbeforeunload_);
}

HRESULT STDMETHODCALLTYPE LabElement::QueryInterface(REFIID iid, void** ppv) {
    if (ppv) *ppv = nullptr;
    // Only a BODY is a body element, only a FRAMESET a frameset, only a SCRIPT a script.
    if ((IsEqualIID(iid, IID_IHTMLBodyElement) && tag_ != "BODY") ||
        (IsEqualIID(iid, IID_IHTMLFrameSetElement) && tag_ != "FRAMESET") ||
        (IsEqualIID(iid, IID_IHTMLScriptElement) && tag_ != "SCRIPT")) {
        return E_NOINTERFACE;
    }
    const win32::QiItem table[] = {
        win32::QiEntry<IHTMLElement>(this),
        {&IID_IDispatch, static_cast<IHTMLElement*>(this)},
        win32::QiEntry<IHTMLBodyElement>(this),
        win32::QiEntry<IHTMLFrameSetElement>(this),
        win32::QiEntry<IHTMLScriptElement>(this),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

HRESULT STDMETHODCALLTYPE LabElement::getAttribute(BSTR name, LONG, VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    std::string attribute = AnsiFrom(name);
    const std::string* text = nullptr;
    if (_stricmp(attribute.c_str(), "href") == 0 && !href_.empty()) text = &href_;
    if (_stricmp(attribute.c_str(), "id") == 0 && !id_.empty()) text = &id_;
    if (_stricmp(attribute.c_str(), "target") == 0 && !target_.empty()) text = &target_;
    if (!text) {
        value->vt = VT_NULL;
        return S_OK;
    }
    value->vt = VT_BSTR;
    value->bstrVal = AllocBstr(*text);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabElement::get_id(BSTR* out) {
    return ReturnBstr(out, id_);
}

HRESULT STDMETHODCALLTYPE LabElement::get_tagName(BSTR* out) {
    return ReturnBstr(out, tag_);
}

HRESULT STDMETHODCALLTYPE LabElement::get_parentElement(IHTMLElement** out) {
    return ReturnInterface<IHTMLElement>(out, parent_);
}

HRESULT STDMETHODCALLTYPE LabElement::get_document(IDispatch** out) {
    return ReturnInterface<IDispatch>(
        out, document_ ? static_cast<IHTMLDocument2*>(document_) : nullptr);
}

HRESULT STDMETHODCALLTYPE LabElement::get_innerText(BSTR* out) {
    return ReturnBstr(out, tag_ == "SCRIPT" ? scriptText_ : std::string());
}

VARIANT& LabElement::handler(const std::string& event) {
    return event == "onbeforeunload" ? onbeforeunload_ : onunload_;
}

HRESULT STDMETHODCALLTYPE LabElement::put_onunload(VARIANT value) {
    return VariantCopy(&onunload_, &value);
}

HRESULT STDMETHODCALLTYPE LabElement::get_onunload(VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return VariantCopy(out, &onunload_);
}

HRESULT STDMETHODCALLTYPE LabElement::put_onbeforeunload(VARIANT value) {
    return VariantCopy(&onbeforeunload_, &value);
}

HRESULT STDMETHODCALLTYPE LabElement::get_onbeforeunload(VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return VariantCopy(out, &onbeforeunload_);
}

HRESULT STDMETHODCALLTYPE LabElement::put_event(BSTR value) {
    scriptEvent_ = AnsiFrom(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabElement::get_event(BSTR* out) {
    return ReturnBstr(out, scriptEvent_);
}

HRESULT STDMETHODCALLTYPE LabElement::put_htmlFor(BSTR value) {
    scriptFor_ = AnsiFrom(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabElement::get_htmlFor(BSTR* out) {
    return ReturnBstr(out, scriptFor_);
}

HRESULT STDMETHODCALLTYPE LabElement::put_text(BSTR value) {
    scriptText_ = AnsiFrom(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabElement::get_text(BSTR* out) {
    return ReturnBstr(out, scriptText_);
}

LabElement* LabElement::enclosingLink() {
    for (LabElement* element = this; element; element = element->parent_) {
        if (element->tag_ == "A" && !element->href_.empty()) return element;
    }
    return nullptr;
}

void LabElement::setScript(std::string event, std::string forWhom, std::string text) {
    scriptEvent_ = std::move(event);
    scriptFor_ = std::move(forWhom);
    scriptText_ = std::move(text);
}

void LabElement::detach() {
    document_ = nullptr;
    parent_ = nullptr;
    VariantClear(&onunload_);
    VariantClear(&onbeforeunload_);
}

}  // namespace qm::lab
