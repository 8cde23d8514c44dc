#pragma once
// The DLL's class objects, one per creatable class, made on first request
// and kept for the life of the module.

#include <objbase.h>

namespace qm::band {

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);

}  // namespace qm::band
