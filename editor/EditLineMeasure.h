#pragma once
// The widths of a line's text as the view lays it out, in the font selected into a DC: each
// character's advance, a tab stopping at the next multiple of the tab width counted from the
// line's start. Widths are whole ints (the system's tabbed extent keeps 16 bits).
//
// SECEditLineMeasure measures a piece of text; a run of characters that all have the font's
// common width is measured by its length, so that a line of millions of characters costs one scan.
// SECEditLineWidths keeps, for the latest long line measured, its width at every so many
// characters, and drops what an edit makes stale: the caret's place and the visible part of such
// a line are then found by a short scan.

#include "editor/Edit.h"
#include "platform/mfc/Dc.h"

#include <array>
#include <vector>

class SECEditLineMeasure {
public:
    // tabWidth at most 0: eight average characters.
    SECEditLineMeasure(CDC& dc, int tabWidth);

    // The width of text[0, count).
    int Width(const wchar_t* text, int count) const;
    // The most leading characters of text[0, length) that fit in width, and in fitWidth their width.
    int Fit(const wchar_t* text, int length, int width, int& fitWidth) const;
    // The most leading characters of text[0, length) that, laid out from x on, end at most at
    // limit; x moves past them.
    int Advance(const wchar_t* text, int length, long long limit, long long& x) const;
    // Where the character ch that starts at x ends.
    long long After(long long x, wchar_t ch) const;

    // Whether the two lay text out alike: the same font, tab width and widths.
    bool operator==(const SECEditLineMeasure& other) const
    {
        return m_font == other.m_font && m_tabWidth == other.m_tabWidth && m_widths == other.m_widths;
    }

private:
    CDC* m_dc;
    HGDIOBJ m_font = nullptr;
    int m_tabWidth = 1;
    // The widths of U+0000..U+00FF, and the one that all of U+0020..U+00FF have (0: none).
    std::array<int, 256> m_widths {};
    int m_commonWidth = 0;
};

class SECEditLineWidths {
public:
    // The width of the line's first count characters; length is the line's. The line is read in
    // pieces: a pointer to all of a long line would have the model store it wide.
    int Width(SECEdit& edit, const SECEditLineMeasure& measure, int line, int length, int count);
    // The most leading characters of the line that fit in width, and in fitWidth their width.
    int Fit(SECEdit& edit, const SECEditLineMeasure& measure, int line, int length, int width, int& fitWidth);

    // Lines shorter than this are measured whole each time.
    static constexpr int KeptFrom = 1 << 16;
    // The characters between two kept widths.
    static constexpr int Step = 1 << 14;

private:
    // Makes the kept widths those of the line in this measure, dropping what has changed since.
    void Follow(const SECEdit& edit, const SECEditLineMeasure& measure, int line);
    // Keeps one more width, that of the next Step characters after the last kept.
    void KeepNext(SECEdit& edit, const SECEditLineMeasure& measure, int line);
    // use(text, count) on the line's characters [from, to), or on none when they cannot be read.
    template <typename Use>
    static auto WithPiece(SECEdit& edit, int line, int from, int to, Use use);

    const SECEdit* m_edit = nullptr;
    unsigned m_version = 0;
    int m_line = -1;
    // The measure the kept widths were taken with, only to compare later ones with.
    std::unique_ptr<SECEditLineMeasure> m_measure;
    // m_kept[k]: the width of the line's first k * Step characters.
    std::vector<long long> m_kept;
};
