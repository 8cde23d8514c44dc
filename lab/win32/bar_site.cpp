#include "lab/win32/bar_site.h"

#include <exdisp.h>
#include <shlguid.h>

#include "common/win32/qi_table.h"
#include "lab/win32/band_host.h"

namespace qm::lab {

win32::ComPtr<BarSite> BarSite::Create(BandHost& host, HWND window, IWebBrowser2* browser) {
    win32::ComPtr<BarSite> site;
    site.attach(new BarSite(host, window, browser));
    return site;
}

HRESULT STDMETHODCALLTYPE BarSite::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {
        win32::QiEntry<IOleWindow>(this),
        win32::QiEntry<IOleCommandTarget>(this),
        win32::QiEntry<IServiceProvider>(this),
        win32::QiEntry<IInputObjectSite>(this),
        win32::QiEntry<IDecisionListener>(this, IID_IDecisionListener),
    };
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

HRESULT STDMETHODCALLTYPE BarSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = host_ ? window_ : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE BarSite::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*) {
    if (!group || !IsEqualGUID(*group, CGID_DeskBand)) return OLECMDERR_E_UNKNOWNGROUP;
    return OLECMDERR_E_NOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE BarSite::Exec(const GUID* group, DWORD command, DWORD, VARIANT*,
                                        VARIANT*) {
    if (!group || !IsEqualGUID(*group, CGID_DeskBand)) return OLECMDERR_E_UNKNOWNGROUP;
    if (command != DBID_BANDINFOCHANGED) return OLECMDERR_E_NOTSUPPORTED;
    if (host_) host_->bandInfoChanged();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BarSite::QueryService(REFGUID service, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!host_ || !browser_) return E_FAIL;
    if (IsEqualGUID(service, SID_SWebBrowserApp) || IsEqualGUID(service, IID_IWebBrowser2)) {
        return browser_->QueryInterface(iid, ppv);
    }
    if (IsEqualGUID(service, SID_QuellmarkDecisions)) return QueryInterface(iid, ppv);
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE BarSite::Decided(const DecisionNote* note) {
    if (!note) return E_POINTER;
    if (host_) host_->decided(*note);
    return S_OK;
}

void BarSite::detach() {
    host_ = nullptr;
    browser_.reset();
}

}  // namespace qm::lab
