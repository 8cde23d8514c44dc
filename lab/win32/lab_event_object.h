#pragma once
// The event object of one HTML event: its type, its source element and the
// mouse button.

#include <windows.h>
#include <mshtml.h>

#include <string>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabEventObject final : public HtmlEventObjStub {
public:
    static win32::ComPtr<LabEventObject> Create(std::string type, IHTMLElement* source,
                                                long button);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    HRESULT STDMETHODCALLTYPE get_srcElement(IHTMLElement** out) override;
    HRESULT STDMETHODCALLTYPE get_type(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_button(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_returnValue(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_returnValue(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE put_cancelBubble(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_cancelBubble(VARIANT_BOOL* out) override;

private:
    LabEventObject(std::string type, IHTMLElement* source, long button);
    ~LabEventObject();

    RefCount refs_;
    std::string type_;
    win32::ComPtr<IHTMLElement> source_;
    long button_;
    VARIANT returnValue_;
    VARIANT_BOOL cancelBubble_ = VARIANT_FALSE;
};

}  // namespace qm::lab
