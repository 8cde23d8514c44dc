// The wizards' packed pictures unpack to the very pixels of their bitmap
// files, as LoadBitmap would have made them; a missing or foreign resource
// gives no bitmap.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard/win32/packed_bitmap.h"

namespace qm::win32 {
namespace {

HMODULE LoadProgram(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path);
    program = program.substr(0, program.rfind('\\') + 1) + "out\\" + name;
    return LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// The bitmap's pixels, top row first, as 0x00RRGGBB.
std::vector<DWORD> Pixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

TEST(PackedBitmap, UnpacksToThePixelsOfTheBitmapFile) {
    // Pixels read from the committed bitmap files: gradient ends, the menu's
    // face, and one anti-aliased letter pixel of "Explorer Bar".
    const struct {
        const char* program;
        int id;
        int width, height;
        int x, y;
        DWORD rgb;
    } cases[] = {
        {"uninstall.exe", 133, 200, 175, 0, 0, 0x1C2F5E},
        {"uninstall.exe", 133, 200, 175, 0, 174, 0x3F7CC4},
        {"QuellmarkSetup.exe", 150, 200, 175, 0, 0, 0x1C2F5E},
        {"QuellmarkSetup.exe", 192, 255, 115, 2, 30, 0xD4D0C8},
        {"QuellmarkSetup.exe", 192, 255, 115, 5, 5, 0xFFFFFF},
        {"QuellmarkSetup.exe", 192, 255, 115, 100, 64, 0x586A99},
    };
    for (const auto& c : cases) {
        HMODULE program = LoadProgram(c.program);
        ASSERT_TRUE(program) << c.program;
        HBITMAP bitmap = LoadPackedBitmap(program, c.id);
        FreeLibrary(program);
        ASSERT_TRUE(bitmap) << c.program << " " << c.id;
        BITMAP shape{};
        GetObjectA(bitmap, sizeof shape, &shape);
        EXPECT_EQ(shape.bmWidth, c.width) << c.id;
        EXPECT_EQ(shape.bmHeight, c.height) << c.id;
        const std::vector<DWORD> pixels = Pixels(bitmap, c.width, c.height);
        DeleteObject(bitmap);
        EXPECT_EQ(pixels[static_cast<std::size_t>(c.y) * c.width + c.x], c.rgb)
            << c.program << " " << c.id << " at " << c.x << "," << c.y;
    }
}

TEST(PackedBitmap, NothingWhereNoPackedPictureIs) {
    HMODULE program = LoadProgram("QuellmarkSetup.exe");
    ASSERT_TRUE(program);
    // 191 is a plain bitmap, not a packed one.
    for (int id : {999, 191}) {
        HBITMAP bitmap = LoadPackedBitmap(program, id);
        EXPECT_EQ(bitmap, nullptr) << id;
        if (bitmap) DeleteObject(bitmap);
    }
    FreeLibrary(program);
}

}  // namespace
}  // namespace qm::win32
