#include "common/code_page.h"

namespace qm {
namespace {
const CodePage* g_codePage = nullptr;
}

const CodePage& systemCodePage() {
    return *g_codePage;
}

void useCodePage(const CodePage& codePage) {
    g_codePage = &codePage;
}

ScopedCodePage::ScopedCodePage(const CodePage& codePage) : previous_(g_codePage) {
    g_codePage = &codePage;
}

ScopedCodePage::~ScopedCodePage() {
    g_codePage = previous_;
}

std::wstring Latin1CodePage::toWide(std::string_view text) const {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return wide;
}

std::string Latin1CodePage::toAnsi(std::wstring_view text) const {
    std::string ansi;
    ansi.reserve(text.size());
    for (wchar_t c : text)
        ansi.push_back(static_cast<unsigned>(c) < 0x100 ? static_cast<char>(c) : '?');
    return ansi;
}

}  // namespace qm
