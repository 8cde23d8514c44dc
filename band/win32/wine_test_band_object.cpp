// The band object through the DLL's own entry points, without a browser.

#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/win32/com_ptr.h"
#include "common/win32/qi_table.h"
#include "common/win32/unique_handle.h"

namespace {

using qm::win32::ComPtr;

// {B65E5293-F7CD-492F-B829-835C48325501}
const CLSID kClsidPop = {
    0xB65E5293, 0xF7CD, 0x492F, {0xB8, 0x29, 0x83, 0x5C, 0x48, 0x32, 0x55, 0x01}};
// {5010B01A-7D99-406B-9C06-404906B7788C}
const IID kIidIpop = {0x5010B01A, 0x7D99, 0x406B, {0x9C, 0x06, 0x40, 0x49, 0x06, 0xB7, 0x78, 0x8C}};

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class BandObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char name[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, name, MAX_PATH);
        std::string path(name);
        path = path.substr(0, path.rfind('\\') + 1) + "out\\quellmark.dll";
        module = LoadLibraryA(path.c_str());
        ASSERT_NE(module, nullptr) << path;
        getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        ASSERT_TRUE(getClassObject && canUnloadNow);
        ASSERT_EQ(getClassObject(kClsidPop, IID_IClassFactory, factory.putVoid()), S_OK);
    }
    void TearDown() override {
        factory.reset();
        EXPECT_EQ(canUnloadNow ? canUnloadNow() : S_OK, S_OK);
        if (module) FreeLibrary(module);
        CoUninitialize();
    }

    ComPtr<IDeskBand> NewBand() {
        ComPtr<IDeskBand> band;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, band.putVoid()), S_OK);
        return band;
    }

    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
    ComPtr<IClassFactory> factory;
};

TEST_F(BandObjectTest, ClassObjectArguments) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(getClassObject(kClsidPop, IID_IClassFactory, nullptr), E_POINTER);
    ComPtr<IUnknown> aggregated;
    ComPtr<IUnknown> outer(factory.get());
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, aggregated.putVoid()),
              CLASS_E_NOAGGREGATION);
}

TEST_F(BandObjectTest, ModuleStaysLoadedWhileABandLivesOrTheServerIsLocked) {
    {
        ComPtr<IDeskBand> band = NewBand();
        ASSERT_TRUE(band);
        EXPECT_EQ(canUnloadNow(), S_FALSE);
        EXPECT_EQ(band->AddRef(), 2u);
        EXPECT_EQ(band->Release(), 1u);
        EXPECT_EQ(band.detach()->Release(), 0u);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(BandObjectTest, AnswersExactlyItsInterfaces) {
    ComPtr<IDeskBand> band = NewBand();
    const IID answered[] = {
        kIidIpop,           IID_IDispatch,    IID_IDeskBand,       IID_IOleWindow,
        IID_IDockingWindow, IID_IInputObject, IID_IObjectWithSite, IID_IPersistStream,
        IID_IOleClientSite, IID_IContextMenu, IID_IPersist,        IID_IUnknown};
    ComPtr<IUnknown> identity;
    ASSERT_EQ(band->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
    for (const IID& iid : answered) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(band->QueryInterface(iid, answer.putVoid()), S_OK);
        ComPtr<IUnknown> same;
        ASSERT_TRUE(answer);
        answer->QueryInterface(IID_IUnknown, same.putVoid());
        EXPECT_EQ(same.get(), identity.get());
    }
    const IID refused[] = {IID_IOleObject, IID_IPersistStreamInit, IID_IServiceProvider,
                           IID_IOleCommandTarget, IID_IClassFactory};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(band->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
}

TEST_F(BandObjectTest, SimpleAnswers) {
    ComPtr<IDeskBand> band = NewBand();
    EXPECT_EQ(band->GetBandInfo(0, 0, nullptr), E_INVALIDARG);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(band->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(band->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);
    EXPECT_EQ(band->ShowDW(TRUE), S_OK);
    EXPECT_EQ(band->CloseDW(0), S_OK);

    ComPtr<IInputObject> input = band.as<IInputObject>(IID_IInputObject);
    EXPECT_EQ(input->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);
    EXPECT_EQ(input->TranslateAcceleratorIO(nullptr), S_FALSE);

    ComPtr<IPersistStream> persist = band.as<IPersistStream>(IID_IPersistStream);
    CLSID clsid{};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kClsidPop));
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    EXPECT_EQ(persist->Load(nullptr), S_OK);
    EXPECT_EQ(persist->Save(nullptr, TRUE), S_OK);
    ULARGE_INTEGER size;
    EXPECT_EQ(persist->GetSizeMax(&size), E_NOTIMPL);

    ComPtr<IOleClientSite> clientSite = band.as<IOleClientSite>(IID_IOleClientSite);
    EXPECT_EQ(clientSite->SaveObject(), E_NOTIMPL);
    EXPECT_EQ(clientSite->ShowObject(), E_NOTIMPL);

    ComPtr<IObjectWithSite> withSite = band.as<IObjectWithSite>(IID_IObjectWithSite);
    void* site = reinterpret_cast<void*>(1);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &site), E_FAIL);
    EXPECT_EQ(site, nullptr);
}

TEST_F(BandObjectTest, AmbientDownloadControlAskedThroughIDispatch) {
    ComPtr<IDeskBand> band = NewBand();
    ComPtr<IDispatch> dispatch = band.as<IDispatch>(IID_IDispatch);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(dispatch->Invoke(-5512, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_I4);
    EXPECT_EQ(V_I4(&result), 0x60009780);
    VariantInit(&result);
    EXPECT_EQ(dispatch->Invoke(-5513, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_EMPTY);
    EXPECT_EQ(dispatch->Invoke(-5512, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, &result,
                               nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(dispatch->Invoke(-5512, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, &result, nullptr,
                               nullptr),
              DISP_E_PARAMNOTOPTIONAL);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

void SetBandVisibilitySetting(DWORD value) {
    qm::win32::UniqueKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Marrow Labs\\quellmark", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key.get(), "BandVisibility", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                   sizeof value);
}

TEST_F(BandObjectTest, BandInfoFollowsTheStoredVisibility) {
    struct Case {
        DWORD visibility;
        POINTL min, max, actual;
        const wchar_t* title;
        DWORD modes;
    };
    const Case cases[] = {
        {1, {104, 104}, {-1, -1}, {100, 104}, L"quellmark", 0x68},
        {0, {104, 18}, {-1, 18}, {100, 18}, L"", 0x61},
    };
    for (const Case& c : cases) {
        SetBandVisibilitySetting(c.visibility);
        ComPtr<IDeskBand> band = NewBand();
        DESKBANDINFO info;
        memset(&info, 0xCC, sizeof info);
        info.dwMask = 0x7F;
        ASSERT_EQ(band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &info), S_OK);
        EXPECT_EQ(info.dwMask, 0x3Fu);
        EXPECT_EQ(info.ptMinSize.x, c.min.x);
        EXPECT_EQ(info.ptMinSize.y, c.min.y) << c.visibility;
        EXPECT_EQ(info.ptMaxSize.x, c.max.x);
        EXPECT_EQ(info.ptMaxSize.y, c.max.y) << c.visibility;
        EXPECT_EQ(info.ptIntegral.x, 1);
        EXPECT_EQ(info.ptIntegral.y, 1);
        EXPECT_EQ(info.ptActual.x, c.actual.x);
        EXPECT_EQ(info.ptActual.y, c.actual.y) << c.visibility;
        EXPECT_STREQ(info.wszTitle, c.title);
        EXPECT_EQ(info.dwModeFlags, c.modes);
        EXPECT_EQ(info.crBkgnd, 0xCCCCCCCCu);
    }
    SetBandVisibilitySetting(1);
}

// A site that offers IOleWindow but has no window.
class WindowlessSite final : public IOleWindow {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const qm::win32::QiItem table[] = {qm::win32::QiEntry<IOleWindow>(this)};
        return qm::win32::QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    ULONG refs = 1;
};

TEST_F(BandObjectTest, SiteWithoutWindowFails) {
    ComPtr<IDeskBand> band = NewBand();
    ComPtr<IObjectWithSite> withSite = band.as<IObjectWithSite>(IID_IObjectWithSite);
    WindowlessSite site;
    EXPECT_EQ(withSite->SetSite(&site), E_FAIL);
    HWND window = reinterpret_cast<HWND>(1);
    band->GetWindow(&window);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    withSite.reset();
    band.reset();
    EXPECT_EQ(site.refs, 1u);
}

}  // namespace
