// The read-only rich edit ("RichEdit20W"): rich or plain text streamed in, laid out in paragraphs
// that wrap at the client width, painted with its fonts and colours, selected with the mouse and
// copied. The text itself comes from the RTF reader; this file styles, lays out and paints it.

#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/RichEdit.h"
#include "platform/comctl/RtfReader.h"

#include "platform/base/CString.h"
#include "platform/base/MulDiv.h"
#include "platform/base/TextEncoding.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fln::comctl {
namespace {

// The edit styles the rich edit reads.
constexpr DWORD kStyleAutoHScroll = 0x0080, kStyleNoHideSel = 0x0100;

// More than this is refused as a whole, so a runaway callback cannot fill the memory.
constexpr size_t kMaxStreamBytes = size_t { 4 } << 20;
constexpr DWORD kStreamTooLarge = 8; // ERROR_NOT_ENOUGH_MEMORY
constexpr LONG kStreamChunk = 4096;
constexpr int kDefaultTabTwips = 720;

// ---- styles: one realized font and colour per distinct character format

// Realizing a font is costly; past this many distinct fonts a document's text takes the first one,
// so that no document can make the control realize thousands.
constexpr size_t kMaxFonts = 64;

struct Style {
    HFONT handle = nullptr; // owned by the table
    const TEXTMETRICW* metrics = nullptr;
    std::optional<COLORREF> color; // nullopt: the window text colour
};

class StyleTable {
public:
    StyleTable() = default;
    StyleTable(const StyleTable&) = delete;
    StyleTable& operator=(const StyleTable&) = delete;
    ~StyleTable() { Clear(); }

    int Add(const LOGFONTW& font, std::optional<COLORREF> color, HDC dc)
    {
        size_t fontIndex = FontIndex(font, dc);
        auto key = std::make_pair(fontIndex, color ? static_cast<long long>(*color) : -1);
        auto [entry, added] = m_index.try_emplace(key, static_cast<int>(m_styles.size()));
        if (added)
            m_styles.push_back({ m_fonts[fontIndex].handle, &m_fonts[fontIndex].metrics, color });
        return entry->second;
    }
    const Style& operator[](int index) const { return m_styles[static_cast<size_t>(index)]; }
    void Clear()
    {
        for (const RealizedFont& font : m_fonts)
            DeleteObject(font.handle);
        m_fonts.clear();
        m_fontIndex.clear();
        m_styles.clear();
        m_index.clear();
    }

private:
    struct RealizedFont {
        HFONT handle;
        TEXTMETRICW metrics;
    };

    size_t FontIndex(const LOGFONTW& font, HDC dc)
    {
        std::string key(reinterpret_cast<const char*>(&font), sizeof font);
        if (auto found = m_fontIndex.find(key); found != m_fontIndex.end())
            return found->second;
        if (m_fonts.size() >= kMaxFonts)
            return 0;
        RealizedFont realized { CreateFontIndirectW(&font), {} };
        HGDIOBJ previous = SelectObject(dc, realized.handle);
        GetTextMetricsW(dc, &realized.metrics);
        SelectObject(dc, previous);
        m_fonts.push_back(realized);
        return m_fontIndex[key] = m_fonts.size() - 1;
    }

    std::deque<RealizedFont> m_fonts; // a deque keeps the styles' metrics pointers valid
    std::map<std::string, size_t> m_fontIndex;
    std::vector<Style> m_styles;
    std::map<std::pair<size_t, long long>, int> m_index;
};

// The right edge of each character of a text, from its start.
std::vector<int> CharEdges(HDC dc, const Style& style, std::wstring_view text)
{
    std::vector<int> edges(text.size());
    if (text.empty())
        return edges;
    HGDIOBJ previous = SelectObject(dc, style.handle);
    SIZE size {};
    GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), -1, nullptr, edges.data(), &size);
    SelectObject(dc, previous);
    return edges;
}

int TextWidth(HDC dc, const Style& style, std::wstring_view text)
{
    if (text.empty())
        return 0;
    HGDIOBJ previous = SelectObject(dc, style.handle);
    SIZE size {};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    return size.cx;
}

// ---- the styled text

struct StyledRun {
    int style;
    std::wstring text;
};

struct Paragraph {
    RtfParagraphFormat format;
    std::vector<StyledRun> runs;
    int start = 0; // character position of its first character
    int length = 0;
};

LOGFONTW ResolveFont(const RtfDocument& document, const RtfCharFormat& format, const LOGFONTW& fallback, int pixelsPerInch)
{
    LOGFONTW font = fallback;
    if (const std::wstring* face = document.FaceOf(format.font < 0 ? document.defaultFont : format.font)) {
        std::wmemset(font.lfFaceName, 0, LF_FACESIZE);
        face->copy(font.lfFaceName, LF_FACESIZE - 1);
    }
    font.lfHeight = -MulDiv(format.halfPoints, pixelsPerInch, 144);
    font.lfWidth = 0;
    font.lfWeight = format.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = format.italic;
    font.lfUnderline = format.underline;
    font.lfStrikeOut = format.strike;
    return font;
}

// Plain text takes the control's font for every character; rich text its own formats.
std::vector<Paragraph> StyleDocument(const RtfDocument& document, bool plain, const LOGFONTW& defaultFont, StyleTable& styles, HDC dc)
{
    styles.Clear();
    int defaultStyle = styles.Add(defaultFont, std::nullopt, dc);
    std::vector<Paragraph> paragraphs;
    int position = 0;
    for (const RtfParagraph& source : document.paragraphs) {
        Paragraph paragraph { plain ? RtfParagraphFormat {} : source.format, {}, position, 0 };
        for (const RtfRun& run : source.runs) {
            int style = plain ? defaultStyle
                              : styles.Add(ResolveFont(document, run.format, defaultFont, GetDeviceCaps(dc, LOGPIXELSY)), document.ColorOf(run.format.color), dc);
            paragraph.runs.push_back({ style, run.text });
            paragraph.length += static_cast<int>(run.text.size());
        }
        position += paragraph.length + 1; // the paragraph mark
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

// ---- layout

// A piece of one style on a line; tabs and line breaks are pieces of their own that draw nothing.
struct Piece {
    int style;
    int start;
    std::wstring text;
    int x;
    int width;
    bool drawn = true;
};

struct Line {
    int top = 0;
    int height = 0;
    int ascent = 0;
    int start = 0;
    int end = 0;   // one past its last character, paragraph mark excluded
    int right = 0; // right edge of its ink, trailing spaces excluded
    std::vector<Piece> pieces;
};

struct TextLayout {
    std::vector<Line> lines;
    int width = 0;  // widest line, indents included
    int height = 0;
};

// A word with the spaces after it, made of pieces of one style each; the unit of wrapping.
struct Word {
    std::vector<Piece> pieces;
    int width = 0;
    int trailingSpaces = 0; // width of the spaces that end it
    enum class Kind { Text, Tab, Break } kind = Kind::Text;
};

std::vector<Word> SplitWords(const Paragraph& paragraph, const StyleTable& styles, HDC dc)
{
    std::vector<Word> words;
    Word word;
    auto finishWord = [&] {
        if (!word.pieces.empty())
            words.push_back(std::move(word));
        word = {};
    };
    int position = paragraph.start;
    for (const StyledRun& run : paragraph.runs) {
        const Style& style = styles[run.style];
        size_t i = 0;
        while (i < run.text.size()) {
            wchar_t ch = run.text[i];
            if (ch == L'\t' || ch == L'\v') {
                finishWord();
                words.push_back({ { { run.style, position + static_cast<int>(i), std::wstring(1, ch), 0, 0, false } }, 0, 0,
                    ch == L'\t' ? Word::Kind::Tab : Word::Kind::Break });
                ++i;
                continue;
            }
            if (word.trailingSpaces && ch != L' ')
                finishWord();
            size_t end = i;
            while (end < run.text.size() && run.text[end] != L' ' && run.text[end] != L'\t' && run.text[end] != L'\v')
                ++end;
            size_t spacesEnd = end;
            while (spacesEnd < run.text.size() && run.text[spacesEnd] == L' ')
                ++spacesEnd;
            std::wstring text = run.text.substr(i, spacesEnd - i);
            int width = TextWidth(dc, style, text);
            int spaces = TextWidth(dc, style, std::wstring(spacesEnd - end, L' '));
            word.pieces.push_back({ run.style, position + static_cast<int>(i), text, 0, width });
            word.width += width;
            word.trailingSpaces = spacesEnd > end ? spaces : 0;
            i = spacesEnd;
        }
        position += static_cast<int>(run.text.size());
    }
    finishWord();
    return words;
}

class ParagraphLayout {
public:
    ParagraphLayout(const Paragraph& paragraph, const StyleTable& styles, HDC dc, std::optional<int> wrapWidth, int alignWidth, TextLayout& out)
        : m_paragraph(paragraph), m_styles(styles), m_dc(dc), m_wrap(wrapWidth), m_alignWidth(alignWidth), m_out(out)
        , m_pixelsPerInch(GetDeviceCaps(dc, LOGPIXELSX))
    {
        m_left = TwipsToPixels(paragraph.format.leftIndent);
        m_right = TwipsToPixels(paragraph.format.rightIndent);
        m_out.height += TwipsToPixels(paragraph.format.spaceBefore);
    }

    void Run()
    {
        m_nextStart = m_paragraph.start;
        StartLine(true);
        for (Word& word : SplitWords(m_paragraph, m_styles, m_dc)) {
            switch (word.kind) {
            case Word::Kind::Tab:
                PlaceTab(word.pieces.front());
                break;
            case Word::Kind::Break:
                Place(word.pieces.front());
                EndLine(false);
                StartLine(false);
                break;
            case Word::Kind::Text:
                PlaceWord(word);
                break;
            }
        }
        EndLine(false);
        m_out.height += TwipsToPixels(m_paragraph.format.spaceAfter);
    }

private:
    int TwipsToPixels(int twips) const { return MulDiv(twips, m_pixelsPerInch, 1440); }
    int LineLeft() const { return std::max(0, m_left + (m_firstLine ? TwipsToPixels(m_paragraph.format.firstLineIndent) : 0)); }
    int LineRight() const { return m_wrap ? std::max(LineLeft() + 1, *m_wrap - m_right) : std::max(LineLeft(), m_alignWidth - m_right); }

    void StartLine(bool first)
    {
        m_firstLine = first;
        m_line = {};
        m_line.start = m_line.end = m_nextStart;
        m_x = LineLeft();
    }

    bool Overflows(int width) const { return m_wrap && m_x + width > LineRight(); }

    void PlaceWord(Word& word)
    {
        int ink = word.width - word.trailingSpaces;
        if (!m_line.pieces.empty() && Overflows(ink)) {
            EndLine(true);
            StartLine(false);
        }
        if (m_line.pieces.empty() && Overflows(ink)) {
            PlaceByCharacters(word);
            return;
        }
        for (Piece& piece : word.pieces)
            Place(piece);
        m_line.right = m_x - word.trailingSpaces;
    }

    // A word wider than a whole line breaks between characters.
    void PlaceByCharacters(Word& word)
    {
        for (Piece& piece : word.pieces) {
            std::vector<int> edges = CharEdges(m_dc, m_styles[piece.style], piece.text);
            size_t done = 0;
            while (done < piece.text.size()) {
                int base = done ? edges[done - 1] : 0;
                size_t fit = done;
                while (fit < piece.text.size() && (m_x + edges[fit] - base <= LineRight() || (fit == done && m_line.pieces.empty())))
                    ++fit;
                if (fit == done) {
                    EndLine(true);
                    StartLine(false);
                    continue;
                }
                Piece part { piece.style, piece.start + static_cast<int>(done), piece.text.substr(done, fit - done), 0, edges[fit - 1] - base };
                Place(part);
                m_line.right = m_x;
                done = fit;
            }
        }
    }

    void PlaceTab(Piece& tab)
    {
        int stop = TwipsToPixels(kDefaultTabTwips);
        tab.width = (m_x / stop + 1) * stop - m_x;
        Place(tab);
        m_line.right = m_x;
    }

    void Place(Piece piece)
    {
        piece.x = m_x;
        m_x += piece.width;
        m_line.end = piece.start + static_cast<int>(piece.text.size());
        m_line.pieces.push_back(std::move(piece));
    }

    void EndLine(bool wrapped)
    {
        const Style& first = m_styles[m_paragraph.runs.empty() ? 0 : m_paragraph.runs.front().style];
        int ascent = m_line.pieces.empty() ? first.metrics->tmAscent : 0;
        int descent = m_line.pieces.empty() ? first.metrics->tmDescent : 0;
        for (const Piece& piece : m_line.pieces) {
            ascent = std::max<int>(ascent, m_styles[piece.style].metrics->tmAscent);
            descent = std::max<int>(descent, m_styles[piece.style].metrics->tmDescent);
        }
        m_line.ascent = ascent;
        m_line.height = ascent + descent;
        m_line.top = m_out.height;
        Align(wrapped);
        m_out.height += m_line.height;
        m_out.width = std::max(m_out.width, m_line.right + m_right);
        m_nextStart = m_line.end;
        m_out.lines.push_back(std::move(m_line));
    }

    void Align(bool wrapped)
    {
        int free = LineRight() - m_line.right;
        if (free <= 0 || m_line.pieces.empty())
            return;
        int shift = 0;
        switch (m_paragraph.format.alignment) {
        case RtfAlignment::Left:
            return;
        case RtfAlignment::Center:
            shift = free / 2;
            break;
        case RtfAlignment::Right:
            shift = free;
            break;
        case RtfAlignment::Justify:
            if (wrapped)
                Justify(free);
            return;
        }
        for (Piece& piece : m_line.pieces)
            piece.x += shift;
        m_line.right += shift;
    }

    // Spreads the free width over the gaps after the words of a wrapped line.
    void Justify(int free)
    {
        std::vector<size_t> gaps;
        for (size_t i = 0; i + 1 < m_line.pieces.size(); ++i) {
            if (m_line.pieces[i].text.back() == L' ')
                gaps.push_back(i);
        }
        if (gaps.empty())
            return;
        int given = 0;
        for (size_t g = 0; g < gaps.size(); ++g) {
            int share = free * static_cast<int>(g + 1) / static_cast<int>(gaps.size()) - given;
            given += share;
            for (size_t i = gaps[g] + 1; i < m_line.pieces.size(); ++i)
                m_line.pieces[i].x += share;
        }
        m_line.right += free;
    }

    const Paragraph& m_paragraph;
    const StyleTable& m_styles;
    HDC m_dc;
    std::optional<int> m_wrap;
    int m_alignWidth;
    TextLayout& m_out;
    int m_pixelsPerInch;
    int m_left = 0;
    int m_right = 0;
    bool m_firstLine = true;
    int m_x = 0;
    int m_nextStart = 0;
    Line m_line;
};

// Lays the paragraphs out at the wrapping width (none: every line as long as its text); without
// wrapping, alignment works within alignWidth.
TextLayout LayOut(const std::vector<Paragraph>& paragraphs, const StyleTable& styles, HDC dc, std::optional<int> wrapWidth, int alignWidth)
{
    TextLayout layout;
    for (const Paragraph& paragraph : paragraphs)
        ParagraphLayout(paragraph, styles, dc, wrapWidth, alignWidth, layout).Run();
    return layout;
}

// ---- the control

class RichEdit {
public:
    explicit RichEdit(HWND window) : m_window(window) { SetContent(PlainTextDocument({}), true); }

    LRESULT OnCreate(const CREATESTRUCTW* create);
    LRESULT OnStreamIn(WPARAM format, EDITSTREAM* stream);
    LRESULT OnSetText(LPCWSTR text);
    LRESULT OnGetText(int capacity, LPWSTR buffer) const;
    LRESULT OnGetTextLength() const { return static_cast<LRESULT>(DisplayText(0, TextLength()).size()); }
    LRESULT OnSetFont(HFONT font);
    LRESULT OnGetFont() const { return reinterpret_cast<LRESULT>(m_font); }
    LRESULT OnSetBackgroundColor(bool system, COLORREF color);
    LRESULT OnSetEventMask(DWORD mask) { return std::exchange(m_eventMask, mask); }
    LRESULT OnGetEventMask() const { return m_eventMask; }
    LRESULT OnRequestResize();
    LRESULT OnExSetSel(const CHARRANGE* range);
    LRESULT OnExGetSel(CHARRANGE* range) const;
    LRESULT OnCopy() const;
    LRESULT OnKeyDown(int key);
    LRESULT OnLButtonDown(POINT point, WPARAM keys);
    LRESULT OnLButtonDblClk(POINT point);
    LRESULT OnMouseMove(POINT point);
    LRESULT OnLButtonUp();
    LRESULT OnFocusChange();
    LRESULT OnSize();
    LRESULT OnPaint();

private:
    void SetContent(RtfDocument document, bool plain);
    void ContentChanged();
    LOGFONTW DefaultFont() const;
    std::pair<std::optional<int>, int> LayoutKey() const;
    const TextLayout& Layout();
    int TextLength() const { return static_cast<int>(m_text.size()); }
    std::wstring DisplayText(int start, int end) const;
    void Select(int anchor, int active);
    bool SelectionShown() const;
    void InvalidateCharacters(int start, int end);
    int CharFromPoint(POINT point);
    void Notify(NMHDR& header, UINT code) const;
    void DrawLine(HDC dc, HDC measure, const Line& line) const;

    HWND m_window;
    HFONT m_font = nullptr;
    RtfDocument m_document;
    bool m_plain = true;
    StyleTable m_styles;
    std::vector<Paragraph> m_paragraphs;
    std::wstring m_text; // paragraphs separated by L'\r': the positions of the selection
    std::optional<TextLayout> m_layout;
    std::pair<std::optional<int>, int> m_layoutKey; // wrapping width, client width
    std::optional<COLORREF> m_background; // nullopt: the window colour
    DWORD m_eventMask = ENM_NONE;
    int m_anchor = 0;
    int m_active = 0;
};

LOGFONTW RichEdit::DefaultFont() const
{
    LOGFONTW font {};
    HGDIOBJ source = m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT);
    GetObjectW(source, sizeof font, &font);
    return font;
}

void RichEdit::SetContent(RtfDocument document, bool plain)
{
    m_document = std::move(document);
    m_plain = plain;
    gdi::MemoryDC dc;
    m_paragraphs = StyleDocument(m_document, m_plain, DefaultFont(), m_styles, dc.dc());
    m_text = m_document.Text();
    m_layout.reset();
    m_anchor = m_active = 0;
    InvalidateRect(m_window, nullptr, TRUE);
}

// A bottomless control tells its parent the size of new text. The parent may destroy the control
// while it answers, so this comes last in every handler that calls it.
void RichEdit::ContentChanged()
{
    if (m_eventMask & ENM_REQUESTRESIZE)
        OnRequestResize();
}

std::pair<std::optional<int>, int> RichEdit::LayoutKey() const
{
    RECT client;
    GetClientRect(m_window, &client);
    // A control without width (not sized yet) lays its lines out at their full length.
    bool wraps = !(GetWindowLongW(m_window, GWL_STYLE) & (kStyleAutoHScroll | WS_HSCROLL)) && client.right > 0;
    return { wraps ? std::optional<int>(client.right) : std::nullopt, client.right };
}

const TextLayout& RichEdit::Layout()
{
    if (!m_layout || m_layoutKey != LayoutKey()) {
        m_layoutKey = LayoutKey();
        gdi::MemoryDC dc;
        m_layout = LayOut(m_paragraphs, m_styles, dc.dc(), m_layoutKey.first, m_layoutKey.second);
    }
    return *m_layout;
}

std::wstring RichEdit::DisplayText(int start, int end) const
{
    std::wstring text;
    for (int i = std::max(0, start); i < std::min(end, TextLength()); ++i) {
        wchar_t ch = m_text[static_cast<size_t>(i)];
        if (ch == L'\r' || ch == L'\v')
            text += L"\r\n";
        else
            text += ch;
    }
    return text;
}

// The window name is the first text, as with WM_SETTEXT.
LRESULT RichEdit::OnCreate(const CREATESTRUCTW* create)
{
    if (create && create->lpszName && *create->lpszName)
        OnSetText(create->lpszName);
    return 0;
}

LRESULT RichEdit::OnStreamIn(WPARAM format, EDITSTREAM* stream)
{
    if (!stream || !stream->pfnCallback || !(format & (SF_TEXT | SF_RTF)))
        return 0;
    stream->dwError = 0;
    std::string bytes;
    std::vector<BYTE> buffer(kStreamChunk);
    for (;;) {
        LONG read = 0;
        DWORD error = stream->pfnCallback(stream->dwCookie, buffer.data(), kStreamChunk, &read);
        if (error) {
            stream->dwError = error;
            return 0; // the text shown stays as it was
        }
        if (read <= 0)
            break;
        read = std::min(read, kStreamChunk);
        if (bytes.size() + static_cast<size_t>(read) > kMaxStreamBytes) {
            stream->dwError = kStreamTooLarge;
            return 0;
        }
        bytes.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(read));
    }
    if (format & SF_RTF) {
        RtfDocument document = ReadRtf(bytes);
        bool plain = document.problem == RtfProblem::NotRtf;
        SetContent(std::move(document), plain);
    } else {
        SetContent(PlainTextDocument(DecodeTextFile(bytes).text), true);
    }
    LRESULT length = TextLength();
    ContentChanged();
    return length;
}

LRESULT RichEdit::OnSetText(LPCWSTR text)
{
    std::wstring_view view = text ? text : L"";
    if (view.starts_with(L"{\\rtf")) // like the system's control, text that starts as RTF is read as RTF
        SetContent(ReadRtf(WideToUtf8(view)), false);
    else
        SetContent(PlainTextDocument(view), true);
    ContentChanged();
    return TRUE;
}

LRESULT RichEdit::OnGetText(int capacity, LPWSTR buffer) const
{
    if (!buffer || capacity <= 0)
        return 0;
    std::wstring text = DisplayText(0, TextLength());
    size_t count = std::min(static_cast<size_t>(capacity - 1), text.size());
    text.copy(buffer, count);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

// Plain text takes the new font at once; rich text keeps its own fonts, whose faces fall back to it.
LRESULT RichEdit::OnSetFont(HFONT font)
{
    m_font = font;
    RtfDocument document = std::move(m_document);
    int anchor = m_anchor, active = m_active;
    SetContent(std::move(document), m_plain);
    Select(anchor, active);
    ContentChanged();
    return 0;
}

LRESULT RichEdit::OnSetBackgroundColor(bool system, COLORREF color)
{
    COLORREF previous = m_background.value_or(GetSysColor(COLOR_WINDOW));
    m_background = system ? std::nullopt : std::optional<COLORREF>(color);
    InvalidateRect(m_window, nullptr, TRUE);
    return static_cast<LRESULT>(previous);
}

void RichEdit::Notify(NMHDR& header, UINT code) const
{
    header.hwndFrom = m_window;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_window));
    header.code = code;
    SendMessageW(GetParent(m_window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

LRESULT RichEdit::OnRequestResize()
{
    if (!(m_eventMask & ENM_REQUESTRESIZE))
        return 0;
    const TextLayout& layout = Layout();
    RECT window, client;
    GetWindowRect(m_window, &window);
    GetClientRect(m_window, &client);
    POINT origin { window.left, window.top };
    if (HWND parent = GetParent(m_window); parent && (GetWindowLongW(m_window, GWL_STYLE) & WS_CHILD))
        ScreenToClient(parent, &origin);
    int frameWidth = (window.right - window.left) - client.right;
    int frameHeight = (window.bottom - window.top) - client.bottom;
    REQRESIZE request {};
    request.rc = { origin.x, origin.y, origin.x + layout.width + frameWidth, origin.y + layout.height + frameHeight };
    Notify(request.nmhdr, EN_REQUESTRESIZE);
    return 0;
}

void RichEdit::Select(int anchor, int active)
{
    anchor = std::clamp(anchor, 0, TextLength());
    active = std::clamp(active, 0, TextLength());
    int oldMin = std::min(m_anchor, m_active), oldMax = std::max(m_anchor, m_active);
    m_anchor = anchor;
    m_active = active;
    int newMin = std::min(anchor, active), newMax = std::max(anchor, active);
    if (oldMin == newMin && oldMax == newMax)
        return;
    // Only the characters whose look changed: the two ends that moved.
    if (oldMin != newMin)
        InvalidateCharacters(std::min(oldMin, newMin), std::max(oldMin, newMin));
    if (oldMax != newMax)
        InvalidateCharacters(std::min(oldMax, newMax), std::max(oldMax, newMax));
}

LRESULT RichEdit::OnExSetSel(const CHARRANGE* range)
{
    if (!range)
        return 0;
    if (range->cpMin < 0) {
        int end = std::max(m_anchor, m_active);
        Select(end, end);
    } else if (range->cpMin == 0 && range->cpMax == -1) {
        Select(0, TextLength());
    } else {
        Select(range->cpMin, range->cpMax < 0 ? TextLength() : range->cpMax);
    }
    return std::max(m_anchor, m_active);
}

LRESULT RichEdit::OnExGetSel(CHARRANGE* range) const
{
    if (range)
        *range = { std::min(m_anchor, m_active), std::max(m_anchor, m_active) };
    return 0;
}

LRESULT RichEdit::OnCopy() const
{
    int start = std::min(m_anchor, m_active), end = std::max(m_anchor, m_active);
    if (start == end || !OpenClipboard(m_window))
        return 0;
    std::wstring text = DisplayText(start, end);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* target = static_cast<wchar_t*>(GlobalLock(memory))) {
        std::wmemcpy(target, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        EmptyClipboard();
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
    return 0;
}

LRESULT RichEdit::OnKeyDown(int key)
{
    if (!(GetKeyState(VK_CONTROL) & 0x8000))
        return 0;
    if (key == 'C' || key == VK_INSERT)
        OnCopy();
    else if (key == 'A')
        Select(0, TextLength());
    return 0;
}

int RichEdit::CharFromPoint(POINT point)
{
    const TextLayout& layout = Layout();
    if (layout.lines.empty())
        return 0;
    auto line = std::find_if(layout.lines.begin(), layout.lines.end(), [&](const Line& l) { return point.y < l.top + l.height; });
    if (line == layout.lines.end())
        --line;
    gdi::MemoryDC dc;
    for (const Piece& piece : line->pieces) {
        if (point.x >= piece.x + piece.width)
            continue;
        if (point.x < piece.x)
            return piece.start;
        if (!piece.drawn) // a tab: the nearer of its two sides
            return piece.start + (point.x - piece.x > piece.width / 2);
        std::vector<int> edges = CharEdges(dc.dc(), m_styles[piece.style], piece.text);
        int left = 0;
        for (size_t i = 0; i < edges.size(); ++i) {
            int right = edges[i];
            if (point.x - piece.x < (left + right + 1) / 2)
                return piece.start + static_cast<int>(i);
            left = right;
        }
        return piece.start + static_cast<int>(piece.text.size());
    }
    if (!line->pieces.empty() && line->pieces.back().text == L"\v")
        return line->end - 1; // before the line break, not after it
    return line->end;
}

LRESULT RichEdit::OnLButtonDown(POINT point, WPARAM keys)
{
    SetFocus(m_window);
    SetCapture(m_window);
    int position = CharFromPoint(point);
    Select((keys & MK_SHIFT) ? m_anchor : position, position);
    return 0;
}

LRESULT RichEdit::OnLButtonDblClk(POINT point)
{
    SetFocus(m_window);
    int position = CharFromPoint(point);
    auto inWord = [&](int i) { return i >= 0 && i < TextLength() && std::iswalnum(m_text[static_cast<size_t>(i)]); };
    int start = position, end = position;
    while (inWord(start - 1))
        --start;
    while (inWord(end))
        ++end;
    Select(start, end);
    return 0;
}

LRESULT RichEdit::OnMouseMove(POINT point)
{
    if (GetCapture() == m_window)
        Select(m_anchor, CharFromPoint(point));
    return 0;
}

LRESULT RichEdit::OnLButtonUp()
{
    if (GetCapture() == m_window)
        ReleaseCapture();
    return 0;
}

bool RichEdit::SelectionShown() const
{
    return m_anchor != m_active && (GetFocus() == m_window || (GetWindowLongW(m_window, GWL_STYLE) & kStyleNoHideSel));
}

LRESULT RichEdit::OnFocusChange()
{
    InvalidateCharacters(std::min(m_anchor, m_active), std::max(m_anchor, m_active));
    return 0;
}

LRESULT RichEdit::OnSize()
{
    if (m_layout && m_layoutKey != LayoutKey())
        InvalidateRect(m_window, nullptr, TRUE);
    return 0;
}

void RichEdit::InvalidateCharacters(int start, int end)
{
    if (start >= end)
        return;
    RECT client;
    GetClientRect(m_window, &client);
    for (const Line& line : Layout().lines) {
        if (line.end + 1 > start && line.start < end) { // the paragraph mark belongs to its line
            RECT area { 0, line.top, client.right, line.top + line.height };
            InvalidateRect(m_window, &area, FALSE);
        }
    }
}

void RichEdit::DrawLine(HDC dc, HDC measure, const Line& line) const
{
    int selStart = std::min(m_anchor, m_active), selEnd = std::max(m_anchor, m_active);
    bool shown = SelectionShown();
    for (const Piece& piece : line.pieces) {
        const Style& style = m_styles[piece.style];
        int pieceEnd = piece.start + static_cast<int>(piece.text.size());
        int from = shown ? std::clamp(selStart, piece.start, pieceEnd) - piece.start : 0;
        int to = shown ? std::clamp(selEnd, piece.start, pieceEnd) - piece.start : 0;
        std::vector<int> edges = piece.drawn ? CharEdges(measure, style, piece.text) : std::vector<int>(1, piece.width);
        auto edge = [&](int i) { return i == 0 ? 0 : edges[static_cast<size_t>(i - 1)]; };
        if (from < to) {
            RECT highlight { piece.x + edge(from), line.top, piece.x + edge(to), line.top + line.height };
            FillSolidRect(dc, &highlight, GetSysColor(COLOR_HIGHLIGHT));
        }
        if (!piece.drawn)
            continue;
        HGDIOBJ previous = SelectObject(dc, style.handle);
        int y = line.top + line.ascent - style.metrics->tmAscent;
        COLORREF normal = style.color.value_or(GetSysColor(COLOR_WINDOWTEXT));
        // Drawn in up to three parts, so that the selected characters take the highlight colour.
        const std::pair<int, int> parts[] = { { 0, from }, { from, to }, { to, static_cast<int>(piece.text.size()) } };
        for (const auto& [begin, end] : parts) {
            if (begin >= end)
                continue;
            SetTextColor(dc, begin == from && end == to ? GetSysColor(COLOR_HIGHLIGHTTEXT) : normal);
            TextOutW(dc, piece.x + edge(begin), y, piece.text.c_str() + begin, end - begin);
        }
        SelectObject(dc, previous);
    }
}

LRESULT RichEdit::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    RECT client;
    GetClientRect(m_window, &client);
    FillSolidRect(dc, &client, m_background.value_or(GetSysColor(COLOR_WINDOW)));
    SetBkMode(dc, TRANSPARENT);
    gdi::MemoryDC measure;
    for (const Line& line : Layout().lines) {
        if (line.top + line.height > paint.rcPaint.top && line.top < paint.rcPaint.bottom)
            DrawLine(dc, measure.dc(), line);
    }
    EndPaint(m_window, &paint);
    return 0;
}

RichEdit* StateOf(HWND window) { return reinterpret_cast<RichEdit*>(GetWindowLongPtrW(window, 0)); }

POINT PointOf(LPARAM lParam) { return { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }; }

LRESULT RichEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new RichEdit(window)));
    RichEdit* edit = StateOf(window);
    if (!edit)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        delete edit;
        SetWindowLongPtrW(window, 0, 0);
        break;
    case WM_CREATE: return edit->OnCreate(reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case EM_STREAMIN: return edit->OnStreamIn(wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case WM_SETTEXT: return edit->OnSetText(reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return edit->OnGetText(static_cast<int>(wParam), reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: return edit->OnGetTextLength();
    case WM_SETFONT: return edit->OnSetFont(reinterpret_cast<HFONT>(wParam));
    case WM_GETFONT: return edit->OnGetFont();
    case EM_SETBKGNDCOLOR: return edit->OnSetBackgroundColor(wParam != 0, static_cast<COLORREF>(lParam));
    case EM_SETEVENTMASK: return edit->OnSetEventMask(static_cast<DWORD>(lParam));
    case EM_GETEVENTMASK: return edit->OnGetEventMask();
    case EM_REQUESTRESIZE: return edit->OnRequestResize();
    case EM_EXSETSEL: return edit->OnExSetSel(reinterpret_cast<const CHARRANGE*>(lParam));
    case EM_EXGETSEL: return edit->OnExGetSel(reinterpret_cast<CHARRANGE*>(lParam));
    case WM_COPY: return edit->OnCopy();
    case WM_KEYDOWN: return edit->OnKeyDown(static_cast<int>(wParam));
    case WM_LBUTTONDOWN: return edit->OnLButtonDown(PointOf(lParam), wParam);
    case WM_LBUTTONDBLCLK: return edit->OnLButtonDblClk(PointOf(lParam));
    case WM_MOUSEMOVE: return edit->OnMouseMove(PointOf(lParam));
    case WM_LBUTTONUP: return edit->OnLButtonUp();
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return edit->OnFocusChange();
    case WM_SIZE: return edit->OnSize();
    case WM_ERASEBKGND: return 1; // WM_PAINT fills the background itself
    case WM_PAINT: return edit->OnPaint();
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

ATOM RegisterRichEditClass()
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    windowClass.lpfnWndProc = RichEditProcedure;
    windowClass.cbWndExtra = sizeof(RichEdit*);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.lpszClassName = RICHEDIT_CLASSW;
    return RegisterClassExW(&windowClass);
}

} // namespace fln::comctl
