// Log lines come from a file anyone can edit, and their texts are in the
// system's code page, which may be a double-byte one: a lead byte before
// an ESC, CR or LF must not swallow the field or line end. Reading any bytes
// back must be safe, and the line written from the result must be
// well-formed and read back to the same line.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/code_page.h"
#include "common/testing/dbcs_code_page.h"
#include "guard/popup_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const qm::testing::DbcsCodePage dbcs;
    qm::ScopedCodePage codePage(dbcs);
    qm::PopupRecord record;
    record.FromLogLine(std::string(reinterpret_cast<const char*>(data), size));
    const std::string line = record.ToLogLine();
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) __builtin_trap();
    if (line.find_first_of(std::string("\r\n\0", 3)) != line.size() - 2) __builtin_trap();
    qm::PopupRecord again;
    again.FromLogLine(line.substr(0, line.size() - 2));
    if (again.ToLogLine() != line) __builtin_trap();
    return 0;
}
