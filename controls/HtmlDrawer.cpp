#include "controls/HtmlDrawer.h"

#include "controls/HtmlScan.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <cwctype>

namespace {

LOGFONTW FontOf(const PPHtmlStyle& style)
{
    LOGFONTW font {};
    font.lfHeight = style.fontSize;
    font.lfWeight = style.fontWeight;
    font.lfItalic = static_cast<BYTE>(style.italic != 0);
    font.lfUnderline = static_cast<BYTE>(style.underline != 0);
    font.lfStrikeOut = static_cast<BYTE>(style.strikeout != 0);
    font.lfCharSet = DEFAULT_CHARSET;
    std::wstring_view face = std::wstring_view(style.fontFamily).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

int CountSpaces(std::wstring_view text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), L' '));
}

void Transform(std::wstring& text, int transform)
{
    if (transform == 0)
        return;
    for (auto& c : text)
        c = static_cast<wchar_t>(transform == 1 ? std::towupper(c) : std::towlower(c));
    if (transform != 3)
        return;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((i == 0 || text[i - 1] == L' ') && text[i] >= L'a' && text[i] <= L'z')
            text[i] = static_cast<wchar_t>(text[i] - L'a' + L'A');
    }
}

} // namespace

CPPHtmlDrawer::CPPHtmlDrawer() = default;

CPPHtmlDrawer::~CPPHtmlDrawer() = default;

void CPPHtmlDrawer::SetImageShadow(int dx, int dy, int darkness, bool gradient, int blurX, int blurY)
{
    m_shadow = { dx, dy, std::clamp(darkness, 0, 100), gradient, blurX, blurY };
}

void CPPHtmlDrawer::SetCallbackRepaint(HWND window, UINT message, LPARAM lParam)
{
    m_repaintWindow = window;
    m_repaintMessage = message;
    m_repaintParam = lParam;
}

void CPPHtmlDrawer::SetCallbackMessage(HWND window, UINT message)
{
    m_messageWindow = window;
    m_messageMessage = message;
}

void CPPHtmlDrawer::MeasureText(HDC dc, std::wstring_view text, SIZE* size)
{
    *size = { 0, 0 };
    m_dc = dc;
    SetTextJustification(dc, 0, 0);
    m_text = PrepareHtmlText(text);
    m_lines.clear();
    m_hotAreas.clear();
    m_pieces.clear();
    m_tables.clear();
    m_strips.clear();
    m_animations.clear();
    if (m_text.empty())
        return;
    m_measuring = true;
    LayoutBlocks(size, { 0, 0, m_maxWidth, 0 });
    if (size->cx == 0 && size->cy == 0) {
        m_text.clear();
        return;
    }
    if (m_maxWidth > 0)
        size->cx = std::min<LONG>(size->cx, m_maxWidth);
    size->cx += 1;
    size->cy += 1;
}

void CPPHtmlDrawer::DrawText(HDC dc, const RECT& rect)
{
    if (m_text.empty())
        return;
    m_measuring = false;
    m_dc = dc;
    m_hotAreas.clear();
    SIZE size {};
    LayoutBlocks(&size, rect);
}

void CPPHtmlDrawer::LayoutBlocks(SIZE* size, RECT rect)
{
    *size = { 0, 0 };
    m_lineIndex = 0;
    m_pieceIndex = 0;
    m_linkCounter = -1;
    m_tableCounter = -1;
    m_stripCounter = -1;
    m_animationCounter = -1;
    m_styleStack.clear();
    m_values.SetDC(m_dc);

    m_style = PPHtmlStyle::Default();
    MergeNamedStyle(L"body", m_style);
    m_savedFont = nullptr;
    int savedMode = GetBkMode(m_dc);
    COLORREF savedText = GetTextColor(m_dc), savedBack = GetBkColor(m_dc);
    ApplyStyle();

    *size = LayoutContent(m_text, rect);

    SelectObject(m_dc, m_savedFont);
    DeleteObject(m_font);
    m_font = nullptr;
    SetBkMode(m_dc, savedMode);
    SetTextColor(m_dc, savedText);
    SetBkColor(m_dc, savedBack);
    m_styleStack.clear();
}

SIZE CPPHtmlDrawer::LayoutContent(std::wstring_view text, RECT rect)
{
    SIZE size {};
    size_t position = 0;
    while (position < text.size()) {
        size_t table = FindHtmlTag(text, position, L"table");
        size_t blockEnd = std::min(table, text.size());
        SIZE block = DrawHtml(text.substr(position, blockEnd - position), rect);
        size.cx = std::max(size.cx, block.cx);
        size.cy += block.cy;
        rect.top += block.cy;
        if (table == std::wstring_view::npos)
            break;
        size_t tableEnd = FindHtmlTableEnd(text, table);
        block = DrawTable(text.substr(table, tableEnd - table), rect);
        size.cx = std::max(size.cx, block.cx);
        size.cy += block.cy;
        rect.top += block.cy;
        position = tableEnd;
    }
    return size;
}

void CPPHtmlDrawer::ApplyStyle()
{
    LOGFONTW logFont = FontOf(m_style);
    HFONT font = CreateFontIndirectW(&logFont);
    HGDIOBJ previous = SelectObject(m_dc, font);
    if (!m_savedFont)
        m_savedFont = previous;
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
    GetTextMetricsW(m_dc, &m_metrics);
    SetBkMode(m_dc, m_style.backgroundMode);
    SetTextColor(m_dc, m_style.textColor);
    SetBkColor(m_dc, m_style.backgroundColor);
}

void CPPHtmlDrawer::MergeNamedStyle(std::wstring_view name, PPHtmlStyle& style) const
{
    std::wstring_view declarations = m_styleSheet.GetNamedStyle(name);
    if (!declarations.empty())
        m_values.ApplyDeclarations(declarations, style);
}

SIZE CPPHtmlDrawer::DrawHtml(std::wstring_view block, const RECT& rect)
{
    const std::wstring text = L"<body>" + std::wstring(block) + L"</body>";
    m_area = rect;
    m_pen = { rect.left, rect.top };
    const size_t firstLine = m_lineIndex;
    m_lineHasContent = false;
    StartLine(rect.left);

    size_t position = 0;
    while (position < text.size()) {
        PPHtmlRun run = NextHtmlRun(text, position);
        if (!run.text.empty()) {
            Transform(run.text, m_style.textTransform);
            PlaceText(std::move(run.text));
        }
        if (run.hasTag)
            HandleTag(run.tag);
    }
    if (m_lineHasContent)
        NewLine(1, false);
    SetTextJustification(m_dc, 0, 0);

    SIZE size { 0, m_pen.y - m_area.top };
    const size_t lastLine = std::min(m_lineIndex, m_lines.size());
    for (size_t i = firstLine; i < lastLine; ++i)
        size.cx = std::max<LONG>(size.cx, m_lines[i].width);
    for (size_t i = firstLine; i < lastLine; ++i) {
        if (m_lines[i].percentWidth != 0)
            size.cx = std::max<LONG>(size.cx, m_lines[i].width + MulDiv(size.cx, m_lines[i].percentWidth, 100));
    }
    return size;
}

void CPPHtmlDrawer::HandleTag(std::wstring_view tag)
{
    PPHtmlTagParts parts = SplitHtmlTag(tag);
    PPHtmlTagInfo info = LookupHtmlTag(parts.name);
    switch (info.kind) {
    case PPHtmlTag::None: return;
    case PPHtmlTag::Break: PlaceBreak(parts.attributes); return;
    case PPHtmlTag::Tab: PlaceTab(parts.attributes); return;
    case PPHtmlTag::Rule: PlaceRule(parts.attributes); return;
    case PPHtmlTag::Bitmap:
    case PPHtmlTag::Icon:
    case PPHtmlTag::ImageListItem: PlaceImage(info.kind, parts.attributes); return;
    case PPHtmlTag::ResourceString: PlaceResourceString(parts.attributes); return;
    default: break;
    }
    if (info.closing) {
        if (CloseStyle(info.styleName))
            ApplyStyle();
        return;
    }
    OpenStyle(info.styleName);
    ChangeStyle(info.kind, parts.attributes);
    ApplyStyle();
}

void CPPHtmlDrawer::OpenStyle(std::wstring_view name)
{
    m_style.name = name;
    m_styleStack.push_back(m_style);
    m_style.name.clear();
}

bool CPPHtmlDrawer::CloseStyle(std::wstring_view name)
{
    if (m_styleStack.empty() || m_styleStack.back().name != name)
        return false;
    m_style = std::move(m_styleStack.back());
    m_styleStack.pop_back();
    m_style.name.clear();
    return true;
}

void CPPHtmlDrawer::ChangeStyle(PPHtmlTag kind, std::wstring_view attributes)
{
    PPHtmlStyle& style = m_style;
    size_t position = 0;
    PPHtmlAttribute attribute;
    switch (kind) {
    case PPHtmlTag::Bold: style.fontWeight = std::min(style.fontWeight * 2, 900); break;
    case PPHtmlTag::Italic: style.italic = !style.italic; break;
    case PPHtmlTag::Underline: style.underline = !style.underline; break;
    case PPHtmlTag::Strikeout: style.strikeout = !style.strikeout; break;
    case PPHtmlTag::Indent:
        style.indent = 10;
        while (NextHtmlAttribute(attributes, position, attribute)) {
            if (attribute.name == L"size")
                style.indent = std::clamp(m_values.ParseSize(attribute.value, style.indent), -10000, 10000);
        }
        break;
    case PPHtmlTag::Font:
        while (NextHtmlAttribute(attributes, position, attribute)) {
            const auto& [name, value] = attribute;
            if (name == L"face" && !value.empty())
                style.fontFamily = value;
            else if (name == L"size")
                style.fontSize = std::clamp(m_values.ParseSize(value, style.fontSize, true), -1000, 1000);
            else if (name == L"color")
                style.textColor = m_values.ParseColor(value, style.textColor);
            else if (name == L"style")
                PPHtmlValueParser::ApplyFontStyleLetters(value, style);
            else if (name == L"weight")
                style.fontWeight = PPHtmlValueParser::ParseFontWeight(value, style.fontWeight);
            else if (name == L"bkgnd") {
                if (value.empty() || value == L"transparent" || !m_values.ColorsEnabled())
                    style.backgroundMode = TRANSPARENT;
                else {
                    style.backgroundMode = OPAQUE;
                    style.backgroundColor = m_values.ParseColor(value, style.backgroundColor);
                }
            }
        }
        break;
    case PPHtmlTag::Left: style.horizontalAlign = 0; break;
    case PPHtmlTag::Center: style.horizontalAlign = 1; break;
    case PPHtmlTag::Right: style.horizontalAlign = 2; break;
    case PPHtmlTag::Justify: style.horizontalAlign = 3; break;
    case PPHtmlTag::Top: style.verticalAlign = 0; break;
    case PPHtmlTag::VCenter: style.verticalAlign = 1; break;
    case PPHtmlTag::Bottom: style.verticalAlign = 2; break;
    case PPHtmlTag::Baseline: style.verticalAlign = 3; break;
    case PPHtmlTag::NamedStyle: break;
    case PPHtmlTag::Span:
        while (NextHtmlAttribute(attributes, position, attribute)) {
            if (attribute.name == L"class")
                MergeNamedStyle(L"." + std::wstring(attribute.value), style);
        }
        break;
    case PPHtmlTag::Link:
        style.linkKind = 2;
        style.linkTarget.clear();
        while (NextHtmlAttribute(attributes, position, attribute)) {
            if (attribute.name == L"href") {
                style.linkKind = 1;
                style.linkTarget = attribute.value;
            } else if (attribute.name == L"msg") {
                style.linkKind = 2;
                style.linkTarget = attribute.value;
            }
        }
        ++m_linkCounter;
        MergeNamedStyle(m_linkCounter == m_hoveredLink ? L"a:hover" : L"a:link", style);
        break;
    default: break;
    }
    if (kind == PPHtmlTag::NamedStyle) {
        // The tag's own name: "body", "h1", "code"...
        MergeNamedStyle(m_styleStack.back().name, style);
    }
}

void CPPHtmlDrawer::StartLine(int x)
{
    m_lineHasContent = false;
    if (m_measuring) {
        m_line = Line {};
        m_line.align = m_style.horizontalAlign;
        m_pen.x = m_style.indent + x;
        return;
    }
    // A line the measuring pass did not record (drawing without measuring) is drawn as an empty line.
    m_line = m_lineIndex < m_lines.size() ? m_lines[m_lineIndex] : Line {};
    const int available = m_area.right - m_area.left;
    int width = m_line.width;
    if (m_line.percentWidth != 0)
        width += MulDiv(available, m_line.percentWidth, 100);
    m_undrawnWidth = m_line.width;
    m_undrawnBreaks = m_line.breakCount;
    SetTextJustification(m_dc, 0, 0);
    switch (m_line.align) {
    case 1: m_pen.x = m_style.indent + m_area.left + (available - width) / 2; break;
    case 2: m_pen.x = m_style.indent + m_area.left + (available - width); break;
    default: m_pen.x = m_style.indent + x; break;
    }
}

void CPPHtmlDrawer::NewLine(int count, bool wrapped)
{
    if (m_measuring) {
        if (m_line.height == 0)
            m_line.height = m_metrics.tmHeight;
        m_line.width = m_pen.x - m_area.left;
        m_line.height += m_line.descent;
        m_line.wrapped = wrapped;
        if (m_lines.size() <= m_lineIndex)
            m_lines.resize(m_lineIndex + 1);
        m_lines[m_lineIndex] = m_line;
    }
    m_pen.y += m_line.height * count;
    ++m_lineIndex;
    StartLine(m_area.left);
}

int CPPHtmlDrawer::TextWidth(std::wstring_view text) const
{
    SIZE size {};
    GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void CPPHtmlDrawer::PlaceText(std::wstring text)
{
    std::wstring_view rest = text;
    while (!rest.empty()) {
        Piece piece { rest.size(), rest.size() };
        if (m_measuring) {
            SetTextJustification(m_dc, 0, 0);
            m_line.descent = std::max<int>(m_line.descent, m_metrics.tmHeight - m_metrics.tmAscent);
            m_line.height = std::max<int>(m_line.height, m_metrics.tmAscent);
            const int room = m_area.right - m_pen.x;
            if (m_maxWidth > 0 && m_area.right > m_area.left && TextWidth(rest) > room) {
                PPHtmlWrap wrap = WrapHtmlRun(rest, room, !m_lineHasContent, [this](std::wstring_view part) { return TextWidth(part); });
                piece = { wrap.length, wrap.pieceLength };
            }
            m_pieces.push_back(piece);
        } else {
            // The drawing pass cuts each run where the measuring pass did, so both meet the same lines.
            if (m_pieceIndex >= m_pieces.size())
                return;
            piece = m_pieces[m_pieceIndex++];
            piece.length = std::min(piece.length, rest.size());
            piece.drawnLength = std::min(piece.drawnLength, piece.length);
        }
        std::wstring_view drawn = rest.substr(0, piece.drawnLength);
        if (!drawn.empty()) {
            if (m_measuring) {
                m_line.align = m_style.horizontalAlign;
                m_line.breakCount += CountSpaces(drawn);
                m_pen.x += TextWidth(drawn);
            } else {
                DrawPiece(drawn);
            }
            m_lineHasContent = true;
        }
        rest.remove_prefix(piece.length);
        if (!rest.empty())
            NewLine(1, true);
    }
}

int CPPHtmlDrawer::TextTop(int y) const
{
    switch (m_style.verticalAlign) {
    case 1: return y + (m_line.height - m_metrics.tmHeight) / 2;
    case 2: return y + (m_line.height - m_metrics.tmAscent);
    case 3: return y + (m_line.height - m_metrics.tmAscent - m_line.descent);
    default: return y;
    }
}

int CPPHtmlDrawer::ObjectTop(int y, int height) const
{
    switch (m_style.verticalAlign) {
    case 1: return y + (m_line.height - height) / 2;
    case 2: return y + m_line.height - height;
    case 3: return y + m_line.height - m_line.descent - height;
    default: return y;
    }
}

void CPPHtmlDrawer::AddHotArea(const RECT& rect)
{
    if (m_style.linkKind != 0)
        m_hotAreas.push_back({ rect, m_style.linkKind, m_linkCounter, m_style.linkTarget });
}

void CPPHtmlDrawer::DrawPiece(std::wstring_view piece)
{
    SetTextJustification(m_dc, 0, 0);
    int width = TextWidth(piece);
    int extra = 0;
    int breaks = CountSpaces(piece);
    if (m_line.align == 3 && m_line.wrapped) {
        // The last piece of a line loses a trailing space, so that the line ends at the right edge.
        if (width >= m_undrawnWidth && !piece.empty() && piece.back() == L' ') {
            int spaceWidth = TextWidth(L" ");
            piece.remove_suffix(1);
            m_undrawnWidth -= spaceWidth;
            width -= spaceWidth;
            --breaks;
            --m_undrawnBreaks;
        }
        int lineExtra = m_area.right - m_pen.x - m_undrawnWidth;
        if (lineExtra > 0 && m_undrawnBreaks > 0 && breaks > 0) {
            extra = MulDiv(lineExtra, breaks, m_undrawnBreaks);
            SetTextJustification(m_dc, extra, breaks);
        }
        m_undrawnWidth -= width;
        m_undrawnBreaks -= breaks;
    }
    const int y = TextTop(m_pen.y);
    const int drawnWidth = width + extra;
    AddHotArea({ m_pen.x, y, m_pen.x + drawnWidth, y + m_metrics.tmHeight });
    TextOutW(m_dc, m_pen.x, y, piece.data(), static_cast<int>(piece.size()));
    if (m_style.overline)
        m_drawManager.PaintLine(m_dc, m_pen.x, y, m_pen.x + drawnWidth, y, m_style.textColor, CPPDrawManager::PEN_SOLID,
            m_style.fontWeight >= FW_BOLD ? 2 : 1);
    SetTextJustification(m_dc, 0, 0);
    m_pen.x += drawnWidth;
}

int CPPHtmlDrawer::HitTest(POINT point) const
{
    for (size_t i = 0; i < m_hotAreas.size(); ++i) {
        const RECT& r = m_hotAreas[i].rect;
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CPPHtmlDrawer::OnMouseOver(POINT point)
{
    int hit = HitTest(point);
    if (hit < 0) {
        if (m_hoveredLink != -2) {
            m_hoveredLink = -2;
            if (m_repaintWindow)
                SendMessageW(m_repaintWindow, m_repaintMessage, static_cast<WPARAM>(-2), m_repaintParam);
        }
        return FALSE;
    }
    const HotArea& area = m_hotAreas[hit];
    if (area.linkIndex != m_hoveredLink) {
        m_hoveredLink = area.linkIndex;
        if (m_repaintWindow)
            SendMessageW(m_repaintWindow, m_repaintMessage, static_cast<WPARAM>(m_hoveredLink), m_repaintParam);
    }
    if (area.target.empty())
        return FALSE;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CPPHtmlDrawer::OnClick(POINT point, DWORD recordId)
{
    int hit = HitTest(point);
    if (hit < 0 || m_hotAreas[hit].target.empty())
        return;
    const HotArea& area = m_hotAreas[hit];
    if (area.linkKind == 1) {
        OpenHtmlLink(area.target, SW_SHOW);
        return;
    }
    m_lastClickedId = recordId;
    if (m_messageWindow)
        SendMessageW(m_messageWindow, m_messageMessage, reinterpret_cast<WPARAM>(area.target.c_str()), recordId);
}
