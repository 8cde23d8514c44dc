#include "band/win32/class_factory.h"

#include "band/win32/band_object.h"
#include "common/win32/module_lock.h"
#include "common/win32/qi_table.h"
#include "quellmark_h.h"

namespace qm::band {
namespace {

using CreateFunction = HRESULT (*)(REFIID iid, void** ppv);

// A class object lives as long as the module: its count never frees it,
// and only LockServer keeps the module loaded.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const win32::QiItem table[] = {win32::QiEntry<IClassFactory>(this)};
        return win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            win32::LockModule();
        } else {
            win32::UnlockModule();
        }
        return S_OK;
    }

private:
    CreateFunction create_;
};

ClassFactory g_bandFactory(&BandObject::Create);

struct CreatableClass {
    const CLSID* clsid;
    ClassFactory* factory;
};

const CreatableClass kClasses[] = {
    {&CLSID_pop, &g_bandFactory},
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const CreatableClass& entry : kClasses) {
        if (IsEqualCLSID(clsid, *entry.clsid)) return entry.factory->QueryInterface(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace qm::band
