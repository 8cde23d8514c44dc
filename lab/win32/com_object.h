#pragma once
// Reference counting for the lab's COM objects. Every object is created
// with one reference for its creator and counts itself among the live
// objects, so a test can see that everything it made was released.

#include <windows.h>

namespace qm::lab {

// Lab COM objects alive in this process.
long LiveLabObjects();

class RefCount {
public:
    RefCount();
    ~RefCount();
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;

    ULONG add() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG drop() { return static_cast<ULONG>(InterlockedDecrement(&count_)); }

private:
    LONG count_ = 1;
};

// The IUnknown counting methods of a class with a RefCount member refs_
// and a private destructor.
#define QM_LAB_REFCOUNT_METHODS                  \
    ULONG STDMETHODCALLTYPE AddRef() override {  \
        return refs_.add();                      \
    }                                            \
    ULONG STDMETHODCALLTYPE Release() override { \
        ULONG left = refs_.drop();               \
        if (left == 0) delete this;              \
        return left;                             \
    }

// IDispatch for objects the band reaches only through their typed
// interfaces: no type information, no late-bound members.
#define QM_LAB_NO_LATE_BINDING                                                                 \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {                         \
        if (!count) return E_POINTER;                                                          \
        *count = 0;                                                                            \
        return S_OK;                                                                           \
    }                                                                                          \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {             \
        if (info) *info = nullptr;                                                             \
        return E_NOTIMPL;                                                                      \
    }                                                                                          \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { \
        return DISP_E_UNKNOWNNAME;                                                             \
    }                                                                                          \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,        \
                                     EXCEPINFO*, UINT*) override {                             \
        return DISP_E_MEMBERNOTFOUND;                                                          \
    }

}  // namespace qm::lab
