#pragma once
// The installer carries its files packed: the file's size as four bytes,
// least significant first, then the file as one zlib stream (RFC 1950,
// whose Adler-32 sum covers the unpacked bytes).

#include <string>
#include <string_view>

namespace qm {

// True, with `bytes` exactly the packed file, only when the stream ends
// where the packed data ends, its sum matches and it gives as many bytes as
// the size says. A file that does not fit in memory fails the same way.
bool UnpackFile(std::string_view packed, std::string& bytes);

}  // namespace qm
