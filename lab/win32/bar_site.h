#pragma once
// The Explorer Bar's site as the band sees it: the bar frame's window, the
// command target that hears DBID_BANDINFOCHANGED, the service provider that
// gives the browser (and the lab's ear for the band's decisions), and the
// input-object site.

#include <windows.h>
#include <docobj.h>
#include <ocidl.h>
#include <servprov.h>
#include <shlobj.h>

#include "common/win32/com_ptr.h"
#include "guard/win32/decision_listener.h"
#include "lab/win32/com_object.h"

namespace qm::lab {

class BandHost;

class BarSite final : public IOleWindow,
                      public IOleCommandTarget,
                      public IServiceProvider,
                      public IInputObjectSite,
                      public IDecisionListener {
public:
    // `host` is not counted; it calls detach() when the bar closes.
    static win32::ComPtr<BarSite> Create(BandHost& host, HWND window, IWebBrowser2* browser);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                          OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                                   VARIANT* out) override;

    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** ppv) override;

    HRESULT STDMETHODCALLTYPE OnFocusChangeIS(IUnknown*, BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE Decided(const DecisionNote* note) override;

    void detach();

private:
    BarSite(BandHost& host, HWND window, IWebBrowser2* browser)
        : host_(&host), window_(window), browser_(browser) {}
    ~BarSite() = default;

    RefCount refs_;
    BandHost* host_;
    HWND window_;
    win32::ComPtr<IWebBrowser2> browser_;
};

}  // namespace qm::lab
