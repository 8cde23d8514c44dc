#include "band/win32/face_painting.h"

#include "common/win32/gdi_objects.h"

namespace qm::band {
namespace {

// Copies `picture` to (x, y), ANDed with the brush selected into `dc`: the
// white of the picture takes the brush's colour.
void BlendPicture(HDC dc, int x, int y, Picture picture) {
    if (!picture.bitmap) return;
    MemoryDc source(dc);
    Selection bitmap(source.get(), picture.bitmap);
    BitBlt(dc, x, y, picture.size.cx, picture.size.cy, source.get(), 0, 0, MERGECOPY);
}

void CopyPicture(HDC dc, int x, int y, Picture picture) {
    if (!picture.bitmap) return;
    MemoryDc source(dc);
    Selection bitmap(source.get(), picture.bitmap);
    BitBlt(dc, x, y, picture.size.cx, picture.size.cy, source.get(), 0, 0, SRCCOPY);
}

void Line(HDC dc, const TabLine& line) {
    Pen pen(CreatePen(PS_SOLID, 1, line.colour));
    Selection selected(dc, pen.get());
    MoveToEx(dc, line.x1, line.y, nullptr);
    LineTo(dc, line.x2, line.y);
}

}  // namespace

Picture PictureOf(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {nullptr, {0, 0}};
    return {bitmap, {info.bmWidth, info.bmHeight}};
}

void PaintTab(HDC dc, const TabShape& shape, Picture label) {
    Brush fill(CreateSolidBrush(shape.fill));
    Selection brush(dc, fill.get());
    Selection pen(dc, GetStockObject(BLACK_PEN));
    if (shape.polygon.empty()) {
        const Rect& r = shape.rectangle;
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    } else {
        POINT points[8];
        int count = 0;
        for (const Point& p : shape.polygon) {
            if (count == 8) break;
            points[count++] = {p.x, p.y};
        }
        SetPolyFillMode(dc, WINDING);
        Polygon(dc, points, count);
    }
    BlendPicture(dc, shape.label.x, shape.label.y, label);
    for (const TabLine& line : shape.lines) Line(dc, line);
}

void PaintLogo(HDC dc, RECT item, Picture logo, bool maximised, bool pushed) {
    RECT r = item;
    if (!maximised) OffsetRect(&r, 0, 2);
    const int width = item.right - item.left;
    const int height = item.bottom - item.top;
    Pen framePen(CreatePen(PS_SOLID, 1, kFlashColour));
    Brush frameBrush(CreateSolidBrush(kFlashColour));
    {
        // White below the picture when the band is taller than the logo.
        Selection brush(dc, GetStockObject(WHITE_BRUSH));
        Selection pen(dc, framePen.get());
        Rectangle(dc, 0, logo.size.cy - 1, width, height);
    }
    CopyPicture(dc, r.left, r.top, logo);
    if (pushed) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        if (maximised) {
            RECT inner = r;
            InflateRect(&inner, -1, -1);
            DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT);
        }
    } else {
        FrameRect(dc, &r, frameBrush.get());
    }
}

void PaintSmallButton(HDC dc, RECT item, Picture face, bool pushed) {
    HBRUSH buttonFace = GetSysColorBrush(COLOR_BTNFACE);
    RECT below = item;
    below.top = item.top + face.size.cy;
    if (below.top < below.bottom) FillRect(dc, &below, buttonFace);
    Selection brush(dc, buttonFace);
    BlendPicture(dc, item.left, item.top, face);
    if (pushed) DrawEdge(dc, &item, EDGE_SUNKEN, BF_RECT);
}

void PaintBarButton(HDC dc, RECT item, Picture image, bool pushed) {
    FillRect(dc, &item, GetSysColorBrush(COLOR_BTNFACE));
    CopyPicture(dc, 2, 1, image);
    if (pushed) {
        DrawEdge(dc, &item, EDGE_SUNKEN, BF_RECT);
    } else {
        RECT edge = {1, 0, image.size.cx + 4, image.size.cy + 3};
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RIGHT | BF_BOTTOM);
    }
}

void PaintLink(HDC dc, HWND link, RECT item) {
    char text[51] = {};
    GetWindowTextA(link, text, sizeof text);
    LOGFONTA face{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfUnderline = TRUE;
    Font underlined(CreateFontIndirectA(&face));
    FillRect(dc, &item, GetSysColorBrush(COLOR_BTNFACE));
    Selection font(dc, underlined.get());
    COLORREF previousColour = SetTextColor(dc, kLinkColour);
    int previousMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &item, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousColour);
}

}  // namespace qm::band
