#include "lab/win32/lab_element_collection.h"

#include "common/win32/qi_table.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_element.h"

namespace qm::lab {

win32::ComPtr<LabElementCollection> LabElementCollection::Create(
    std::vector<win32::ComPtr<LabElement>> elements) {
    win32::ComPtr<LabElementCollection> collection;
    collection.attach(new LabElementCollection(std::move(elements)));
    return collection;
}

LabElementCollection::LabElementCollection(std::vector<win32::ComPtr<LabElement>> elements)
    : elements_(std::move(elements)) {}

HRESULT STDMETHODCALLTYPE LabElementCollection::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {win32::QiEntry<IHTMLElementCollection>(this),
                                   win32::QiEntry<IDispatch>(this)};
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

HRESULT STDMETHODCALLTYPE LabElementCollection::get_length(LONG* out) {
    if (!out) return E_POINTER;
    *out = static_cast<LONG>(elements_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LabElementCollection::item(VARIANT name, VARIANT, IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    VARIANT index;
    VariantInit(&index);
    if (name.vt != VT_BSTR && SUCCEEDED(VariantChangeType(&index, &name, 0, VT_I4))) {
        if (index.lVal < 0 || static_cast<std::size_t>(index.lVal) >= elements_.size()) {
            return S_OK;
        }
        return ReturnInterface<IDispatch>(
            out, static_cast<IHTMLElement*>(elements_[static_cast<std::size_t>(index.lVal)].get()));
    }
    if (name.vt == VT_BSTR) {
        std::string id = AnsiFrom(name.bstrVal);
        for (const win32::ComPtr<LabElement>& element : elements_) {
            if (element->id() == id) {
                return ReturnInterface<IDispatch>(out, static_cast<IHTMLElement*>(element.get()));
            }
        }
        return S_OK;
    }
    return E_INVALIDARG;
}

}  // namespace qm::lab
