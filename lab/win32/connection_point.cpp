#include "lab/win32/connection_point.h"

#include "common/win32/qi_table.h"

namespace qm::lab {
namespace {
LONG g_connections = 0;
}

long LiveConnections() {
    return InterlockedCompareExchange(&g_connections, 0, 0);
}

ConnectionPoint::~ConnectionPoint() {
    InterlockedExchangeAdd(&g_connections, -static_cast<LONG>(sinks_.size()));
}

win32::ComPtr<ConnectionPoint> ConnectionPoint::Create(const IID& iid,
                                                       IConnectionPointContainer* container) {
    win32::ComPtr<ConnectionPoint> point;
    point.attach(new ConnectionPoint(iid, container));
    return point;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {win32::QiEntry<IConnectionPoint>(this)};
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = container_;
    if (!container_) return E_UNEXPECTED;
    container_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    // A sink may answer the event interface itself or only IDispatch.
    win32::ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(iid_, dispatch.putVoid())) || !dispatch) {
        if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid())) || !dispatch) {
            return CONNECT_E_CANNOTCONNECT;
        }
    }
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(dispatch)});
    InterlockedIncrement(&g_connections);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            // The sink may be released by this very erase: take it out first.
            win32::ComPtr<IDispatch> gone = std::move(it->dispatch);
            sinks_.erase(it);
            InterlockedDecrement(&g_connections);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void ConnectionPoint::detach() {
    container_ = nullptr;
    std::vector<Sink> sinks;
    sinks.swap(sinks_);
    InterlockedExchangeAdd(&g_connections, -static_cast<LONG>(sinks.size()));
}

void ConnectionPoint::fire(DISPID dispid, VARIANTARG* reversedArgs, UINT count, VARIANT* result) {
    // A sink may unadvise itself or others while it handles the event.
    std::vector<Sink> sinks = sinks_;
    win32::ComPtr<ConnectionPoint> keepAlive(this);
    for (const Sink& sink : sinks) {
        DISPPARAMS params = {reversedArgs, nullptr, count, 0};
        if (result) VariantClear(result);
        sink.dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                              result, nullptr, nullptr);
    }
}

HRESULT FindIn(const std::vector<win32::ComPtr<ConnectionPoint>>& points, REFIID iid,
               IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const win32::ComPtr<ConnectionPoint>& point : points) {
        if (IsEqualIID(point->iid(), iid)) {
            point->AddRef();
            *out = point.get();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

}  // namespace qm::lab
