#pragma once
// A test's own event sink: records every event it is sent (dispid, the
// argument types as rgvarg holds them, and the values the lab's tests look
// at) and lets the test answer an event (Cancel, ppDisp) as a band would.

#include <windows.h>
#include <mshtml.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win32/com_ptr.h"

namespace qm::lab::testing {

struct RecordedEvent {
    DISPID dispid = 0;
    std::vector<VARTYPE> types;       // rgvarg[0] first: the last argument first
    std::wstring text;                // the address (by reference) or the title
    long number = 0;                  // a VT_I4 or VT_BOOL argument
    win32::ComPtr<IUnknown> object;   // pDisp, or an HTML event's source element
    std::wstring eventType;           // an HTML event's type
    std::wstring sourceTag;           // an HTML event's source element's tag
    bool windowEventMatches = false;  // window.event was this event's object
};

class ProbeSink final : public IDispatch {
public:
    using Reaction = std::function<void(DISPID, DISPPARAMS*)>;

    static win32::ComPtr<ProbeSink> Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;

    // Connects to `source`'s connection point for `iid`; unadvised on release of the connection.
    bool connect(IUnknown* source, const IID& iid);
    void disconnect();

    void react(Reaction reaction) { reaction_ = std::move(reaction); }
    // The window whose `event` is compared with each HTML event's object.
    void watchWindowEvent(IHTMLWindow2* window) { window_ = win32::ComPtr<IHTMLWindow2>(window); }

    const std::vector<RecordedEvent>& events() const { return events_; }
    std::vector<DISPID> dispids() const;
    int count(DISPID dispid) const;
    const RecordedEvent* last(DISPID dispid) const;
    void clear() { events_.clear(); }

private:
    ProbeSink() = default;
    ~ProbeSink() = default;

    ULONG refs_ = 1;
    std::vector<RecordedEvent> events_;
    Reaction reaction_;
    win32::ComPtr<IHTMLWindow2> window_;
    win32::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

// Finds the VARIANT an argument slot refers to (through VT_BYREF|VT_VARIANT).
const VARIANT* Deref(const VARIANTARG& arg);
bool SameObject(IUnknown* a, IUnknown* b);

}  // namespace qm::lab::testing
