#include "guard/reopen_request.h"

#include <string_view>

namespace qm {
namespace {

constexpr std::wstring_view kBlanks = L" \t\n\v\f\r";
constexpr std::wstring_view kScheme = L"javascript:";
constexpr std::wstring_view kEscapedSpace = L"%20";

std::wstring_view TrimLeadingBlanks(std::wstring_view text) {
    std::size_t start = text.find_first_not_of(kBlanks);
    return start == std::wstring_view::npos ? std::wstring_view() : text.substr(start);
}

bool BeginsWithScheme(std::wstring_view address) {
    if (address.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        wchar_t c = address[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kScheme[i]) return false;
    }
    return true;
}

}  // namespace

ReopenRequest PlanReopen(const PopupRecord& record) {
    ReopenRequest request{ReopenRequest::Kind::OpenWindow, record.url, record.targetName,
                          record.OpenFeatures(true)};
    std::wstring_view address = TrimLeadingBlanks(record.url);
    if (!BeginsWithScheme(address)) return request;
    std::wstring_view script = TrimLeadingBlanks(address.substr(kScheme.size()));
    while (script.substr(0, kEscapedSpace.size()) == kEscapedSpace) {
        script.remove_prefix(kEscapedSpace.size());
    }
    request.kind = ReopenRequest::Kind::RunScript;
    request.text = script;
    return request;
}

}  // namespace qm
