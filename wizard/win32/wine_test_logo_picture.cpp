// The logo picture helper on the uninstaller's own resources: the JPEG
// decodes to the logo, and each failing step is reported once.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard/win32/logo_picture.h"

namespace qm::win32 {
namespace {

class RecordedErrors : public PictureErrors {
public:
    void report(const char* text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

class LogoPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, name, MAX_PATH);
        std::string path(name);
        path = path.substr(0, path.rfind('\\') + 1) + "out\\uninstall.exe";
        program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program) << path;
    }
    void TearDown() override { FreeLibrary(program); }

    HMODULE program = nullptr;
    RecordedErrors errors;
};

COLORREF Pixel(const std::vector<DWORD>& bits, int width, int x, int y) {
    DWORD bgr = bits[static_cast<std::size_t>(y) * width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

TEST_F(LogoPictureTest, DrawsTheJpegInsideASunkenEdge) {
    LogoPicture logo;
    ASSERT_TRUE(logo.load(program, 136, "JPG", errors));
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_EQ(logo.size().cx, 200);
    EXPECT_EQ(logo.size().cy, 175);

    const int width = 240, height = 200;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    bool drawn = logo.draw(dc);
    GdiFlush();
    std::vector<DWORD> bits(static_cast<const DWORD*>(pixels),
                            static_cast<const DWORD*>(pixels) + width * height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ASSERT_TRUE(drawn);

    // A screen DC here has 96 pixels per inch, so the logo is 200 x 175.
    COLORREF top = Pixel(bits, width, 20, 3);
    EXPECT_LT(GetRValue(top), 80) << "the logo's dark blue top";
    EXPECT_GT(GetBValue(top), GetRValue(top) + 40);
    COLORREF bottom = Pixel(bits, width, 20, 170);
    EXPECT_GT(GetBValue(bottom), GetBValue(top)) << "it lightens towards the bottom";
    EXPECT_NE(Pixel(bits, width, 0, 50), RGB(255, 255, 255)) << "the sunken edge";
    EXPECT_EQ(Pixel(bits, width, 205, 50), RGB(255, 255, 255)) << "nothing drawn beside it";
    EXPECT_EQ(Pixel(bits, width, 100, 180), RGB(255, 255, 255)) << "nothing drawn below it";
}

TEST_F(LogoPictureTest, ReportsTheStepThatFailed) {
    const struct {
        int id;
        const char* type;
        const char* message;
    } cases[] = {
        {999, "JPG", "FindResource() Failed\t"},
        {133, "JPG", "FindResource() Failed\t"},
        // The version block is a resource, but no picture.
        {1, MAKEINTRESOURCEA(16), "IPicture interface is not supported\t"},
    };
    for (const auto& c : cases) {
        RecordedErrors caseErrors;
        LogoPicture logo;
        EXPECT_FALSE(logo.load(program, c.id, c.type, caseErrors)) << c.id;
        EXPECT_FALSE(logo.loaded());
        EXPECT_EQ(caseErrors.texts, std::vector<std::string>{c.message}) << c.id;
        HDC dc = CreateCompatibleDC(nullptr);
        EXPECT_FALSE(logo.draw(dc)) << "no picture, nothing drawn";
        DeleteDC(dc);
    }
}

}  // namespace
}  // namespace qm::win32
