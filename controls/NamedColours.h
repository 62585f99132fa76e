#pragma once
// A colour text of the HTML static control turned into a COLORREF: a colour name ("YellowGreen",
// any case), "#RRGGBB", or "red,green,blue" in decimal. A text that fits none of them is black.

#include "platform/base/WinTypes.h"

class CNGNamedColours {
public:
    explicit CNGNamedColours(const wchar_t* text);

    COLORREF Colour() const { return m_colour; }
    operator COLORREF() const { return m_colour; }

    struct Entry {
        const wchar_t* name;
        COLORREF colour;
    };
    // The 140 colour names of web pages, in alphabetical order, with their standard values.
    static const Entry s_table[140];

private:
    COLORREF m_colour = 0;
};
