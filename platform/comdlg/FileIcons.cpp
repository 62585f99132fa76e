#include "platform/comdlg/FileIcons.h"

#include "platform/gdi/Gdi.h"

namespace fln::comdlg {

namespace {

// An outlined polygon of the icon's own colours, in the icon's 16-pixel grid.
void Shape(HDC dc, int x, int y, std::initializer_list<POINT> grid, COLORREF fill)
{
    POINT points[8];
    int count = 0;
    for (POINT p : grid)
        points[count++] = { x + p.x, y + p.y };
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Polygon(dc, points, count);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

} // namespace

void DrawFileIcon(HDC dc, int x, int y, FileIcon icon)
{
    switch (icon) {
    case FileIcon::Folder:
        Shape(dc, x, y, { { 1, 3 }, { 6, 3 }, { 7, 4 }, { 14, 4 }, { 14, 13 }, { 1, 13 } }, RGB(255, 255, 0));
        Shape(dc, x, y, { { 1, 6 }, { 14, 6 }, { 14, 13 }, { 1, 13 } }, RGB(192, 192, 0));
        break;
    case FileIcon::Document:
        Shape(dc, x, y, { { 3, 1 }, { 10, 1 }, { 13, 4 }, { 13, 14 }, { 3, 14 } }, RGB(255, 255, 255));
        Shape(dc, x, y, { { 10, 1 }, { 10, 4 }, { 13, 4 } }, RGB(192, 192, 192));
        break;
    }
}

} // namespace fln::comdlg
