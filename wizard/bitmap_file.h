#pragma once
// The two parts of a bitmap file (.bmp) the system makes a bitmap from: the
// header with its colour table, and the pixels.

#include <string_view>

namespace qm {

struct BitmapFileParts {
    std::string_view info;    // BITMAPINFOHEADER and the colour table
    std::string_view pixels;  // exactly the rows the header describes
};

// Only an uncompressed picture of 1 to 32 bits whose header, colour table
// and rows all lie within the file: anything else is refused rather than
// handed to the system to read beyond the file.
bool SplitBitmapFile(std::string_view file, BitmapFileParts& parts);

}  // namespace qm
