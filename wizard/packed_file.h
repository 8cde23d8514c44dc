#pragma once
// The installer carries its files packed: the file's size as four bytes,
// least significant first, then the file as one zlib stream (RFC 1950,
// whose Adler-32 sum covers the unpacked bytes).

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Far more than any file the installer carries; a size above it is damage,
// not a file, and is refused before anything is allocated for it.
constexpr std::size_t kMaxUnpackedSize = 16u << 20;

// True, with `bytes` exactly the packed file, only when the stream ends
// where the packed data ends, its sum matches and it gives as many bytes as
// the size says. A size beyond kMaxUnpackedSize fails the same way.
bool UnpackFile(std::string_view packed, std::string& bytes);

}  // namespace qm
