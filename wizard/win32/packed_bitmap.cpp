#include "wizard/win32/packed_bitmap.h"

#include <cstring>
#include <string>
#include <vector>

#include "wizard/bitmap_file.h"
#include "wizard/packed_file.h"

namespace qm::win32 {

HBITMAP LoadPackedBitmap(HINSTANCE instance, int id) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), kPackedBitmapType);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    std::string file;
    BitmapFileParts parts;
    if (!data || !UnpackFile(std::string_view(data, SizeofResource(instance, found)), file) ||
        !SplitBitmapFile(file, parts)) {
        return nullptr;
    }
    // The header follows the file's 14-byte header: copied to where its
    // fields are aligned.
    std::vector<DWORD> info((parts.info.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(info.data(), parts.info.data(), parts.info.size());
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    HBITMAP bitmap = CreateDIBitmap(screen, &header->bmiHeader, CBM_INIT, parts.pixels.data(),
                                    header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace qm::win32
