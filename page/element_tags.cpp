#include "page/element_tags.h"

namespace qm {

std::wstring LowerTagName(std::wstring_view tag) {
    std::wstring lower(tag);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

bool IsPluginTag(std::wstring_view tag) {
    return tag == L"APPLET" || tag == L"EMBED" || tag == L"OBJECT" || tag == L"CONTROL";
}

}  // namespace qm
