#pragma once
// QueryInterface from a table of (IID, this-cast) entries. Each entry is made
// with QiEntry<Interface>(this), so the compiler checks the cast: no offsets.

#include <objbase.h>

#include <cstddef>

namespace qm::win32 {

struct QiItem {
    const IID* iid;
    IUnknown* object;
};

template <typename Interface, typename Object>
QiItem QiEntry(Object* self, const IID& iid = __uuidof(Interface)) {
    IUnknown* object = static_cast<Interface*>(self);
    return QiItem{&iid, object};
}

// Answers IUnknown with the first entry. Sets *ppv to null first.
template <std::size_t N>
HRESULT QueryInterfaceFromTable(const QiItem (&table)[N], REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const QiItem& item : table) {
        if (IsEqualIID(iid, *item.iid) || IsEqualIID(iid, IID_IUnknown)) {
            item.object->AddRef();
            *ppv = item.object;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

}  // namespace qm::win32
