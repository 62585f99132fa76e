#pragma once
// A memory DC on a white colour bitmap, for tests that check pixels.

#include "platform/gdi/FontRendering.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <utility>

class TestCanvas {
public:
    TestCanvas(int width, int height, int bitsPerPixel = 32)
    {
        HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = bitsPerPixel == 1 ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(screen, width, height);
        DeleteDC(screen);
        previous = SelectObject(dc, bitmap);
        RECT all { 0, 0, width, height };
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~TestCanvas()
    {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    bool isBlack(int x, int y) const { return at(x, y) == RGB(0, 0, 0); }
    bool isWhite(int x, int y) const { return at(x, y) == RGB(255, 255, 255); }
    // The pixels of a rectangle as text rows: '#' for black, '.' for white, '?' for other colours.
    std::string picture(int left, int top, int right, int bottom) const
    {
        std::string out;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                out += isBlack(x, y) ? '#' : isWhite(x, y) ? '.' : '?';
            out += '\n';
        }
        return out;
    }
    // The pixels of a rectangle as text rows, one letter per colour of the legend ('?' for others).
    std::string picture(const RECT& area, std::initializer_list<std::pair<char, COLORREF>> legend) const
    {
        std::string out;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                char letter = '?';
                for (auto [key, colour] : legend)
                    if (at(x, y) == colour)
                        letter = key;
                out += letter;
            }
            out += '\n';
        }
        return out;
    }
    // The bounding box of the pixels that are not white.
    CRect inkBounds(int width, int height) const
    {
        CRect box(width, height, 0, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (!isWhite(x, y)) {
                    box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1), box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

// Text rendering settings for one scope; the previous ones come back after it.
// Rows of a picture joined as picture() writes them.
inline std::string rows(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines)
        (out += line) += '\n';
    return out;
}

class ScopedFontRendering {
public:
    explicit ScopedFontRendering(const fln::gdi::FontRendering& rendering)
        : m_previous(fln::gdi::CurrentFontRendering())
    {
        fln::gdi::SetFontRendering(rendering);
    }
    ~ScopedFontRendering() { fln::gdi::SetFontRendering(m_previous); }
    ScopedFontRendering(const ScopedFontRendering&) = delete;
    ScopedFontRendering& operator=(const ScopedFontRendering&) = delete;

private:
    fln::gdi::FontRendering m_previous;
};
