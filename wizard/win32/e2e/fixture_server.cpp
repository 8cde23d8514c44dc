// A stand-in for quellmark.dll in tests of the code that calls a DLL's
// registration entry points. Both entry points count their calls in
// HKCU\Software\Quellmark Tests\Fixture and return the status named by the
// environment variable QM_FIXTURE_RESULT (hexadecimal; S_OK when unset).

#include <windows.h>

#include <cstdlib>

namespace {

HRESULT Called(const char* entry) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quellmark Tests\\Fixture", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        DWORD calls = 0;
        DWORD size = sizeof calls;
        RegQueryValueExA(key, entry, nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size);
        ++calls;
        RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<BYTE*>(&calls), sizeof calls);
        RegCloseKey(key);
    }
    char result[16] = {};
    if (!GetEnvironmentVariableA("QM_FIXTURE_RESULT", result, sizeof result)) return S_OK;
    return static_cast<HRESULT>(std::strtoul(result, nullptr, 16));
}

}  // namespace

STDAPI DllRegisterServer() {
    return Called("DllRegisterServer");
}

STDAPI DllUnregisterServer() {
    return Called("DllUnregisterServer");
}
