#pragma once
// Pictures of more colours than a palette holds are carried packed like the
// installer's files (wizard/packed_file.h): as bitmap files they are twenty
// times the size.

#include <windows.h>

namespace qm::win32 {

constexpr char kPackedBitmapType[] = "PACKED_BITMAP";

// The picture as LoadBitmap makes one, for the screen; null when the
// resource is missing, damaged or not a bitmap file.
HBITMAP LoadPackedBitmap(HINSTANCE instance, int id);

}  // namespace qm::win32
