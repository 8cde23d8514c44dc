#pragma once
// BSTRs at the lab's COM boundary, converted through the system code page.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace qm::lab {

BSTR AllocBstr(std::string_view ansi);
std::string AnsiFrom(const wchar_t* text);
std::wstring WideFrom(std::string_view ansi);
// Hands `ansi` out through a BSTR out-parameter.
HRESULT ReturnBstr(BSTR* out, std::string_view ansi);
// Hands an interface pointer out with a new reference (null allowed).
template <class T>
HRESULT ReturnInterface(T** out, T* object) {
    if (!out) return E_POINTER;
    *out = object;
    if (object) object->AddRef();
    return S_OK;
}

}  // namespace qm::lab
