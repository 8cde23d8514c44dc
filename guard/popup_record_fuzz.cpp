// Log lines come from a file anyone can edit: reading any bytes back must be
// safe, and writing the result must give a well-formed line.

#include <cstddef>
#include <cstdint>
#include <string>

#include "guard/popup_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qm::PopupRecord record;
    record.FromLogLine(std::string(reinterpret_cast<const char*>(data), size));
    std::string line = record.ToLogLine();
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) __builtin_trap();
    if (line.find_first_of(std::string("\r\n\0", 3)) != line.size() - 2) __builtin_trap();
    return 0;
}
