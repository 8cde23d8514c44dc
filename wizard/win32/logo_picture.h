#pragma once
// The wizards' logo: a JPEG resource turned into a picture object by the
// system's picture loader, drawn inside a sunken edge at the page's corner.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "common/win32/com_ptr.h"

namespace qm::win32 {

// Receives the text of each failure ("FindResource() Failed\t" and so on).
class PictureErrors {
public:
    virtual ~PictureErrors() = default;
    virtual void report(const char* text) = 0;
};

// Reports as a message box captioned "CPicture Error" with an error icon.
class PictureErrorBox : public PictureErrors {
public:
    explicit PictureErrorBox(HWND owner) : owner_(owner) {}
    void report(const char* text) override;

private:
    HWND owner_;
};

class LogoPicture {
public:
    // Loads resource `id` of `type` from `module`; a failure is reported once
    // and leaves the helper without a picture.
    bool load(HMODULE module, int id, const char* type, PictureErrors& errors);
    bool loaded() const { return static_cast<bool>(picture_); }
    // The picture's size in pixels at 96 dots per inch.
    SIZE size() const;
    // Renders the picture at (1, 1) at the device's resolution inside a
    // sunken edge; false when the picture cannot be rendered.
    bool draw(HDC dc) const;

private:
    ComPtr<IPicture> picture_;
    SIZE himetric_{};
};

}  // namespace qm::win32
