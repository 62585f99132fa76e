#pragma once
// The vocabulary of the tooltip mark-up: the style record, the tag and entity tables, colour names,
// the value syntax of sizes and keywords, CSS-like declarations, table attributes and the style sheet.

#include "platform/gdi/Gdi.h"

#include <map>
#include <string>
#include <string_view>

// The text and box properties in force at a point of the mark-up.
struct PPHtmlStyle {
    std::wstring name;
    int fontSize = 16;
    int fontWeight = FW_NORMAL;
    int italic = 0, underline = 0, strikeout = 0, overline = 0;
    std::wstring fontFamily = L"Verdana";
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    COLORREF borderColorLight = RGB(0, 0, 0), borderColorDark = RGB(0, 0, 0);
    COLORREF backgroundMidColor = RGB(255, 255, 255), backgroundEndColor = RGB(255, 255, 255);
    int backgroundMode = TRANSPARENT;
    int backgroundEffect = -1;
    std::wstring backgroundImage;
    int horizontalAlign = 0; // 0 left, 1 centre, 2 right, 3 justify
    int verticalAlign = 3;   // 0 top, 1 middle, 2 bottom, 3 baseline
    int borderStyle = 0;     // 0 none, 1 solid, 2 dashed, 3 dotted, 6 double
    int borderWidth = 0;
    int width = 0, height = 0;
    int textTransform = 0; // 0 none, 1 upper, 2 lower, 3 capitalise
    int cellPadding = 0, cellSpacing = 0;
    int indent = 0;
    int linkKind = 0; // 1 a target to open, 2 a message to the owner
    std::wstring linkTarget;

    // A style other than none needs a width, a width of 0 means no border.
    void SetBorderStyle(int style);
    void SetBorderWidth(int width);

    // The system status-bar font, read once.
    static PPHtmlStyle Default();
};

enum class PPHtmlTag {
    None = 0, Bold, Indent, Italic, Underline, Strikeout, Font, Rule, Break, Tab, Left, Center, Right, Justify,
    Baseline, Top, VCenter, Bottom, Bitmap, Icon, ImageListItem, ResourceString, NamedStyle, Span, Link,
};

struct PPHtmlTagInfo {
    PPHtmlTag kind = PPHtmlTag::None;
    bool closing = false;
    std::wstring_view styleName; // empty for the object tags
};

// name may start with "/" (a closing tag).
PPHtmlTagInfo LookupHtmlTag(std::wstring_view name);

// Entities replaced, carriage returns dropped; with lineBreaks, line feeds and tabs become <br> and <t>.
std::wstring PrepareHtmlText(std::wstring_view text, bool lineBreaks = true);

// Position of the next "<name" (followed by the end, a space, "=", "/" or ">") at or after position that is
// not escaped as "<<", or npos.
size_t FindHtmlTag(std::wstring_view text, size_t position, std::wstring_view name);

// Turns values of the mark-up into numbers and style fields. The device context (optional) gives the
// resolution and the current font for units; while colours are disabled every colour is the disabled one.
class PPHtmlValueParser {
public:
    PPHtmlValueParser();

    void SetDC(HDC dc) { m_dc = dc; }
    void EnableColors(bool enabled) { m_colorsEnabled = enabled; }
    bool ColorsEnabled() const { return m_colorsEnabled; }
    void SetDisabledColor(COLORREF color) { m_disabledColor = color; }
    COLORREF DisabledColor() const { return m_disabledColor; }

    COLORREF ParseColor(std::wstring_view text, COLORREF current) const;
    COLORREF LookupColor(std::wstring_view name, COLORREF current) const;
    int ParseSize(std::wstring_view text, int current, bool isFontSize = false) const;
    int ParseBorderWidth(std::wstring_view text, int current) const;
    static int ParseFontStyle(std::wstring_view text, int current);
    static int ParseFontWeight(std::wstring_view text, int current);
    static int ParseTextAlign(std::wstring_view text, int current);
    static int ParseVerticalAlign(std::wstring_view text, int current);
    static int ParseTextTransform(std::wstring_view text, int current);
    static int ParseBorderStyle(std::wstring_view text, int current);
    int ParseFillKind(std::wstring_view text, int current) const;
    // Letters b, i, u, s, o switch their property on, or off after a "-".
    static void ApplyFontStyleLetters(std::wstring_view letters, PPHtmlStyle& style);

    // "name: value; ..." (case-insensitive) applied to the style.
    void ApplyDeclarations(std::wstring_view declarations, PPHtmlStyle& style) const;

    struct Spans {
        int columns = 1, rows = 1;
    };
    // The attributes of a table, tr or td tag; cell padding, spacing and background only for a table.
    Spans ApplyTableAttributes(std::wstring_view attributes, PPHtmlStyle& style, bool isTable) const;

private:
    void ApplyBackgroundColor(std::wstring_view value, PPHtmlStyle& style) const;

    HDC m_dc = nullptr;
    bool m_colorsEnabled = true;
    COLORREF m_disabledColor;
    std::map<std::wstring, COLORREF, std::less<>> m_colors;
};

// Named styles: selector (lower case) -> declarations.
class PPHtmlStyleSheet {
public:
    PPHtmlStyleSheet() { SetCss(nullptr); }

    // Null or empty text installs the default sheet.
    void SetCss(const wchar_t* css);
    void SetNamedStyle(std::wstring_view name, std::wstring_view declarations);
    std::wstring_view GetNamedStyle(std::wstring_view name) const;

private:
    std::map<std::wstring, std::wstring, std::less<>> m_styles;
};

// Opens a link target with the desktop's opener; false when nothing could be started.
bool OpenHtmlLink(std::wstring_view target, int showCommand);
