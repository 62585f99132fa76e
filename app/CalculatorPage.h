#pragma once
// CCalculatorPage: what the Formula and Date & Time pages share. Both are form views around an
// input line (a CColorEdit) and an output line (a CLabel); this base gives them the edit and font
// commands of the input line, the "View Tooltips" switch with the tooltips of their controls, the
// balloons that point at their controls, and the set-up of the two lines. The message map routes
// the shared commands here; a page adds its own.

#include "controls/ColorEdit.h"
#include "controls/Label.h"
#include "controls/PPToolTip.h"
#include "controls/ResizableFormView.h"

#include <initializer_list>
#include <optional>
#include <span>

class CFlnPageHost;

// A control of a page and its tooltip text.
struct PageTip {
    UINT id;
    const wchar_t* text;
};

// A row of a page's table that gives a control or command id the value it stands for.
template <typename Value>
struct IdValue {
    UINT id;
    Value value;
};
// The value of the id in the table; nothing for an id the table does not hold.
template <typename Value, size_t N>
std::optional<Value> ValueOf(const IdValue<Value> (&table)[N], UINT id)
{
    for (const IdValue<Value>& row : table) {
        if (row.id == id)
            return row.value;
    }
    return std::nullopt;
}

class CCalculatorPage : public CResizableFormView {
    DECLARE_DYNAMIC(CCalculatorPage)
public:
    ~CCalculatorPage() override;

    BOOL m_bViewTooltips = TRUE;
    int m_nFontSize = 10;        // of the input line, in points (18, 14, 12, 10 or 9 by the font commands)
    BOOL m_bFontBold = TRUE;

    // The input line's background and the colour of error texts.
    static constexpr COLORREF InputNormalColour = RGB(179, 183, 139);
    static constexpr COLORREF ErrorColour = RGB(255, 0, 0);
    // The longest text the input line takes, and a caret position past its end.
    static constexpr int InputLimit = 1024;
    static constexpr WPARAM EndOfText = 0x7FFF;

    // The input line's font: "MS Sans Serif" at that size, bold as m_bFontBold says, never italic.
    void SetInputFont(int pointSize);
    const CXSuperTooltip& Tooltip() const { return m_tooltip; }

    // While tooltips are shown, a message goes to the tooltip first.
    BOOL PreTranslateMessage(MSG* message) override;
    // A command goes to the page's keys (OnKey) before the message maps.
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

protected:
    explicit CCalculatorPage(UINT templateId);

    // The page's input line.
    virtual CColorEdit& InputLine() = 0;
    // Presses the key of the page's keypad with that id; FALSE when id is none of its keys. The keys
    // are found in the page's table rather than one map entry each.
    virtual BOOL OnKey(UINT id) = 0;
    // The edit that Cut, Copy, Paste and Undo act on: the input line unless the page says otherwise.
    virtual HWND EditCommandTarget();

    CFlnPageHost* Host() const;
    HWND Item(UINT id) const;
    // The centre of a control, in screen coordinates.
    static POINT CentreOf(HWND control);
    // The pages' balloons: the information icon, closed by a mouse move or a key, or by itself after
    // the time-out (0: never). The anchor is in the parent's client coordinates, the screen's without one.
    static void ShowBalloon(const CString& title, const CString& text, POINT anchor, unsigned timeout,
        CWnd* parent = nullptr);

    // The tabs and group boxes come first in a form but frame the controls inside them: beneath those
    // in the z-order, they never paint over them, and the pointer finds the control for its tooltip.
    void PutFramesBeneathControls(std::initializer_list<UINT> frames);
    // Black text on the background, margins of 5 pixels, at most InputLimit characters.
    void SetUpInputLine(COLORREF background);
    // Yellow bold italic underlined Arial 11 on black, with a border and a sunken edge.
    static void SetUpOutputLine(CLabel& output, const CString& text);
    // Creates the tooltip window in the house style with one tip per control of the page that tips names.
    void CreateTooltips(std::span<const PageTip> tips);
    // A copy of the first submenu of a menu resource, for a button that owns its menu.
    static HMENU FirstSubmenuOf(UINT menuId);

    CXSuperTooltip m_tooltip;

    DECLARE_MESSAGE_MAP()

private:
    void OnDeleteAll();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditUndo();
    // Cut and copy of the input line take the whole line when nothing is selected; another edit keeps
    // its selection.
    void CutOrCopy(UINT message);
    void OnViewTooltips();
    void OnUpdateViewTooltips(CCmdUI* ui);
    void OnFontSize(UINT id);
    void OnUpdateFontSize(CCmdUI* ui);
    void OnFontBold();
    void OnUpdateFontBold(CCmdUI* ui);
};
