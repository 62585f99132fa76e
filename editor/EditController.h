#pragma once
// SECEditController: the input side of the code editor. Plugged into its viewport's window, it
// owns the caret and the selection and turns keys (the key table IDR_EDIT_ACCEL), typed
// characters, the mouse and menu commands into caret moves on the viewport and edits of the
// model; every change of text goes through the model's edit operations, so it can be undone.

#include "editor/EditFindReplaceDlg.h"
#include "editor/EditViewport.h"
#include "platform/mfc/OleDragDrop.h"

#include <memory>
#include <optional>

// The search state of one user-interface thread, shared by its editor windows.
struct _SEC_FIND_REPLACE_STATE {
    SECEditFindReplaceDlg* pDialog = nullptr; // the open find or replace dialog
    BOOL bNotFoundMessage = TRUE;
    CString strFind;
    CString strReplace;
    SECEditFindHistory findHistory;
    SECEditFindHistory replaceHistory;
    BOOL bMatchCase = FALSE;
    BOOL bSearchDown = TRUE;
    BOOL bWholeWord = FALSE;
    BOOL bSelectionOnly = FALSE;
    BOOL bRegExp = FALSE;
    SECEditViewport* pLastView = nullptr; // the view the dialog was opened for

    static _SEC_FIND_REPLACE_STATE& ForThisThread();
};

class SECEditController : public divuzura::foundation::MvcController, public ISECEditPresentationState, public ISECEditFindReplaceNotify {
public:
    enum : int {
        LineNumbersNone = 45313,
        LineNumbersOnly = 45310,
        MarkersOnly = 45314,
        MarkersLeft = 45311,
        AutoScrollTimer = 45000,
        BookmarkFlag = SECEDIT_FLAG_BOX,
        RoundMarkerFlag = 16,
        MaxFlag = 32,
    };
    // Selection modes.
    enum : int { SelectStream = 1, SelectLines = 2, SelectColumn = 3, SelectColumnDrag = 4 };

    SECEditController();
    ~SECEditController() override;

    void Initialize(SECEditViewport* viewport, SECEdit* model);
    using MvcController::Initialize;
    virtual void ResetState();

    // Messages of the window: keys, characters, mouse, focus, timer; TRUE when handled.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // The key table, for the message loop; TRUE when a key became a command.
    BOOL PreTranslateMessage(MSG* message) override;
    // Runs a command of the table or the menus; FALSE for ids that are not the editor's.
    BOOL RunEditCommand(UINT id);
    // Enables and checks a command's user interface; FALSE for ids that are not the editor's.
    BOOL UpdateCommandUI(CCmdUI* ui);
    // "Ln %d, Col %d".
    CString GetPositionText();

    SECEdit* GetModel() const override { return m_pEdit; }
    SECEditFontInfo* GetViewFontInfo() const { return m_pViewport ? m_pViewport->GetFontInfo() : nullptr; }
    ISECEditLangConfig* GetLanguageConfig() const { return m_pEdit ? m_pEdit->GetLangConfig() : nullptr; }
    BOOL IsReadOnly() const { return !m_pEdit || m_pEdit->IsReadOnly(); }
    BOOL IsDragging() const { return m_bSelecting; }
    int GetUserValue() const { return m_nUserValue; }
    void SetUserValue(int value) { m_nUserValue = value; }

    // Gutter.
    void SetMarkerGutterWidth(int pixels) { m_nMarkerGutterWidth = pixels; }
    int GetMarkerGutterWidth() const;
    int GetLineNumberGutterWidth() const;
    void SetLineNumberGutterWidth(int pixels) { m_nLineNumberGutterWidth = pixels; }
    int GetLineNumberMode() const { return m_nLineNumberMode; }
    void SetLineNumberMode(int mode) { m_nLineNumberMode = mode; }
    int GetLineNumberDigits() const;
    void SetLineNumberDigits(int digits) { m_nLineNumberDigits = digits; }
    SECEditFontInfo* GetGutterFontInfo() const { return m_pGutterFontInfo.get(); }
    void CreateGutterFont();
    CString FormatLineNumber(int number) const;

    // Caret.
    void CreateEditCaret(BOOL solid);
    void DestroyEditCaret();
    void SetCaretFromPoint(int x, int y, BOOL allowPastEnd);
    void SetCaretPosition(int line, int column, BOOL allowPastEnd);
    SECEditLineCol GetCaretPos() const { return m_caret; }
    void EnableUpdates(BOOL enable);
    // Scrolls the caret into view (sideways 8 columns further than needed).
    void EnsureCaretVisible();
    void OnCaretMoved();
    BOOL IsCaretHidden() const { return m_bCaretHidden; }

    // Moves; none of them touches the selection.
    void MoveCharLeft();
    void MoveCharRight();
    void MoveLineUp();
    void MoveLineDown();
    void MovePageUp();
    void MovePageDown();
    void MoveHome();
    void MoveEnd();
    void MoveDocStart();
    void MoveDocEnd();
    void MoveWordLeft(BOOL skipBlanks = TRUE);
    void MoveWordRight(BOOL skipBlanks = TRUE);
    // Scrolls the view, the caret staying where it is in the text: through the viewport's
    // ScrollTo, or with m_bScrollByMessages through a scroll message a line (column).
    void ScrollLines(int lines, int columns);

    // Selection.
    BOOL ClearSelection(BOOL repaint);
    void SelectAll();
    void SelectWordAtCaret();
    void SelectLinesRange(int first, int last);
    void SelectCaretLines();
    void SetSelection(int line1, int col1, int line2, int col2, int mode = SelectStream);
    void SetSelection(const SECEditLineColPair& pair, int mode = SelectStream);
    const SECEditSelection& GetSelectionObject() const { return m_sel; }
    void GetSelectionText(CString& text);
    // The run of characters of one class next to a position, and where it ends.
    BOOL GetCharRun(CString& run, int line, int column, BOOL forward, int& endLine, int& endCol);
    // The word around a column of a line: its start and end columns.
    BOOL GetWordAt(const SECEditLineCol& position, int& start, int& end);
    CString GetWordAtCaret();

    // Editing.
    void InsertTypedText(const CString& text);
    void ReplaceSelection(const CString& text, BOOL column = FALSE);
    SECEditLineCol DeleteSelection();
    void DeleteCharAfterCaret();
    void FillVirtualSpace();
    void InsertPadded(const SECEditLineCol& position, const CString& text);
    void InsertColumnText(const SECEditLineCol& position, const CString& text);
    void Copy();
    void Cut();
    void Paste();
    // Pastes the X PRIMARY selection at a client point (middle click).
    void PastePrimary(CPoint client);
    // The text of a drag's data; FALSE (text emptied) when it offers none. column tells
    // whether the text is a column block.
    BOOL GetClipboardText(COleDataObject* data, CString& text, BOOL* column);
    // The selection, or with copy and no selection the caret line, as drag data; null when
    // there is no text.
    std::unique_ptr<COleDataSource> CreateDataSource(BOOL copy);
    // The registered format that marks text of a column selection.
    static UINT ColumnSelectFormat();

    // Drag and drop: this controller drags its selection and takes drops in its window.
    void DoDragDrop();
    DROPEFFECT DragEnter(COleDataObject* data, DWORD keyState, CPoint point);
    DROPEFFECT DragOver(COleDataObject* data, DWORD keyState, CPoint point);
    void DragLeave();
    BOOL Drop(COleDataObject* data, DROPEFFECT effect, CPoint point);
    BOOL Undo();
    BOOL Redo();
    BOOL RunCommand(divuzura::foundation::CMvcCommand* command);

    // Search and line flags.
    _SEC_FIND_REPLACE_STATE& GetFindReplaceState() const { return _SEC_FIND_REPLACE_STATE::ForThisThread(); }
    CString GetFindTextAtCaret();
    BOOL FindNext(_SEC_FIND_REPLACE_STATE& state);
    BOOL NeedsFindBeforeReplace(_SEC_FIND_REPLACE_STATE& state);
    BOOL Replace(_SEC_FIND_REPLACE_STATE& state);
    int ReplaceAll(_SEC_FIND_REPLACE_STATE& state);
    int MarkAll(_SEC_FIND_REPLACE_STATE& state);
    void MarkLine(int line);
    // Opens the find (TRUE) or replace dialog, or activates the one that is open.
    void OpenFindReplace(BOOL findOnly);
    // Where a page supplies dialogs of its own, it opens them instead.
    std::function<void(SECEditController&, BOOL findOnly)> m_openFindReplace;
    // The page's find or replace dialog where it has them, else the editor's.
    void ShowFindReplace(BOOL findOnly);
    // ISECEditFindReplaceNotify.
    BOOL OnFindReplaceCmd(SECEditFindReplaceDlg& dialog) override;
    BOOL HasSelectionForReplace() override { return SelectionExists(); }
    // The find and replace dialogs run modally (closing after a found match) unless cleared.
    BOOL m_bModalFindDialog = TRUE;
    // Shows a message of the search (the program's message box, exclamation).
    void ShowMessage(const CString& text);

    // ISECEditPresentationState.
    BOOL IsColumnSelection() const override;
    BOOL GetSelection(int& startLine, int& startCol, int& endLine, int& endCol) const override;
    int GetSelectionMode() const override { return m_sel.m_nMode; }
    BOOL HasSelection() const override { return m_sel.HasSelection(); }
    // A selection the commands act on: one that no mouse drag is still making.
    BOOL SelectionExists() const { return m_sel.HasSelection() && !m_bSelecting; }
    BOOL GetDragRect(RECT* rect) const override;
    BOOL KeepSelectionShown() const override { return m_bKeepSelectionShown || m_bFocusToSplitter; }
    void GetColumnRange(int line, int& startCol, int& endCol) override;
    int GetGutterWidth() const override { return GetMarkerGutterWidth() + GetLineNumberGutterWidth(); }
    SECEditLineCol PointToLineCol(CPoint point, BOOL tabRule, CDC* dc = nullptr) override;
    CPoint LineColToPoint(const SECEditLineCol& position, CDC* dc = nullptr) override;
    void OnUpdate(divuzura::foundation::ISubject* subject, divuzura::foundation::IMessage* message) override;
    // How many characters of text fit into a width, measured on dc with the view's tab stops.
    int CharsInWidth(CDC* dc, const wchar_t* text, int length, int width, int tabWidth);

    BOOL m_bScrollByMessages = FALSE;
    BOOL m_bKeepSelectionShown = FALSE;

private:
    // Keeps the model's undo group open for a multi-step edit, unless one is open already.
    class UndoGroup {
    public:
        explicit UndoGroup(SECEdit* edit) : m_edit(edit), m_opened(edit && !edit->IsGroupOpen())
        {
            if (m_opened)
                m_edit->GroupEdits(TRUE);
        }
        ~UndoGroup()
        {
            if (m_opened)
                m_edit->GroupEdits(FALSE);
        }

    private:
        SECEdit* m_edit;
        BOOL m_opened;
    };
    // Freezes caret scrolling for a scope.
    class Frozen {
    public:
        explicit Frozen(SECEditController& c) : m_c(c) { m_c.EnableUpdates(FALSE); }
        ~Frozen() { m_c.EnableUpdates(TRUE); }

    private:
        SECEditController& m_c;
    };

    BOOL OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnChar(wchar_t ch);
    void OnSetFocus();
    void OnKillFocus(HWND newFocus);
    // An input method composes at the caret in the text's font.
    void OnStartComposition();
    void OnEndComposition();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseWheel(short delta);
    BOOL OnSetCursor();
    void OnContextMenu(CPoint screen);
    void OnTimer(UINT_PTR id);
    void OnCaretLineChange();
    // The window's drop target, which hands the drag's steps to the controller.
    class DropTarget : public COleDropTarget {
    public:
        explicit DropTarget(SECEditController& c) : m_c(c) {}
        DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) override { return m_c.DragEnter(data, keyState, point); }
        DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) override { return m_c.DragOver(data, keyState, point); }
        void OnDragLeave(CWnd*) override { m_c.DragLeave(); }
        BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point) override { return m_c.Drop(data, effect, point); }

    private:
        SECEditController& m_c;
    };
    void RemoveDropCaret();
    // What Copy takes: the selection, or the caret line with its break.
    CString TextToCopy(BOOL& column);
    // The position is inside the selection, not at its edges; a column block's columns count.
    BOOL SelectionHolds(const SECEditLineCol& position);
    // Offers the selected text as the X PRIMARY selection.
    void PublishSelection();

    // The editor's command of an id, which the id is passed to; null for ids that are not its own.
    using EditCommand = void (*)(SECEditController&, UINT id);
    static EditCommand FindEditCommand(UINT id);
    // A caret move of the command table: with the selection extended or cleared first.
    struct Move {
        UINT id;
        void (SECEditController::*move)();
        bool extend;
        bool horizontal;
    };
    static const Move* FindMove(UINT id);
    void MoveWordLeftSkipping() { MoveWordLeft(TRUE); }
    void MoveWordRightSkipping() { MoveWordRight(TRUE); }
    void Extend(void (SECEditController::*move)(), BOOL shiftUp = FALSE);
    void AfterMove(BOOL horizontal);
    void NotifyObservers();
    void RepaintLines(int first, int last);
    void RepaintSelection();
    void Enter();
    void Tab();
    void Outdent();
    void Backspace();
    void DeleteChar();
    void DeleteWord(BOOL right);
    void CutLines(BOOL copy);
    void ChangeCase(BOOL upper);
    void ToggleOverwrite();
    void GoToFlag(int flag, BOOL forward);
    void FindKey(BOOL forward, BOOL wordAtCaret);
    // Brings the open find or replace dialog to the front; FALSE when none is open.
    BOOL ActivateFindDialog();
    void CloseFindDialog();
    void StartAutoScroll();
    void StopAutoScroll();
    BOOL CanVirtualSpace() const;
    BOOL IsEditable() const { return !IsReadOnly() && !IsDragging(); }
    int TabSize() const;
    int DisplayColumn(const SECEditLineCol& position);
    int ColumnFromDisplay(int line, int display);
    int CharClass(wchar_t ch) const;
    static int CharClass(wchar_t ch, const ISECEditLangConfig* config);
    // The run of one character class beside a position, found without copying the line: the
    // position at its other end and its class (LineBreakRun for the line break at a line's start
    // or end); none at the start (end) of the text.
    static constexpr int LineBreakRun = -1;
    struct CharRunEnd {
        SECEditLineCol end;
        int charClass;
    };
    std::optional<CharRunEnd> CharRunBeside(int line, int column, bool forward);
    // Where the run of the class of the character at `column` (forward) or of the one before it
    // (backward) ends on the line; the line is read in pieces.
    int RunEdge(int line, int column, bool forward);
    int CharClassAt(int line, int column);
    BOOL PointInSelection(CPoint client);
    CString LineText(int line);
    int LineLength(int line) { return m_pEdit ? std::max(m_pEdit->GetLineLength(line), 0) : 0; }
    int LastLine() const { return m_pEdit ? m_pEdit->GetLastLine() : 0; }
    void SelectMatch(int line, int column, int length);
    int LineBreakLength() const;
    void CenterLine(int line);
    EditFindRequest MakeRequest(const _SEC_FIND_REPLACE_STATE& state) const;
    CString Replacement(const _SEC_FIND_REPLACE_STATE& state, const CString& matched) const;

    SECEditViewport* m_pViewport = nullptr;
    SECEdit* m_pEdit = nullptr;
    BOOL m_bForceVirtualPos = FALSE;
    BOOL m_bFocusToSplitter = FALSE;
    divuzura::foundation::CMvcCommand* m_pLastTyping = nullptr;
    UINT_PTR m_nAutoScrollTimer = 0;
    BOOL m_bCaretHidden = TRUE;
    BOOL m_bInCaretLineChange = FALSE;
    int m_nLastCaretLine = 0;
    HACCEL m_hAccel = nullptr;
    int m_nMarkerGutterWidth = 20;
    BOOL m_bMouseDownNoMove = FALSE;
    BOOL m_bSelecting = FALSE;
    BOOL m_bPaintEnabled = TRUE;
    int m_nFreezeCount = 0;
    SECEditLineCol m_caret;
    CPoint m_ptCaret;
    CPoint m_ptAnchor, m_ptAnchorPrev;
    int m_nDesiredX = 0;
    BOOL m_bTrackDesiredX = TRUE;
    BOOL m_bCaretCreated = FALSE;
    BOOL m_bCaretPastEnd = FALSE;
    SECEditSelection m_sel;
    int m_nFindCount = 0;
    CString m_strFind;
    int m_nLineNumberBase = 1;
    int m_nLineNumberMode = MarkersOnly;
    int m_nLineNumberGutterWidth = -1;
    int m_nLineNumberDigits = -1;
    std::unique_ptr<SECEditFontInfo> m_pGutterFontInfo;
    int m_nUserValue = 0;
    BOOL m_bDropCaretVisible = FALSE;
    BOOL m_bDropRemovedSource = FALSE; // the drop of this controller's drag moved the text itself
    DropTarget m_dropTarget { *this };
    BOOL m_tripleClickArmed = FALSE;
    BOOL m_bAltUsed = FALSE; // Alt held for a column selection or an Alt accelerator: its release opens no menu
    DWORD m_dwDoubleClickTime = 0;
    CPoint m_ptDoubleClick;
};
