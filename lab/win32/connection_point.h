#pragma once
// One outgoing event interface of a lab object: the sinks advised on it and
// the firing of an event to each of them.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"

namespace qm::lab {

// Sinks advised on every lab connection point of this process.
long LiveConnections();

class ConnectionPoint final : public IConnectionPoint {
public:
    // `container` is not counted: the container owns this object and calls
    // detach() before it goes.
    static win32::ComPtr<ConnectionPoint> Create(const IID& iid,
                                                 IConnectionPointContainer* container);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    const IID& iid() const { return iid_; }
    void detach();

    // Calls Invoke(dispid) on every sink advised when the event began, with
    // the arguments as DISPPARAMS holds them (the last one first).
    void fire(DISPID dispid, VARIANTARG* reversedArgs, UINT count, VARIANT* result = nullptr);

private:
    ConnectionPoint(const IID& iid, IConnectionPointContainer* container)
        : iid_(iid), container_(container) {}
    ~ConnectionPoint();

    struct Sink {
        DWORD cookie;
        win32::ComPtr<IDispatch> dispatch;
    };

    RefCount refs_;
    IID iid_;
    IConnectionPointContainer* container_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

// FindConnectionPoint over a container's few connection points.
HRESULT FindIn(const std::vector<win32::ComPtr<ConnectionPoint>>& points, REFIID iid,
               IConnectionPoint** out);

}  // namespace qm::lab
