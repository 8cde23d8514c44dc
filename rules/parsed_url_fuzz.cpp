// Addresses come from pages: any bytes must split without fault, and the
// record's invariants must hold, in a double-byte code page too.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/testing/dbcs_code_page.h"
#include "rules/parsed_url.h"

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void Check(const std::string& address) {
    qm::ParsedUrl url;
    url.Parse(address);
    if (!EndsWith(url.path, url.file)) __builtin_trap();
    if (!url.path.empty() && url.path[0] != '/') __builtin_trap();
    if (url.server.size() + url.domain.size() + url.tld.size() > address.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string address(reinterpret_cast<const char*>(data), size);
    Check(address);
    qm::testing::DbcsCodePage dbcs;
    qm::ScopedCodePage scope(dbcs);
    Check(address);
    return 0;
}
