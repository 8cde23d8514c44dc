#include "lab/win32/testing/probe_sink.h"

#include <exdispid.h>

#include "common/win32/qi_table.h"

namespace qm::lab::testing {

win32::ComPtr<ProbeSink> ProbeSink::Create() {
    win32::ComPtr<ProbeSink> sink;
    sink.attach(new ProbeSink());
    return sink;
}

HRESULT STDMETHODCALLTYPE ProbeSink::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {win32::QiEntry<IDispatch>(this)};
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

ULONG STDMETHODCALLTYPE ProbeSink::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE ProbeSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

const VARIANT* Deref(const VARIANTARG& arg) {
    return arg.vt == (VT_VARIANT | VT_BYREF) ? arg.pvarVal : &arg;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return a == b;
    win32::ComPtr<IUnknown> first;
    win32::ComPtr<IUnknown> second;
    a->QueryInterface(IID_IUnknown, first.putVoid());
    b->QueryInterface(IID_IUnknown, second.putVoid());
    return first.get() == second.get();
}

HRESULT STDMETHODCALLTYPE ProbeSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                            VARIANT* result, EXCEPINFO*, UINT*) {
    RecordedEvent event;
    event.dispid = dispid;
    UINT count = params ? params->cArgs : 0;
    for (UINT i = 0; i < count; ++i) event.types.push_back(params->rgvarg[i].vt);
    if (count > 0) {
        // The first argument is the last slot: pDisp, a title, a value, an event object.
        const VARIANTARG& first = params->rgvarg[count - 1];
        if (first.vt == VT_DISPATCH && first.pdispVal) {
            win32::ComPtr<IHTMLEventObj> html;
            first.pdispVal->QueryInterface(IID_IHTMLEventObj, html.putVoid());
            if (html) {
                BSTR type = nullptr;
                html->get_type(&type);
                if (type) event.eventType = type;
                SysFreeString(type);
                win32::ComPtr<IHTMLElement> source;
                html->get_srcElement(source.put());
                if (source) {
                    source->QueryInterface(IID_IUnknown, event.object.putVoid());
                    BSTR tag = nullptr;
                    source->get_tagName(&tag);
                    if (tag) event.sourceTag = tag;
                    SysFreeString(tag);
                }
                if (window_) {
                    win32::ComPtr<IHTMLEventObj> current;
                    window_->get_event(current.put());
                    event.windowEventMatches = SameObject(current.get(), html.get());
                }
            } else {
                first.pdispVal->QueryInterface(IID_IUnknown, event.object.putVoid());
            }
        } else if (first.vt == VT_BSTR && first.bstrVal) {
            event.text = first.bstrVal;
        } else if (first.vt == VT_I4) {
            event.number = first.lVal;
        } else if (first.vt == VT_BOOL) {
            event.number = first.boolVal;
        }
        if (count >= 2) {
            const VARIANT* second = Deref(params->rgvarg[count - 2]);
            if (second && second->vt == VT_BSTR && second->bstrVal) event.text = second->bstrVal;
        }
    }
    events_.push_back(std::move(event));
    if (reaction_) reaction_(dispid, params);
    if (result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

bool ProbeSink::connect(IUnknown* source, const IID& iid) {
    win32::ComPtr<IConnectionPointContainer> container;
    if (!source ||
        FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.putVoid()))) {
        return false;
    }
    if (FAILED(container->FindConnectionPoint(iid, point_.put())) || !point_) return false;
    return SUCCEEDED(point_->Advise(static_cast<IDispatch*>(this), &cookie_));
}

void ProbeSink::disconnect() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
    cookie_ = 0;
    point_.reset();
    window_.reset();
}

std::vector<DISPID> ProbeSink::dispids() const {
    std::vector<DISPID> ids;
    for (const RecordedEvent& event : events_) ids.push_back(event.dispid);
    return ids;
}

int ProbeSink::count(DISPID dispid) const {
    int n = 0;
    for (const RecordedEvent& event : events_) n += event.dispid == dispid;
    return n;
}

const RecordedEvent* ProbeSink::last(DISPID dispid) const {
    for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
        if (it->dispid == dispid) return &*it;
    }
    return nullptr;
}

}  // namespace qm::lab::testing
