#include "band/win32/registration.h"

#include <comcat.h>
#include <oleauto.h>

#include <string>

#include "quellmark_h.h"
#include "band/win32/registrar.h"
#include "band/resources/resource_ids.h"
#include "common/win32/com_ptr.h"
#include "common/win32/unique_handle.h"

namespace qm::band {
namespace {

using win32::ComPtr;

// A horizontal Explorer Bar.
// {00021494-0000-0000-C000-000000000046}
constexpr CATID kCatidCommBand = {
    0x00021494, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring ModuleFileNameW(HINSTANCE module) {
    char name[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    int count = MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(length), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(length), &wide[0], count);
    return wide;
}

HRESULT RunScript(const std::wstring& module, bool install) {
    ComPtr<IRegistrar> registrar;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  registrar.putVoid());
    if (FAILED(hr)) return hr;
    hr = registrar->AddReplacement(L"MODULE", module.c_str());
    if (FAILED(hr)) return hr;
    return install
               ? registrar->ResourceRegister(module.c_str(), IDR_QUELLMARK_REGISTRY, L"REGISTRY")
               : registrar->ResourceUnregister(module.c_str(), IDR_QUELLMARK_REGISTRY, L"REGISTRY");
}

HRESULT SetCategory(bool install) {
    ComPtr<ICatRegister> categories;
    HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICatRegister, categories.putVoid());
    if (FAILED(hr)) return hr;
    CATID category = kCatidCommBand;
    return install ? categories->RegisterClassImplCategories(CLSID_pop, 1, &category)
                   : categories->UnRegisterClassImplCategories(CLSID_pop, 1, &category);
}

// The category manager leaves an empty "Implemented Categories" key behind,
// and a key with a subkey survives the script's removal of the class key.
// Only an empty one goes, so another category is kept: Windows 9x deletes a
// key with all its subkeys, so emptiness is checked first.
void DropEmptyCategoryKey() {
    LPOLESTR clsid = nullptr;
    if (FAILED(StringFromCLSID(CLSID_pop, &clsid))) return;
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, clsid, -1, text, sizeof text, nullptr, nullptr);
    CoTaskMemFree(clsid);
    std::string key = std::string("CLSID\\") + text + "\\Implemented Categories";
    DWORD subkeys = 0;
    {
        win32::UniqueKey categories;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, categories.put()) !=
                ERROR_SUCCESS ||
            RegQueryInfoKeyA(categories.get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr) != ERROR_SUCCESS) {
            return;
        }
    }
    if (subkeys == 0) RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

HRESULT RegisterTypeLibrary(const std::wstring& module) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLib(module.c_str(), library.put());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.get(), const_cast<OLECHAR*>(module.c_str()), nullptr);
}

// Unregistered under the key it was registered under: that names the
// library's own architecture (win32 or win64), version and locale.
HRESULT UnregisterTypeLibrary(const std::wstring& module) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLib(module.c_str(), library.put());
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                           attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace

HRESULT RegisterServer(HINSTANCE module) {
    std::wstring path = ModuleFileNameW(module);
    HRESULT hr = RunScript(path, true);
    if (SUCCEEDED(hr)) hr = SetCategory(true);
    if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(path);
    return hr;
}

HRESULT UnregisterServer(HINSTANCE module) {
    std::wstring path = ModuleFileNameW(module);
    HRESULT hr = SetCategory(false);
    DropEmptyCategoryKey();
    if (SUCCEEDED(hr)) hr = RunScript(path, false);
    if (SUCCEEDED(hr)) hr = UnregisterTypeLibrary(path);
    return hr;
}

}  // namespace qm::band
