#pragma once
// A white bitmap of the given size in a memory DC, to draw diagrams and symbols on and compare
// their pixels with the pictures in tests/data.

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/user/tests/PixelChecks.h"

#include <algorithm>
#include <vector>

class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, width, height);
        m_previous = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    }
    ~Canvas() { m_dc.SelectObject(m_previous); }

    CDC* operator->() { return &m_dc; }
    CDC* Dc() { return &m_dc; }
    COLORREF Pixel(int x, int y) { return m_dc.GetPixel(x, y); }
    std::vector<COLORREF> Pixels(const RECT& area) { return pixel_checks::PixelsOf(m_dc, area); }
    std::vector<COLORREF> Pixels() { return Pixels({ 0, 0, m_width, m_height }); }
    int Count(COLORREF colour)
    {
        const std::vector<COLORREF> all = Pixels();
        return static_cast<int>(std::count(all.begin(), all.end(), colour));
    }
    ::testing::AssertionResult Matches(const char* name) { return pixel_checks::MatchesExpectedPixels(Pixels(), m_width, m_height, name); }

private:
    int m_width, m_height;
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_previous = nullptr;
};
