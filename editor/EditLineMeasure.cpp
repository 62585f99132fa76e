#include "editor/EditLineMeasure.h"

#include <algorithm>
#include <climits>

namespace {

// The characters the common width applies to.
constexpr bool IsPrintableLatin1(wchar_t ch)
{
    return static_cast<unsigned>(ch) - 0x20u < 0xE0u;
}

// The length of the leading run of text[0, length) that holds printable Latin-1 characters only.
// Checked a block at a time without an early exit, which the compiler turns into vector code.
int PrintableLatin1Run(const wchar_t* text, int length)
{
    constexpr int Block = 64;
    int i = 0;
    for (; i + Block <= length; i += Block) {
        bool other = false;
        for (int j = 0; j < Block; ++j)
            other |= !IsPrintableLatin1(text[i + j]);
        if (other)
            break;
    }
    while (i < length && IsPrintableLatin1(text[i]))
        ++i;
    return i;
}

int ClampToInt(long long x)
{
    return static_cast<int>(std::min<long long>(x, INT_MAX));
}

} // namespace

// ---- SECEditLineMeasure --------------------------------------------------------------------

SECEditLineMeasure::SECEditLineMeasure(CDC& dc, int tabWidth)
    : m_dc(&dc)
    , m_font(::GetCurrentObject(dc, OBJ_FONT))
{
    TEXTMETRICW metrics {};
    dc.GetTextMetrics(&metrics);
    m_tabWidth = tabWidth > 0 ? tabWidth : std::max<int>(8 * metrics.tmAveCharWidth, 1);
    for (int ch = 0; ch < 256; ++ch) {
        const wchar_t c = static_cast<wchar_t>(ch);
        SIZE size {};
        ::GetTextExtentPoint32W(dc, &c, 1, &size);
        m_widths[ch] = size.cx;
    }
    const bool common = std::all_of(m_widths.begin() + 0x21, m_widths.end(), [&](int width) { return width == m_widths[0x20]; });
    m_commonWidth = common && m_widths[0x20] > 0 ? m_widths[0x20] : 0;
}

long long SECEditLineMeasure::After(long long x, wchar_t ch) const
{
    if (ch == L'\t')
        return (x / m_tabWidth + 1) * m_tabWidth;
    if (static_cast<unsigned>(ch) < 256)
        return x + m_widths[ch];
    SIZE size {};
    ::GetTextExtentPoint32W(*m_dc, &ch, 1, &size);
    return x + size.cx;
}

int SECEditLineMeasure::Width(const wchar_t* text, int count) const
{
    long long x = 0;
    Advance(text, count, LLONG_MAX, x);
    return ClampToInt(x);
}

int SECEditLineMeasure::Fit(const wchar_t* text, int length, int width, int& fitWidth) const
{
    long long x = 0;
    const int fit = Advance(text, length, width, x);
    fitWidth = ClampToInt(x);
    return fit;
}

int SECEditLineMeasure::Advance(const wchar_t* text, int length, long long limit, long long& x) const
{
    int i = 0;
    while (x <= limit && i < length) {
        if (m_commonWidth > 0) {
            const long long room = (limit - x) / m_commonWidth;
            // Scanned no further than the limit reaches.
            const int run = PrintableLatin1Run(text + i, static_cast<int>(std::min<long long>(length - i, room + 1)));
            if (run > room) {
                i += static_cast<int>(room);
                x += room * m_commonWidth;
                break;
            }
            i += run;
            x += static_cast<long long>(run) * m_commonWidth;
            if (i == length)
                break;
        }
        const long long next = After(x, text[i]);
        if (next > limit)
            break;
        x = next;
        ++i;
    }
    return i;
}

// ---- SECEditLineWidths ---------------------------------------------------------------------

void SECEditLineWidths::Follow(const SECEdit& edit, const SECEditLineMeasure& measure, int line)
{
    const SECEdit::TextChange& change = edit.GetLastTextChange();
    bool kept = &edit == m_edit && line == m_line && m_measure && *m_measure == measure;
    if (kept && change.version != m_version) {
        // One change since: what lies before it stays.
        kept = change.version == m_version + 1 && !(change.start.m_nLine < line && change.linesMoved);
        if (kept && change.start.m_nLine == line)
            m_kept.resize(std::min<size_t>(m_kept.size(), change.start.m_nCol / Step + 1));
    }
    if (!kept) {
        m_edit = &edit;
        m_line = line;
        m_measure = std::make_unique<SECEditLineMeasure>(measure);
        m_kept.assign(1, 0);
    }
    m_version = change.version;
}

template <typename Use>
auto SECEditLineWidths::WithPiece(SECEdit& edit, int line, int from, int to, Use use)
{
    const wchar_t* text = nullptr;
    if (to <= from || edit.GetLinePointer(text, line, from, line, to) != to - from || !text)
        return use(static_cast<const wchar_t*>(L""), 0);
    return use(text, to - from);
}

void SECEditLineWidths::KeepNext(SECEdit& edit, const SECEditLineMeasure& measure, int line)
{
    long long x = m_kept.back();
    const int from = static_cast<int>(m_kept.size() - 1) * Step;
    WithPiece(edit, line, from, from + Step, [&](const wchar_t* text, int count) { return measure.Advance(text, count, LLONG_MAX, x); });
    m_kept.push_back(x);
}

int SECEditLineWidths::Width(SECEdit& edit, const SECEditLineMeasure& measure, int line, int length, int count)
{
    count = std::clamp(count, 0, length);
    if (length < KeptFrom)
        return WithPiece(edit, line, 0, count, [&](const wchar_t* text, int n) { return measure.Width(text, n); });
    Follow(edit, measure, line);
    const size_t k = static_cast<size_t>(count / Step);
    while (m_kept.size() <= k)
        KeepNext(edit, measure, line);
    long long x = m_kept[k];
    const int from = static_cast<int>(k) * Step;
    WithPiece(edit, line, from, count, [&](const wchar_t* text, int n) { return measure.Advance(text, n, LLONG_MAX, x); });
    return ClampToInt(x);
}

int SECEditLineWidths::Fit(SECEdit& edit, const SECEditLineMeasure& measure, int line, int length, int width, int& fitWidth)
{
    if (length < KeptFrom || width < 0)
        return WithPiece(edit, line, 0, std::min(length, KeptFrom), [&](const wchar_t* text, int n) { return measure.Fit(text, n, width, fitWidth); });
    Follow(edit, measure, line);
    while (m_kept.back() <= width && m_kept.size() * Step <= static_cast<size_t>(length))
        KeepNext(edit, measure, line);
    const size_t k = static_cast<size_t>(std::upper_bound(m_kept.begin(), m_kept.end(), static_cast<long long>(width)) - m_kept.begin()) - 1;
    long long x = m_kept[k];
    // The width at the next kept place, when there is one, lies beyond: the fit ends before it.
    const int from = static_cast<int>(k) * Step;
    const int fit = from + WithPiece(edit, line, from, std::min(length, from + Step), [&](const wchar_t* text, int n) { return measure.Advance(text, n, width, x); });
    fitWidth = ClampToInt(x);
    return fit;
}
