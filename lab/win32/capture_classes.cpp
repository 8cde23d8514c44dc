#include "lab/win32/capture_classes.h"

#include <exdisp.h>

#include "common/win32/com_ptr.h"
#include "common/win32/qi_table.h"
#include "lab/win32/com_object.h"
#include "lab/win32/lab_browser.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

class CaptureFactory final : public IClassFactory {
public:
    static win32::ComPtr<CaptureFactory> Create(Lab& lab, BrowserRole role) {
        win32::ComPtr<CaptureFactory> factory;
        factory.attach(new CaptureFactory(lab, role));
        return factory;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {win32::QiEntry<IClassFactory>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    QM_LAB_REFCOUNT_METHODS

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        bool control = role_ == BrowserRole::Control;
        win32::ComPtr<LabBrowser> browser =
            LabBrowser::Create(lab_, role_, lab_.newLabel("capture"));
        if (!browser) return E_OUTOFMEMORY;
        lab_.trace().add(lines::CaptureCreated(browser->label(), control ? 2 : 1));
        return browser->QueryInterface(iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    CaptureFactory(Lab& lab, BrowserRole role) : lab_(lab), role_(role) {}
    ~CaptureFactory() = default;

    RefCount refs_;
    Lab& lab_;
    BrowserRole role_;
};

}  // namespace

CaptureClasses::CaptureClasses(Lab& lab) {
    win32::ComPtr<CaptureFactory> control = CaptureFactory::Create(lab, BrowserRole::Control);
    win32::ComPtr<CaptureFactory> application =
        CaptureFactory::Create(lab, BrowserRole::Application);
    // The control is asked for in-process. The application is a local
    // server: registered as one, a request for it stays in this process
    // instead of starting the system's browser.
    CoRegisterClassObject(CLSID_WebBrowser, static_cast<IClassFactory*>(control.get()),
                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &controlCookie_);
    CoRegisterClassObject(CLSID_InternetExplorer, static_cast<IClassFactory*>(application.get()),
                          CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &applicationCookie_);
}

CaptureClasses::~CaptureClasses() {
    if (controlCookie_) CoRevokeClassObject(controlCookie_);
    if (applicationCookie_) CoRevokeClassObject(applicationCookie_);
}

}  // namespace qm::lab
