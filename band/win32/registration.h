#pragma once
// DllRegisterServer / DllUnregisterServer: the registration script, the
// Explorer Bar category and the type library, in that order (reversed when
// unregistering). Each returns the first failure.

#include <windows.h>

namespace qm::band {

HRESULT RegisterServer(HINSTANCE module);
HRESULT UnregisterServer(HINSTANCE module);

}  // namespace qm::band
