#include "lab/win32/lab_event_object.h"

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"

namespace qm::lab {

win32::ComPtr<LabEventObject> LabEventObject::Create(std::string type, IHTMLElement* source,
                                                     long button) {
    win32::ComPtr<LabEventObject> event;
    event.attach(new LabEventObject(std::move(type), source, button));
    return event;
}

LabEventObject::LabEventObject(std::string type, IHTMLElement* source, long button)
    : type_(std::move(type)), source_(source), button_(button) {
    VariantInit(&returnValue_);
}

LabEventObject::~LabEventObject() {
    VariantClear(&returnValue_);
}

HRESULT STDMETHODCALLTYPE LabEventObject::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {win32::QiEntry<IHTMLEventObj>(this),
                                   win32::QiEntry<IDispatch>(this)};
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

HRESULT STDMETHODCALLTYPE LabEventObject::get_srcElement(IHTMLElement** out) {
    return ReturnInterface(out, source_.get());
}

HRESULT STDMETHODCALLTYPE LabEventObject::get_type(BSTR* out) {
    return ReturnBstr(out, type_);
}

HRESULT STDMETHODCALLTYPE LabEventObject::get_button(LONG* out) {
    if (!out) return E_POINTER;
    *out = button_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabEventObject::put_returnValue(VARIANT value) {
    return VariantCopy(&returnValue_, &value);
}

HRESULT STDMETHODCALLTYPE LabEventObject::get_returnValue(VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return VariantCopy(out, &returnValue_);
}

HRESULT STDMETHODCALLTYPE LabEventObject::put_cancelBubble(VARIANT_BOOL value) {
    cancelBubble_ = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabEventObject::get_cancelBubble(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = cancelBubble_;
    return S_OK;
}

}  // namespace qm::lab
