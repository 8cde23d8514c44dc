#pragma once
// A collection of a page's elements (the document's scripts): by index or
// by id.

#include <windows.h>
#include <mshtml.h>

#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabElement;

class LabElementCollection final : public HtmlElementCollectionStub {
public:
    static win32::ComPtr<LabElementCollection> Create(
        std::vector<win32::ComPtr<LabElement>> elements);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    HRESULT STDMETHODCALLTYPE get_length(LONG* out) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** out) override;

private:
    explicit LabElementCollection(std::vector<win32::ComPtr<LabElement>> elements);
    ~LabElementCollection() = default;

    RefCount refs_;
    std::vector<win32::ComPtr<LabElement>> elements_;
};

}  // namespace qm::lab
