// The RAII owners and COM helpers: every reference and handle is given back
// exactly once, on every path.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32/com_ptr.h"
#include "common/win32/qi_table.h"
#include "common/win32/unique_handle.h"

namespace qm::win32 {
namespace {

// A COM object that counts its references and reports its final release.
class Counted final : public IPersist, public IOleWindow {
public:
    explicit Counted(int* destroyed) : destroyed_(destroyed) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        const QiItem table[] = {QiEntry<IPersist>(this), QiEntry<IOleWindow>(this)};
        return QueryInterfaceFromTable(table, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) {
            ++*destroyed_;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    ULONG refs() const { return refs_; }

private:
    ~Counted() = default;
    ULONG refs_ = 1;
    int* destroyed_;
};

TEST(ComPtr, ReleasesEveryReferenceOnEveryPath) {
    int destroyed = 0;
    Counted* raw = new Counted(&destroyed);
    {
        ComPtr<IPersist> owner;
        owner.attach(raw);
        EXPECT_EQ(raw->refs(), 1u);
        ComPtr<IPersist> copy = owner;
        EXPECT_EQ(raw->refs(), 2u);
        ComPtr<IPersist> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(raw->refs(), 2u);
        ComPtr<IOleWindow> window = owner.as<IOleWindow>();
        ASSERT_TRUE(window);
        EXPECT_EQ(raw->refs(), 3u);
        ComPtr<IDispatch> none = owner.as<IDispatch>();
        EXPECT_FALSE(none);
        EXPECT_EQ(raw->refs(), 3u);
        // put() gives back the old reference before handing out the slot.
        EXPECT_EQ(raw->QueryInterface(IID_IPersist, moved.putVoid()), S_OK);
        EXPECT_EQ(raw->refs(), 3u);
        IPersist* detached = moved.detach();
        EXPECT_EQ(detached->Release(), 2u);
        owner = owner;
        EXPECT_EQ(raw->refs(), 2u);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(QiTable, AnswersIUnknownAndEveryInterfaceAndNullsOnFailure) {
    int destroyed = 0;
    Counted* raw = new Counted(&destroyed);
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(raw->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    IUnknown* unknown1 = nullptr;
    IUnknown* unknown2 = nullptr;
    IOleWindow* window = nullptr;
    ASSERT_EQ(raw->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown1)), S_OK);
    ASSERT_EQ(raw->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)), S_OK);
    // COM identity: IUnknown from any interface is the same pointer.
    ASSERT_EQ(window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown2)), S_OK);
    EXPECT_EQ(unknown1, unknown2);
    EXPECT_EQ(static_cast<void*>(window), static_cast<void*>(static_cast<IOleWindow*>(raw)));
    EXPECT_EQ(raw->QueryInterface(IID_IPersist, nullptr), E_POINTER);
    unknown1->Release();
    unknown2->Release();
    window->Release();
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(UniqueHandle, ClosesOnceAndMovesOwnership) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        UniqueKernelHandle first(raw);
        UniqueKernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    SetLastError(0);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    UniqueFile missing(
        CreateFileA("C:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);

    UniqueKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, key.put()), 0);
    EXPECT_TRUE(key);
    HKEY released = key.release();
    EXPECT_FALSE(key);
    RegCloseKey(released);
}

}  // namespace
}  // namespace qm::win32
