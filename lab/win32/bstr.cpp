#include "lab/win32/bstr.h"

#include "common/text.h"

namespace qm::lab {

BSTR AllocBstr(std::string_view ansi) {
    std::wstring wide = ToWide(ansi);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string AnsiFrom(const wchar_t* text) {
    if (!text) return {};
    return ToAnsi(std::wstring_view(text));
}

std::wstring WideFrom(std::string_view ansi) {
    return ToWide(ansi);
}

HRESULT ReturnBstr(BSTR* out, std::string_view ansi) {
    if (!out) return E_POINTER;
    *out = AllocBstr(ansi);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace qm::lab
