#pragma once
// Objects for the system's and the common controls: each is a CWnd whose member functions send
// the control's own messages, so a dialog member (DDX_Control) or a made control (Create) is
// driven through them. Anything they do not wrap is a SendMessage away.

#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/RichEdit.h"
#include "platform/mfc/Wnd.h"
#include "platform/user/ResourceHandles.h"

// Registers the rich edit's class, as a program does before a dialog template may name it.
BOOL AfxInitRichEdit2();

class CControlWnd : public CWnd {
protected:
    // Makes the control of `className` with this object attached; common controls' classes are
    // registered first when they are not yet.
    BOOL CreateControl(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    static LPARAM Text(LPCWSTR text) { return reinterpret_cast<LPARAM>(text); }
    // The text an item message answers (LB_GETTEXT, CB_GETLBTEXT) after its length message.
    CString ItemText(UINT lengthMessage, UINT textMessage, int index) const;
};

class CButton : public CControlWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(L"Button", text, style, rect, parent, id); }
    using CWnd::Create;
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int check) { Send(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetState() const { return static_cast<UINT>(Send(BM_GETSTATE)); }
    void SetState(BOOL highlight) { Send(BM_SETSTATE, highlight); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { Send(BM_SETSTYLE, style, redraw); }
    HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon))); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return reinterpret_cast<HBITMAP>(Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))); }
};

class CEdit : public CControlWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(L"Edit", L"", style, rect, parent, id); }
    using CWnd::Create;
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE) { Send(EM_REPLACESEL, canUndo, Text(text)); }
    void LimitText(int limit = 0) { Send(EM_LIMITTEXT, static_cast<WPARAM>(limit)); }
    void SetLimitText(UINT limit) { Send(EM_SETLIMITTEXT, limit); }
    UINT GetLimitText() const { return static_cast<UINT>(Send(EM_GETLIMITTEXT)); }
    BOOL CanUndo() const { return static_cast<BOOL>(Send(EM_CANUNDO)); }
    BOOL Undo() { return static_cast<BOOL>(Send(EM_UNDO)); }
    void EmptyUndoBuffer() { Send(EM_EMPTYUNDOBUFFER); }
    BOOL GetModify() const { return static_cast<BOOL>(Send(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) { Send(EM_SETMODIFY, modified); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(Send(EM_SETREADONLY, readOnly)); }
    int GetLineCount() const { return static_cast<int>(Send(EM_GETLINECOUNT)); }
    int LineIndex(int line = -1) const { return static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(line))); }
    int LineLength(int charIndex = -1) const { return static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(charIndex))); }
    int LineFromChar(int charIndex = -1) const { return static_cast<int>(Send(EM_LINEFROMCHAR, static_cast<WPARAM>(charIndex))); }
    int GetFirstVisibleLine() const { return static_cast<int>(Send(EM_GETFIRSTVISIBLELINE)); }
    void LineScroll(int lines, int chars = 0) { Send(EM_LINESCROLL, static_cast<WPARAM>(chars), lines); }
    void SetMargins(UINT left, UINT right) { Send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right)); }
    void SetPasswordChar(wchar_t ch) { Send(EM_SETPASSWORDCHAR, ch); }
    void Cut() { Send(WM_CUT); }
    void Copy() { Send(WM_COPY); }
    void Paste() { Send(WM_PASTE); }
    void Clear() { Send(WM_CLEAR); }
};

class CStatic : public CControlWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF) { return CreateControl(L"Static", text, style, rect, parent, id); }
    using CWnd::Create;
    HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(Send(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
    HICON GetIcon() const { return reinterpret_cast<HICON>(Send(STM_GETICON)); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return reinterpret_cast<HBITMAP>(Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))); }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(Send(STM_GETIMAGE, IMAGE_BITMAP)); }
};

class CListBox : public CControlWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(L"ListBox", L"", style, rect, parent, id); }
    using CWnd::Create;
    int AddString(LPCWSTR text) { return static_cast<int>(Send(LB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, LPCWSTR text) { return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), Text(text))); }
    int DeleteString(UINT index) { return static_cast<int>(Send(LB_DELETESTRING, index)); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(Send(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    void GetText(int index, CString& text) const { text = ItemText(LB_GETTEXTLEN, LB_GETTEXT, index); }
    int GetTextLen(int index) const { return static_cast<int>(Send(LB_GETTEXTLEN, static_cast<WPARAM>(index))); }
    int FindString(int startAfter, LPCWSTR text) const { return static_cast<int>(Send(LB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text))); }
    int FindStringExact(int startAfter, LPCWSTR text) const { return static_cast<int>(Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), Text(text))); }
    int SelectString(int startAfter, LPCWSTR text) { return static_cast<int>(Send(LB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) { return static_cast<int>(Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data))); }
    int GetTopIndex() const { return static_cast<int>(Send(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) { return static_cast<int>(Send(LB_SETTOPINDEX, static_cast<WPARAM>(index))); }
    int GetItemRect(int index, LPRECT rect) const { return static_cast<int>(Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect))); }
};

class CComboBox : public CControlWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(L"ComboBox", L"", style, rect, parent, id); }
    using CWnd::Create;
    int AddString(LPCWSTR text) { return static_cast<int>(Send(CB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, LPCWSTR text) { return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text))); }
    int DeleteString(UINT index) { return static_cast<int>(Send(CB_DELETESTRING, index)); }
    void ResetContent() { Send(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    void GetLBText(int index, CString& text) const { text = ItemText(CB_GETLBTEXTLEN, CB_GETLBTEXT, index); }
    int GetLBTextLen(int index) const { return static_cast<int>(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index))); }
    int FindString(int startAfter, LPCWSTR text) const { return static_cast<int>(Send(CB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text))); }
    int FindStringExact(int startAfter, LPCWSTR text) const { return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), Text(text))); }
    int SelectString(int startAfter, LPCWSTR text) { return static_cast<int>(Send(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(Send(CB_GETITEMDATA, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) { return static_cast<int>(Send(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data))); }
    BOOL LimitText(int limit) { return static_cast<BOOL>(Send(CB_LIMITTEXT, static_cast<WPARAM>(limit))); }
    DWORD GetEditSel() const { return static_cast<DWORD>(Send(CB_GETEDITSEL)); }
    BOOL SetEditSel(int start, int end) { return static_cast<BOOL>(Send(CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(end)))); }
    void ShowDropDown(BOOL show = TRUE) { Send(CB_SHOWDROPDOWN, show); }
    BOOL GetDroppedState() const { return static_cast<BOOL>(Send(CB_GETDROPPEDSTATE)); }
};

class CScrollBar : public CControlWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(L"ScrollBar", L"", style, rect, parent, id); }
    using CWnd::Create;
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int position, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, position, redraw); }
    void GetScrollRange(int* minimum, int* maximum) const { ::GetScrollRange(m_hWnd, SB_CTL, minimum, maximum); }
    void SetScrollRange(int minimum, int maximum, BOOL redraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, minimum, maximum, redraw); }
    BOOL SetScrollInfo(LPCSCROLLINFO info, BOOL redraw = TRUE) { return ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw) != 0 || info; }
    BOOL GetScrollInfo(LPSCROLLINFO info) const { return ::GetScrollInfo(m_hWnd, SB_CTL, info); }
    BOOL EnableScrollBar(UINT arrows = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, arrows); }
};

class CSpinButtonCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(UPDOWN_CLASSW, L"", style, rect, parent, id); }
    using CWnd::Create;
    void SetRange(short lower, short upper) { Send(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower))); }
    void SetRange32(int lower, int upper) { Send(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange32(int& lower, int& upper) const { Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper)); }
    int SetPos(int position) { return static_cast<short>(Send(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(position), 0))); }
    int GetPos() const { return static_cast<int>(Send(UDM_GETPOS)); }
    int SetPos32(int position) { return static_cast<int>(Send(UDM_SETPOS32, 0, position)); }
    int GetPos32(BOOL* error = nullptr) const { return static_cast<int>(Send(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(error))); }
    CWnd* SetBuddy(CWnd* buddy) { return CWnd::FromHandle(reinterpret_cast<HWND>(Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy ? buddy->m_hWnd : nullptr)))); }
    CWnd* GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(Send(UDM_GETBUDDY))); }
    int SetBase(int base) { return static_cast<int>(Send(UDM_SETBASE, static_cast<WPARAM>(base))); }
    BOOL SetAccel(int count, UDACCEL* accel) { return static_cast<BOOL>(Send(UDM_SETACCEL, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(accel))); }
};

class CTabCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(WC_TABCONTROLW, L"", style, rect, parent, id); }
    using CWnd::Create;
    LONG InsertItem(int index, LPCWSTR text, int image = -1);
    BOOL GetItem(int index, TCITEMW* item) const { return static_cast<BOOL>(Send(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item))); }
    BOOL SetItem(int index, TCITEMW* item) { return static_cast<BOOL>(Send(TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item))); }
    BOOL DeleteItem(int index) { return static_cast<BOOL>(Send(TCM_DELETEITEM, static_cast<WPARAM>(index))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(Send(TCM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(Send(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetCurFocus() const { return static_cast<int>(Send(TCM_GETCURFOCUS)); }
    BOOL GetItemRect(int index, LPRECT rect) const { return static_cast<BOOL>(Send(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect))); }
    // larger: the window rectangle for a display area; otherwise the display area of a window rectangle.
    void AdjustRect(BOOL larger, LPRECT rect) { Send(TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(rect)); }
    int HitTest(TCHITTESTINFO* info) const { return static_cast<int>(Send(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(info))); }
    HIMAGELIST SetImageList(HIMAGELIST images) { return reinterpret_cast<HIMAGELIST>(Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images))); }
};

class CStatusBarCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CStatusBarCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(STATUSCLASSNAMEW, L"", style, rect, parent, id); }
    using CWnd::Create;
    BOOL SetParts(int count, const int* rightEdges) { return static_cast<BOOL>(Send(SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rightEdges))); }
    int GetParts(int count, int* rightEdges) const { return static_cast<int>(Send(SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rightEdges))); }
    BOOL SetText(LPCWSTR text, int part, int type) { return static_cast<BOOL>(Send(SB_SETTEXTW, static_cast<WPARAM>(part | type), Text(text))); }
    CString GetText(int part, int* type = nullptr) const;
    void SetMinHeight(int height) { Send(SB_SETMINHEIGHT, static_cast<WPARAM>(height)); }
    void SetSimple(BOOL simple = TRUE) { Send(SB_SIMPLE, simple); }
    BOOL IsSimple() const { return static_cast<BOOL>(Send(SB_ISSIMPLE)); }
    BOOL GetRect(int part, LPRECT rect) const { return static_cast<BOOL>(Send(SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(rect))); }
    BOOL SetIcon(int part, HICON icon) { return static_cast<BOOL>(Send(SB_SETICON, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(icon))); }
};

class CToolTipCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    using CWnd::Create;
    // A tool over a rectangle of the window (or the whole window when the rectangle is null and id is 0).
    BOOL AddTool(CWnd* window, LPCWSTR text = LPSTR_TEXTCALLBACKW, const RECT* rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* window, UINT_PTR id = 0);
    void UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id = 0);
    void SetToolRect(CWnd* window, UINT_PTR id, const RECT* rect);
    void RelayEvent(MSG* message) { Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message)); }
    void Activate(BOOL activate) { Send(TTM_ACTIVATE, activate); }
    void SetDelayTime(UINT delay) { Send(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(delay)); }
    void SetDelayTime(DWORD which, int delay) { Send(TTM_SETDELAYTIME, which, delay); }
    int SetMaxTipWidth(int width) { return static_cast<int>(Send(TTM_SETMAXTIPWIDTH, 0, width)); }
    void SetTipBkColor(COLORREF colour) { Send(TTM_SETTIPBKCOLOR, colour); }
    void SetTipTextColor(COLORREF colour) { Send(TTM_SETTIPTEXTCOLOR, colour); }
    int GetToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }
    void Pop() { Send(TTM_POP); }

private:
    // A rectangle of the window, or with no rectangle and id 0 the whole window.
    static TTTOOLINFOW ToolFor(CWnd* window, UINT_PTR id, const RECT* rect);
};

class CProgressCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) { return CreateControl(PROGRESS_CLASSW, L"", style, rect, parent, id); }
    using CWnd::Create;
    void SetRange(short lower, short upper) { Send(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper))); }
    void SetRange32(int lower, int upper) { Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int position) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
    int OffsetPos(int delta) { return static_cast<int>(Send(PBM_DELTAPOS, static_cast<WPARAM>(delta))); }
    int SetStep(int step) { return static_cast<int>(Send(PBM_SETSTEP, static_cast<WPARAM>(step))); }
    int StepIt() { return static_cast<int>(Send(PBM_STEPIT)); }
    COLORREF SetBarColor(COLORREF colour) { return static_cast<COLORREF>(Send(PBM_SETBARCOLOR, 0, colour)); }
    COLORREF SetBkColor(COLORREF colour) { return static_cast<COLORREF>(Send(PBM_SETBKCOLOR, 0, colour)); }
};

class CRichEditCtrl : public CControlWnd {
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;
    long StreamIn(int format, EDITSTREAM& stream) { return static_cast<long>(Send(EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream))); }
    COLORREF SetBackgroundColor(BOOL systemColour, COLORREF colour) { return static_cast<COLORREF>(Send(EM_SETBKGNDCOLOR, systemColour, colour)); }
    DWORD SetEventMask(DWORD mask) { return static_cast<DWORD>(Send(EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask))); }
    DWORD GetEventMask() const { return static_cast<DWORD>(Send(EM_GETEVENTMASK)); }
    void RequestResize() { Send(EM_REQUESTRESIZE); }
    void SetSel(long start, long end);
    void GetSel(long& start, long& end) const;
    void Copy() { Send(WM_COPY); }
};
