#include "wizard/win32/logo_picture.h"

#include <cstring>

namespace qm::win32 {
namespace {

constexpr int kHimetricPerInch = 2540;

}  // namespace

void PictureErrorBox::report(const char* text) {
    MessageBoxA(owner_, text, "CPicture Error", MB_OK | MB_ICONERROR);
}

bool LogoPicture::load(HMODULE module, int id, const char* type, PictureErrors& errors) {
    picture_.reset();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) {
        errors.report("FindResource() Failed\t");
        return false;
    }
    HGLOBAL resource = LoadResource(module, found);
    if (!resource) {
        errors.report("LoadResource() Failed\t");
        return false;
    }
    const void* bytes = LockResource(resource);
    if (!bytes) {
        errors.report("LockResource() Failed\t");
        return false;
    }
    // The loader reads from a stream, which wants a movable block of its own.
    DWORD size = SizeofResource(module, found);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* copy = block ? GlobalLock(block) : nullptr;
    if (!copy) {
        if (block) GlobalFree(block);
        errors.report("Can not allocate enough memory\t");
        return false;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(block);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.put()))) {
        GlobalFree(block);
        errors.report("Can not allocate enough memory\t");
        return false;
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              picture.putVoid())) ||
        !picture) {
        errors.report("IPicture interface is not supported\t");
        return false;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    himetric_ = SIZE{width, height};
    picture_ = std::move(picture);
    return true;
}

SIZE LogoPicture::size() const {
    return SIZE{MulDiv(himetric_.cx, 96, kHimetricPerInch),
                MulDiv(himetric_.cy, 96, kHimetricPerInch)};
}

bool LogoPicture::draw(HDC dc) const {
    if (!picture_) return false;
    int width = MulDiv(himetric_.cx, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
    int height = MulDiv(himetric_.cy, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
    RECT edge{0, 0, width + 2, height + 2};
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    // Picture coordinates run upwards: start at the top and go down.
    return SUCCEEDED(picture_->Render(dc, 1, 1, width, height, 0, himetric_.cy, himetric_.cx,
                                      -himetric_.cy, nullptr));
}

}  // namespace qm::win32
