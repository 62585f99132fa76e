#pragma once
// Lays out and draws the tooltip mark-up in two passes over the same text: MeasureText records every
// line, table and text piece; DrawText replays those records into a rectangle and leaves one hot area
// per drawn link piece for hit testing, hover and clicks.

#include "controls/DrawManager.h"
#include "controls/HtmlMarkup.h"
#include "platform/gdi/ImageList.h"
#include "platform/sys/Module.h"

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CPPHtmlDrawer {
public:
    struct Line {
        int width = 0, height = 0, descent = 0, percentWidth = 0, align = 0, breakCount = 0, wrapped = 0;
    };
    struct HotArea {
        RECT rect {};
        int linkKind = 0; // 1 a target to open, 2 a message to the owner
        int linkIndex = -1;
        std::wstring target;
    };
    struct Cell {
        int columnSpan = 0; // 0 for a slot no cell filled, -1 for a slot covered by a spanning cell
        int rowSpan = 0;
        int contentWidth = 0, contentHeight = 0, width = 0, height = 0, fixed = 0;
    };
    struct Table {
        std::vector<std::vector<Cell>> rows;
        std::vector<int> columnWidths, columnFixed, rowHeights;
    };

    CPPHtmlDrawer();
    ~CPPHtmlDrawer();
    CPPHtmlDrawer(const CPPHtmlDrawer&) = delete;
    CPPHtmlDrawer& operator=(const CPPHtmlDrawer&) = delete;

    // The size the text needs (plus one pixel each way); 0 x 0 for an empty text.
    void MeasureText(HDC dc, std::wstring_view text, SIZE* size);
    // Draws the text last measured into rect.
    void DrawText(HDC dc, const RECT& rect);

    void SetMaxWidth(int width) { m_maxWidth = std::max(0, width); }
    int GetMaxWidth() const { return m_maxWidth; }
    void SetTabSize(int width) { m_tabWidth = std::max(1, width); }
    // Disabled: colours named in the mark-up give the disabled colour and images draw disabled.
    void Enable(bool enabled) { m_values.EnableColors(enabled); }
    void SetDisabledColor(COLORREF color) { m_values.SetDisabledColor(color); }
    void SetCssStyles(const wchar_t* css) { m_styleSheet.SetCss(css); }
    void SetImageShadow(int dx, int dy, int darkness, bool gradient, int blurX, int blurY);
    // Pictures that mark-up may name by number ("handle" attribute); nothing else is ever drawn from a number.
    void RegisterImage(HANDLE image) { m_registeredImages.insert(image); }
    void UnregisterImage(HANDLE image) { m_registeredImages.erase(image); }
    // The list the "ilst" tag draws from; the drawer does not own it.
    void SetImageList(HIMAGELIST list) { m_imageList = list; }
    // The module "iddll" resources come from (the program's resources here); null: none.
    void SetResourceLibrary(HMODULE library) { m_resourceLibrary = library; }
    // Part `part` of the program's string `id`, the parts split at line feeds; empty when missing.
    static std::wstring LoadResourceString(UINT id, int part);

    // One tick of the animation clock: advances the frames of animated pictures (an "ilst" with a
    // "speed"); true when a frame changed and the text wants drawing again.
    bool AdvanceAnimation();
    bool HasAnimation() const { return !m_animations.empty(); }

    // Who hears of a hovered link changing (wParam: the link index, -2 none) and of a clicked message link
    // (wParam: the target text, lParam: the record id).
    void SetCallbackRepaint(HWND window, UINT message, LPARAM lParam);
    void SetCallbackMessage(HWND window, UINT message);

    int HitTest(POINT point) const;
    // Tracks the hovered link; TRUE when the cursor is over a link with a target (the hand cursor is set).
    BOOL OnMouseOver(POINT point);
    void OnClick(POINT point, DWORD recordId);
    int GetHoveredLink() const { return m_hoveredLink; }
    DWORD GetLastClickedId() const { return m_lastClickedId; }

    const std::vector<Line>& Lines() const { return m_lines; }
    const std::vector<HotArea>& HotAreas() const { return m_hotAreas; }
    const std::deque<Table>& Tables() const { return m_tables; }

private:
    // Where the measuring pass broke the lines, replayed by the drawing pass so that both meet the same
    // line records: for a text piece the characters taken and drawn, before an object 1 when the line broke.
    struct Piece {
        size_t length = 0, drawnLength = 0;
    };

    void LayoutBlocks(SIZE* size, RECT rect);
    SIZE DrawHtml(std::wstring_view block, const RECT& rect);
    SIZE DrawTable(std::wstring_view text, const RECT& rect);
    void DrawRow(std::wstring_view text, Table& table, const std::vector<int>& columnWidths, const RECT& inner, int row);
    PPHtmlValueParser::Spans DrawCell(std::wstring_view text, RECT rect, Cell& cell);
    // Blocks of text and the tables between them, one below the other.
    SIZE LayoutContent(std::wstring_view text, RECT rect);
    PPHtmlValueParser::Spans CountTableRowsAndColumns(std::wstring_view text) const;
    void OpenElementStyle(std::wstring_view name, std::wstring_view tagText, bool isTable, PPHtmlValueParser::Spans* spans);
    void CloseElementStyle(std::wstring_view name);
    // Records (measuring) or replays (drawing) whether a line is broken before an object.
    bool BreakBeforeObject(int width);

    void HandleTag(std::wstring_view tag);
    void OpenStyle(std::wstring_view name);
    bool CloseStyle(std::wstring_view name);
    void ChangeStyle(PPHtmlTag kind, std::wstring_view attributes);
    void MergeNamedStyle(std::wstring_view name, PPHtmlStyle& style) const;
    void ApplyStyle();

    void StartLine(int x);
    void NewLine(int count, bool wrapped);
    void PlaceText(std::wstring text);
    void DrawPiece(std::wstring_view piece);
    int TextWidth(std::wstring_view text) const;
    int TextTop(int y) const;
    int ObjectTop(int y, int height) const;
    void AddHotArea(const RECT& rect);

    void PlaceBreak(std::wstring_view attributes);
    void PlaceTab(std::wstring_view attributes);
    void PlaceRule(std::wstring_view attributes);
    void PlaceImage(PPHtmlTag kind, std::wstring_view attributes);
    void PlaceResourceString(std::wstring_view attributes);
    // A table's "background" picture ("idres: n", "iddll: n" or "file: path"), owned by the caller; null
    // when there is none.
    HBITMAP LoadBackgroundPicture(std::wstring_view declaration) const;
    void TileBackgroundPicture(const RECT& box, std::wstring_view declaration);

    PPHtmlValueParser m_values;
    PPHtmlStyleSheet m_styleSheet;
    CPPDrawManager m_drawManager;

    HDC m_dc = nullptr;
    std::wstring m_text;
    bool m_measuring = true;
    int m_maxWidth = 0;
    int m_tabWidth = 32;

    PPHtmlStyle m_style;
    std::vector<PPHtmlStyle> m_styleStack;
    HFONT m_font = nullptr;
    HGDIOBJ m_savedFont = nullptr;
    TEXTMETRICW m_metrics {};

    RECT m_area {};
    POINT m_pen {};
    Line m_line;
    bool m_lineHasContent = false;
    int m_undrawnWidth = 0, m_undrawnBreaks = 0;
    size_t m_lineIndex = 0;
    std::vector<Line> m_lines;
    std::vector<Piece> m_pieces;
    size_t m_pieceIndex = 0;

    std::deque<Table> m_tables; // a deque: nested tables append while outer ones are held
    int m_tableCounter = -1;

    int m_linkCounter = -1;
    int m_hoveredLink = -2;
    std::vector<HotArea> m_hotAreas;
    HWND m_repaintWindow = nullptr;
    UINT m_repaintMessage = 0;
    LPARAM m_repaintParam = 0;
    HWND m_messageWindow = nullptr;
    UINT m_messageMessage = 0;
    DWORD m_lastClickedId = 0;

    struct ImageShadow {
        int dx = 4, dy = 4, darkness = 50;
        bool gradient = true;
        int blurX = 7, blurY = 7;
    } m_shadow;
    std::set<HANDLE> m_registeredImages;
    HIMAGELIST m_imageList = nullptr;
    HMODULE m_resourceLibrary = nullptr;

    // An image strip an "ilst" tag names, loaded by the measuring pass for both passes.
    struct Strip {
        std::shared_ptr<void> bitmap; // an HBITMAP, deleted with the last copy
        SIZE item {};
        int count = 0;
    };
    std::vector<Strip> m_strips;
    int m_stripCounter = -1;
    struct Animation {
        int frame = 0, frameCount = 0, ticks = 0, ticksPerFrame = 1;
    };
    std::vector<Animation> m_animations;
    int m_animationCounter = -1;
};
