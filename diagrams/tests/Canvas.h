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
        // In colour: a bitmap compatible with the screen, not with the new DC's monochrome one.
        HDC screen = ::GetDC(nullptr);
        m_dc.CreateCompatibleDC(CDC::FromHandle(screen));
        m_bitmap.CreateCompatibleBitmap(CDC::FromHandle(screen), width, height);
        ::ReleaseDC(nullptr, screen);
        m_previous = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    }
    ~Canvas() { m_dc.SelectObject(m_previous); }

    CDC* operator->() { return &m_dc; }
    CDC* Dc() { return &m_dc; }
    COLORREF Pixel(int x, int y) { return m_dc.GetPixel(x, y); }
    // All pixels, row by row, read at once from the bitmap.
    std::vector<COLORREF> Pixels()
    {
        std::vector<DWORD> bits(static_cast<size_t>(m_width) * m_height);
        GetBitmapBits(static_cast<HBITMAP>(m_bitmap.m_hObject), static_cast<LONG>(bits.size() * 4), bits.data());
        std::vector<COLORREF> pixels;
        pixels.reserve(bits.size());
        for (DWORD bgr : bits)
            pixels.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
        return pixels;
    }
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
