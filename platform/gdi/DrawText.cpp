// DrawText: text laid out in a rectangle with the DT_ flags.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextRender.h"

#include <cwchar>
#include <numeric>

using namespace fln::gdi;

namespace {

constexpr std::wstring_view Ellipsis = L"...";

struct Line {
    std::wstring text;
    int underlined = -1; // index of the mnemonic character in text
};

struct Layout {
    std::vector<Line> lines;
    int widest = 0;
};

class TextLayouter {
public:
    TextLayouter(const DeviceContext& dc, const RealizedFont& font, UINT format, int tabWidth)
        : m_dc(dc)
        , m_font(font)
        , m_format(format)
        , m_tabWidth(std::max(1, tabWidth))
    {
    }

    int width(std::wstring_view text) const
    {
        int x = 0;
        auto advances = textAdvances(m_dc, m_font, text);
        for (size_t i = 0; i < text.size(); ++i)
            x = text[i] == L'\t' && (m_format & DT_EXPANDTABS) ? (x / m_tabWidth + 1) * m_tabWidth : x + advances[i];
        return x;
    }

    Layout layout(std::wstring_view text, int maxWidth) const
    {
        Layout result;
        std::vector<std::wstring> paragraphs = splitParagraphs(text);
        for (auto& paragraph : paragraphs) {
            if ((m_format & DT_WORDBREAK) && !(m_format & DT_SINGLELINE))
                wrap(paragraph, maxWidth, result.lines);
            else
                result.lines.push_back(Line { paragraph, -1 });
        }
        for (Line& line : result.lines) {
            applyPrefix(line);
            if (m_format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
                applyEllipsis(line, maxWidth);
            result.widest = std::max(result.widest, width(line.text));
        }
        return result;
    }

private:
    std::vector<std::wstring> splitParagraphs(std::wstring_view text) const
    {
        std::vector<std::wstring> paragraphs(1);
        for (size_t i = 0; i < text.size(); ++i) {
            wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') {
                if (m_format & DT_SINGLELINE)
                    continue;
                if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                    ++i;
                paragraphs.emplace_back();
                continue;
            }
            paragraphs.back() += c;
        }
        return paragraphs;
    }

    // Width of a text with its prefix characters removed (they take no room).
    int visibleWidth(std::wstring_view text) const
    {
        if (m_format & DT_NOPREFIX)
            return width(text);
        Line line { std::wstring(text), -1 };
        applyPrefix(line);
        return width(line.text);
    }

    // Greedy word wrap: a line breaks after the last blank that lets it fit; the blanks at a break
    // are dropped; a word wider than the line stays whole (an edit control breaks it).
    void wrap(const std::wstring& paragraph, int maxWidth, std::vector<Line>& out) const
    {
        auto blank = [&](size_t i) { return paragraph[i] == L' ' || paragraph[i] == L'\t'; };
        auto widthOf = [&](size_t from, size_t to) { return visibleWidth(std::wstring_view(paragraph).substr(from, to - from)); };
        size_t n = paragraph.size(), start = 0;
        if (n == 0)
            out.push_back(Line {});
        while (start < n) {
            size_t lineEnd = std::wstring::npos, position = start;
            while (position < n) {
                size_t wordEnd = position;
                while (wordEnd < n && !blank(wordEnd))
                    ++wordEnd;
                bool fits = widthOf(start, wordEnd) <= maxWidth;
                if (!fits && lineEnd != std::wstring::npos)
                    break;
                if (!fits && (m_format & DT_EDITCONTROL)) {
                    size_t cut = start + 1;
                    while (cut < wordEnd && widthOf(start, cut + 1) <= maxWidth)
                        ++cut;
                    lineEnd = cut;
                    break;
                }
                lineEnd = wordEnd;
                if (!fits)
                    break;
                position = wordEnd;
                while (position < n && blank(position))
                    ++position;
            }
            std::wstring line = paragraph.substr(start, lineEnd - start);
            while (!line.empty() && (line.back() == L' ' || line.back() == L'\t'))
                line.pop_back();
            out.push_back(Line { line, -1 });
            start = lineEnd;
            while (start < n && blank(start))
                ++start;
        }
    }

    void applyPrefix(Line& line) const
    {
        if (m_format & DT_NOPREFIX)
            return;
        std::wstring text;
        int underlined = -1;
        for (size_t i = 0; i < line.text.size(); ++i) {
            if (line.text[i] == L'&' && i + 1 < line.text.size()) {
                ++i;
                if (line.text[i] != L'&')
                    underlined = static_cast<int>(text.size());
            } else if (line.text[i] == L'&') {
                continue; // a lone '&' at the end shows nothing
            }
            text += line.text[i];
        }
        line.text = std::move(text);
        line.underlined = (m_format & DT_HIDEPREFIX) ? -1 : underlined;
    }

    // Shortens a line that does not fit with "...": at the end, or (path ellipsis) before the
    // last path component, keeping as much of the start as fits.
    void applyEllipsis(Line& line, int maxWidth) const
    {
        if (width(line.text) <= maxWidth)
            return;
        if (m_format & DT_PATH_ELLIPSIS) {
            size_t slash = line.text.find_last_of(L"\\/");
            if (slash != std::wstring::npos) {
                std::wstring tail = line.text.substr(slash);
                std::wstring head = line.text.substr(0, slash);
                while (!head.empty() && width(head + std::wstring(Ellipsis) + tail) > maxWidth)
                    head.pop_back();
                line.text = head + std::wstring(Ellipsis) + tail;
                if (line.underlined >= static_cast<int>(head.size()))
                    line.underlined = -1;
                if (width(line.text) <= maxWidth)
                    return;
            }
        }
        std::wstring head = line.text;
        if (m_format & DT_WORD_ELLIPSIS) {
            while (!head.empty() && width(head + std::wstring(Ellipsis)) > maxWidth) {
                size_t space = head.find_last_of(L' ');
                head.resize(space == std::wstring::npos ? head.size() - 1 : space);
            }
        }
        while (!head.empty() && width(head + std::wstring(Ellipsis)) > maxWidth)
            head.pop_back();
        line.text = head + std::wstring(Ellipsis);
        if (line.underlined >= static_cast<int>(head.size()))
            line.underlined = -1;
    }

    const DeviceContext& m_dc;
    const RealizedFont& m_font;
    UINT m_format;
    int m_tabWidth;
};

int drawTextInRect(DeviceContext& dc, std::wstring_view text, RECT& logicalRect, UINT format, int tabLength,
    std::wstring* modified)
{
    if (format & DT_TABSTOP) {
        tabLength = (format >> 8) & 0xFF;
        format &= ~0xFF00u;
    }
    auto font = dc.font();
    // Corner by corner: a rectangle narrower than its margins stays as it is, not turned around.
    POINT topLeft = dc.toDevice(POINT { logicalRect.left, logicalRect.top });
    POINT bottomRight = dc.toDevice(POINT { logicalRect.right, logicalRect.bottom });
    RECT rect { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y };
    int tabWidth = (tabLength > 0 ? tabLength : 8) * font->aveCharWidth();
    TextLayouter layouter(dc, *font, format, tabWidth);
    int maxWidth = rect.right - rect.left;
    Layout layout = layouter.layout(text, maxWidth);
    int lineHeight = font->height() + ((format & DT_EXTERNALLEADING) ? font->textMetrics().tmExternalLeading : 0);
    int textHeight = lineHeight * static_cast<int>(layout.lines.size());

    int top = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = rect.bottom - lineHeight;
    }
    if (modified && (format & DT_MODIFYSTRING) && layout.lines.size() == 1)
        *modified = layout.lines.front().text;

    if (format & DT_CALCRECT) {
        int widest = layout.widest;
        POINT corner = dc.toLogical(POINT { rect.left + widest, rect.top + textHeight });
        logicalRect.right = corner.x;
        logicalRect.bottom = corner.y;
        return textHeight;
    }

    RECT clip = rect;
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        const Line& line = layout.lines[i];
        int lineWidth = layouter.width(line.text);
        int x = rect.left;
        if (format & DT_CENTER)
            x = rect.left + (maxWidth - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = rect.right - lineWidth;
        int y = top + static_cast<int>(i) * lineHeight;
        if ((format & DT_EDITCONTROL) && !(format & DT_NOCLIP) && y + lineHeight > rect.bottom && i > 0)
            break; // an edit control shows no partly visible last line
        if (format & DT_PREFIXONLY)
            continue;
        if (format & DT_EXPANDTABS && line.text.find(L'\t') != std::wstring::npos) {
            // Pieces between tabs, each at its tab stop.
            int pen = x;
            size_t begin = 0;
            while (begin <= line.text.size()) {
                size_t tab = line.text.find(L'\t', begin);
                std::wstring_view piece = std::wstring_view(line.text).substr(begin, tab == std::wstring::npos ? std::wstring::npos : tab - begin);
                TextDrawing drawing { piece, POINT { pen, y }, TA_LEFT | TA_TOP, nullptr, -1, (format & DT_NOCLIP) ? nullptr : &clip, dc.state.bkMode == OPAQUE };
                pen += drawTextLine(dc, drawing);
                if (tab == std::wstring::npos)
                    break;
                pen = x + ((pen - x) / tabWidth + 1) * tabWidth;
                begin = tab + 1;
            }
            continue;
        }
        TextDrawing drawing { line.text, POINT { x, y }, TA_LEFT | TA_TOP, nullptr, line.underlined, (format & DT_NOCLIP) ? nullptr : &clip,
            dc.state.bkMode == OPAQUE };
        drawTextLine(dc, drawing);
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return top - rect.top + textHeight;
    return textHeight;
}

} // namespace

int DrawTextW(HDC handle, LPCWSTR text, int count, LPRECT rect, UINT format)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !rect || (!text && count != 0))
        return 0;
    std::wstring_view content = text ? std::wstring_view(text, count < 0 ? std::wcslen(text) : static_cast<size_t>(count)) : std::wstring_view();
    return drawTextInRect(*dc, content, *rect, format & ~DT_MODIFYSTRING, 0, nullptr);
}

int DrawTextExW(HDC handle, LPWSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !rect || (!text && count != 0) || (params && params->cbSize != sizeof(DRAWTEXTPARAMS)))
        return 0;
    size_t length = text ? (count < 0 ? std::wcslen(text) : static_cast<size_t>(count)) : 0;
    std::wstring_view content(text ? text : L"", length);
    RECT inner = *rect;
    if (params) {
        inner.left += params->iLeftMargin;
        inner.right -= params->iRightMargin;
    }
    std::wstring modified;
    int height = drawTextInRect(*dc, content, inner, format, params ? params->iTabLength : 0, &modified);
    if (format & DT_CALCRECT) {
        rect->right = inner.right + (params ? params->iRightMargin : 0);
        rect->bottom = inner.bottom;
    }
    // The shortened text is written back when it fits where the caller's text was (with the
    // ellipsis the buffer must hold up to four more characters, as callers of this flag provide).
    if ((format & DT_MODIFYSTRING) && text && !modified.empty() && modified != content) {
        size_t n = std::min(modified.size(), length + 3);
        std::wmemcpy(text, modified.data(), n);
        text[n] = L'\0';
    }
    if (params)
        params->uiLengthDrawn = static_cast<UINT>(length);
    return height;
}
