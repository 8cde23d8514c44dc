#pragma once
// How the band's owner-drawn controls look: tabs, the logo, the small image
// buttons, the bar button and the About box's links. Each routine paints one
// control into the device context of its draw-item message.

#include <windows.h>

#include "band/tab_shapes.h"

namespace qm::band {

// The flash colour: the band's blink, and the frame of the logo.
constexpr COLORREF kFlashColour = RGB(36, 36, 59);
// The About box's links.
constexpr COLORREF kLinkColour = RGB(0, 0, 200);

struct Picture {
    HBITMAP bitmap;
    SIZE size;  // in pixels; 0 x 0 when the bitmap is missing
};

// The size of a loaded bitmap.
Picture PictureOf(HBITMAP bitmap);

void PaintTab(HDC dc, const TabShape& shape, Picture label);
void PaintLogo(HDC dc, RECT item, Picture logo, bool maximised, bool pushed);
void PaintSmallButton(HDC dc, RECT item, Picture face, bool pushed);
void PaintBarButton(HDC dc, RECT item, Picture image, bool pushed);
// The window text of a link button, underlined in the link colour.
void PaintLink(HDC dc, HWND link, RECT item);

}  // namespace qm::band
