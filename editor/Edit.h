#pragma once
// SECEdit: the text model of the code editor. It keeps the text in a buffer and adds the undo
// history of edit commands with grouping, the modified and read-only states, a maximum line
// length kept by breaking lines, per-line colour runs and multi-line comment spans for the
// syntax colouring, per-line flags and data, the language and file load and save.

#include "editor/EditBuffer.h"
#include "editor/EditCommand.h"
#include "editor/EditFontInfo.h"
#include "editor/LangConfig.h"
#include "editor/ScriptEncoding.h"

#include <algorithm>
#include <bitset>
#include <climits>
#include <memory>
#include <vector>

// Line flags that other parts of the editor use.
enum : int { SECEDIT_FLAG_BOX = 17, SECEDIT_FLAG_CHANGED = 18, SECEDIT_FLAG_HIGHLIGHT = 19 };

// Flags and a user word of one line.
class SECEditController;

struct SECEditItemData {
    DWORD m_dwData = 0;
    std::bitset<32> m_flags;
    bool IsEmpty() const { return m_dwData == 0 && m_flags.none(); }
};


class SECEdit : public divuzura::foundation::MvcTransactionModel, public IObserver, public CObject {
    DECLARE_DYNAMIC(SECEdit)
public:
    static constexpr int DefaultMaxLineLength = 2048;
    static constexpr int ReadPiece = 512000;
    static constexpr int LinePieceLength = 1 << 16;
    // A line longer than this is kept whole by edits: only a file makes one.
    static constexpr int KeptWholeLength = 1 << 20;
    // Files larger than this are refused: the text's offsets are ints.
    static constexpr long long MaxFileBytes = 256ll << 20;

    SECEdit();
    ~SECEdit() override;

    // Model and observer identity: the model is owned by its holder.
    bool QueryGuid(GUID_REF guid, void** object) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }

    BOOL IsModified() const override { return m_bModified; }
    LONG Log(divuzura::foundation::CMvcCommand* command) override;
    divuzura::foundation::CMvcCommand* Undo() override;
    divuzura::foundation::CMvcCommand* Redo() override;
    void OnDiscard(divuzura::foundation::CMvcCommand* command, BOOL done) override;

    virtual BOOL InitializeContent(const CString& language);
    virtual BOOL ResetContent();
    virtual ISECEditLangConfig* GetLangConfig() const { return m_pLangConfig; }
    virtual void AttachLangConfig(ISECEditLangConfig* config);
    virtual BOOL SetLanguage(const CString& name);
    virtual SECEditFontInfo* GetFontInfo() const { return m_pFontInfo.get(); }
    virtual void SetFontInfo(std::unique_ptr<SECEditFontInfo> info);
    // Runs the font and colour dialog on the language; after OK writes its choices into the
    // language and tells the language's observers (22575). 1 after OK, 0 after Cancel.
    virtual int ShowFontDialog();

    // Colouring.
    // The colour runs of the line, computed on demand; valid until the next call on the model
    // (a highlighted line's runs live in one buffer that the next highlighted line reuses).
    virtual SECEditLineColor* GetLineColor(int line);
    // A copy of the line's colour runs, which a caller may keep across edits; empty: all "Text".
    // Only the runs that reach into the columns [fromColumn, toColumn) (at least one), the first
    // beginning at *firstColumn: a view copies what it shows of a line of millions of runs.
    SECEditLineColor CopyLineColor(int line, int fromColumn = 0, int toColumn = INT_MAX, int* firstColumn = nullptr);
    virtual void ColorLine(int line, int fromColumn);
    virtual std::unique_ptr<SECEditFontInfo> CreateFontInfo() { return std::make_unique<SECEditFontInfo>(); }
    virtual int ColorToken(int line, const wchar_t* text, int position, int tokenLength, int remaining, int& pending, SECEditLineColor& colors);
    virtual int ColorKeyword(const wchar_t* text, int position, int tokenLength, int& pending, SECEditLineColor& colors);
    virtual int ColorTag(int line, const wchar_t* text, int position, int tokenLength, int remaining, int& pending, SECEditLineColor& colors);
    virtual int ColorOperator(const wchar_t* text, int position, int& pending, SECEditLineColor& colors);
    virtual const SECEditKeywordInfo* FindTagAt(const wchar_t* text, int remaining, int tokenLength, int kind) const;
    virtual int ColorMultiLineTag(int line, int position, int remaining, const SECEditKeywordInfo& tag, SECEditLineColor& colors);
    virtual int ColorSingleLineTag(int line, int position, const SECEditKeywordInfo& tag, SECEditLineColor& colors);
    virtual void FlushPlainText(SECEditLineColor& colors, int& pending);
    virtual void FindTagEnd(SECEditLineCol& end, int line, int column, const SECEditKeywordInfo& tag);
    virtual int IsKeyword(const wchar_t* text, int length, USHORT& group) const;
    virtual BOOL NextTagSpan(int line, int& start, int& end);
    virtual BOOL FindEnclosingSpan(const SECEditLineCol& position, int& start, int& end);

    virtual std::unique_ptr<ISECEditBuffer> CreateBuffer() { return std::make_unique<SECEditBlockBuffer>(); }
    virtual void SetModified(BOOL modified) { m_bModified = modified; }
    virtual BOOL IsReadOnly() const { return m_bReadOnly; }
    // The controller whose drag of text runs, while one runs: a drop tells by it whether the
    // text moves within this model.
    SECEditController* GetDragSource() const { return m_pDragSource; }
    void SetDragSource(SECEditController* controller) { m_pDragSource = controller; }
    virtual wchar_t GetWhitespaceChar(BOOL tab) const { return tab ? L'\u00BB' : L'\u00B7'; }

    // The text, then the language name.
    void Serialize(CArchive& archive) override;
    // The whole text as one string; loading sets it as the new content, unmodified.
    virtual void SerializeText(CArchive& archive);
    virtual void SerializeLanguage(CArchive& archive);

    // Files: UTF-16 of either order, with its mark or where the bytes show it, else 8-bit text
    // (ScriptEncoding.h), saved back in the encoding and with the mark it was read with, byte for
    // byte. A file with NUL characters is refused, its lines are kept however long.
    virtual BOOL LoadFile(const CString& path);
    virtual BOOL LoadFileDetect(const CString& path);
    virtual BOOL LoadFileAnsi(const CString& path);
    virtual void ReportOpenError();
    virtual BOOL SaveFile(const CString& path);
    BOOL IsUnicodeFile() const { return m_encoding == ScriptEncoding::Utf16Le || m_encoding == ScriptEncoding::Utf16Be; }
    ScriptEncoding GetFileEncoding() const { return m_encoding; }

    // Text.
    virtual BOOL InsertTextAt(SECEditLineColPair& range, const wchar_t* text, int length);
    virtual BOOL InsertText(int line, int column, const wchar_t* text, int length = -1);
    virtual int ConvertLineColumn(int column, int mode, int line, int* displayColumn);
    virtual int ConvertColumn(int column, int mode, const wchar_t* text, int length, int* displayColumn) const;
    virtual CString GetIndentText(int columns, const SECEditLineCol& position, BOOL honourReplaceTabs);
    virtual int GetBlanksToNextTab(const SECEditLineCol& position);
    virtual BOOL DeleteText(int startLine, int startCol, int endLine, int endCol);
    // Replaces the range by text (length -1: up to the terminating zero) as one undo step, with
    // one deletion and one insertion however large; where the text has as many lines as the
    // range, each line keeps its flags and data. FALSE when the range is no place in the text.
    BOOL ReplaceText(const SECEditLineColPair& range, const wchar_t* text, int length = -1);
    virtual BOOL GetText(CString& text, int startLine, int startCol, int endLine, int endCol);
    virtual int GetLinePointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol);
    virtual void UpdateModified();
    virtual int Find(int startLine, int startCol, int& line, int& column, const EditFindRequest& request, int stopLine = -1, int stopCol = -1);
    virtual void CreateFontInfoFromConfig();
    virtual BOOL InsertTab(int line, int column);
    virtual BOOL BreakLongLines(BOOL breakLines, int firstLine, int lastLine);

    virtual SECEditCommand* CreateInsertCommand(const SECEditLineColPair& range);
    virtual void GroupEdits(BOOL open);
    virtual void AppendToLastStep(divuzura::foundation::CMvcCommand* command, BOOL newFirst);
    // Folds the newest undo step, an insertion right behind `previous`, into `previous`, which
    // becomes the newest step again; FALSE (nothing changed) when it is no such insertion.
    BOOL MergeLastInsertion(SECEditCommand& previous);
    // The line's length (-1 when it cannot be read) and a pointer to its characters, valid until
    // the next call on the model (the buffer may move its text to keep a range in one piece).
    virtual int GetLineText(int line, CString& text, const wchar_t*& chars);
    // Calls each(chars, count, column) for the line's characters [from, to) in pieces, read in place
    // and valid during the call, until it returns false: a scan of a line of millions of characters
    // that asks for no pointer to all of them, which would have them stored wide.
    template <typename Each>
    void ForEachLinePiece(int line, int from, int to, Each each)
    {
        for (int column = from; column < to;) {
            const int count = std::min(to - column, LinePieceLength);
            const wchar_t* chars = nullptr;
            if (GetLinePointer(chars, line, column, line, column + count) != count || !chars || !each(chars, count, column))
                return;
            column += count;
        }
    }
    // The same from `to` back to `from`: the last piece first, the characters of each in order.
    template <typename Each>
    void ForEachLinePieceBackward(int line, int from, int to, Each each)
    {
        for (int column = to; column > from;) {
            const int count = std::min(column - from, LinePieceLength);
            const wchar_t* chars = nullptr;
            if (GetLinePointer(chars, line, column - count, line, column) != count || !chars || !each(chars, count, column - count))
                return;
            column -= count;
        }
    }
    virtual int GetLineLength(int line);
    virtual BOOL IsValidPosition(int line, int column, BOOL any);
    virtual int ValidateColumn(int line, int column, BOOL any);
    virtual int GetMaxLineLength() const { return m_nMaxLineLength; }
    // The columns of a tab stop.
    int TabSize() const;

    // Line flags and data.
    virtual BOOL IsLineBlank(int line);
    virtual BOOL GetLineFlag(int line, int bit) const;
    virtual void ToggleLineFlag(int line, int bit);
    virtual void ClearLineFlagAll(int bit);
    virtual int FindLineWithFlag(int fromLine, int bit, BOOL forward) const;
    virtual int CountLinesWithFlag(int bit) const;
    virtual DWORD GetLineData(int line) const;
    virtual DWORD SetLineData(int line, DWORD value);
    virtual SECEditItemData* GetOrCreateItemData(int line);
    virtual void RemoveItemData(int line);
    virtual void InsertItemDataRows(int line, int count, BOOL before);
    virtual void RemoveItemDataRows(int first, int last);
    virtual void OnRemoveItemData(SECEditItemData* item, int line) {}
    // The flags and data of the lines [first, last] (empty records for lines without any), and
    // those records added back to the lines from first on.
    std::vector<SECEditItemData> CopyLineData(int first, int last) const;
    void MergeLineData(int first, const std::vector<SECEditItemData>& data);

    // Observer of the language and of the model's own commands.
    void OnUpdate(ISubject* subject, IMessage* message) override;

    void SetText(const wchar_t* text, int length = -1);
    void GetAllText(CString& text);
    void ResetUndo();
    int GetIndentLength(int line);
    void SetLineFlag(int line, int bit, BOOL on);
    int GetLineCount() const { return m_pBuffer ? m_pBuffer->GetLineCount() : 0; }
    int GetLastLine() const { return GetLineCount() - 1; }
    BOOL IsOverwrite() const { return m_bOverwrite; }
    void SetOverwrite(BOOL overwrite) { m_bOverwrite = overwrite; }
    BOOL IsGroupOpen() const { return m_bGroupOpen; }
    void SetMarkChangedLines(BOOL mark) { m_bMarkChangedLines = mark; }
    void SetColoring(BOOL on) { m_bColoring = on; }
    // The width of a tab stop in the font's measured widths.
    int GetTabStopWidth(const SECEditFontInfo& font) const;
    // The latest change of the text: its count and where it began, and whether lines may have
    // come or gone with it (a new text counts as such a change at (0, 0)). What a view derives
    // from a line's text stays true for the part before the change.
    struct TextChange {
        unsigned version = 0;
        SECEditLineCol start;
        bool linesMoved = true;
    };
    const TextChange& GetLastTextChange() const { return m_lastChange; }
    divuzura::foundation::CMvcCommand* GetExecutingCommand() const { return m_pExecuting; }
    void SetExecutingCommand(divuzura::foundation::CMvcCommand* command) { m_pExecuting = command; }
    const SECEditMLCommentArray& GetCommentSpans() const { return m_comments; }
    ISECEditBuffer* GetBuffer() const { return m_pBuffer.get(); }

private:
    SECEditController* m_pDragSource = nullptr;
    IObserver* Self() { return this; }
    // The line's characters in text, for scans that call back into the model on the way.
    int CopyLineText(int line, CString& text);
    std::vector<int> BreakColumns(int line, int insertEnd);
    bool IsTooWide(int line);
    // After text went into a line kept whole however wide: the maximum, which no line's width
    // passes, follows the lines the insertion begins and ends in.
    void WidenForKeptLines(const SECEditLineColPair& inserted, const wchar_t* text, int length);
    void InsertLineBreaks(int line, const std::vector<int>& columns, SECEditLineColPair* range);
    void NoteTextChange(const SECEditLineCol& start, bool linesMoved);
    void DropSpansTouching(const SECEditLineColPair& range);
    void DropSpansFrom(INT_PTR first);
    void DropAllColors();
    // Finds the multi-line tags that begin on the lines from the first stale line up to line.
    void ColorRange(int line);
    // The span of the multi-line tag that the line before ends inside, which the line's scan
    // starts in; null when that scan starts between tokens.
    const SECEditMLComment* SpanInto(int line) const;
    // Colours the line from its start, in the state the scan of the line before ended in.
    void ColorLineFromItsStart(int line);
    // Colours the lines of the span from firstLine on (after its begin line) in the tag's group, up
    // to the span's end, and leaves the rest of its end line to the continuation.
    void ColorSpanLines(const SECEditMLComment& span, int firstLine);
    // FindEnclosingSpan on a line whose scan starts at fromColumn (after a tag an earlier line
    // left open).
    bool EnclosingSpanFrom(const SECEditLineCol& position, int fromColumn, int& start, int& end);
    // Colours the line from fromColumn on, with pending characters of plain text before it that
    // the runs do not hold yet; then the lines a multi-line tag continues on.
    void ColorLineResuming(int line, int fromColumn, int pending);
    void ColorLineFrom(int line, int fromColumn, int pending = 0);
    // Colours the lines that multi-line tags ended on, from their ends.
    void FollowContinuations();
    // Scans the line's columns from fromColumn to length into colours, after each token asking
    // stop(column, pending plain characters, the line's characters by column, up to one past the
    // column) whether to end there.
    template <typename Stop>
    void ScanLine(int line, int fromColumn, int length, int& pending, SECEditLineColor& colors, Stop stop);
    int LongestBeginTag() const;
    // After an edit inside one line that changed its length by lengthChange at column: marks
    // where colouring resumes, a place before the edit where the scan from the line's start
    // passes between two tokens (the end of a keyword, tag or operator, or the start of a word
    // after blanks in plain text), keeping the line's runs, which still describe the line as it
    // was; or drops them all. Edits in one line before it is coloured again add up.
    void KeepColorsAround(int line, int column, int lengthChange);
    // Colours the edited line from where KeepColorsAround marked, until the scan passes between
    // two tokens where the runs before the edit did too, past the edited text: from there on the
    // line is scanned as it was, and its old runs are kept.
    void RecolorEdited();
    // Forgets where an edited line resumes colouring, with the line's runs, which no longer fit it.
    void AbandonColorResume();
    void SendToObservers(IMessage* message);
    void ApplyCommand(SECEditCommand& command);
    // Loading goes into a buffer of its own, which replaces the text only when the file is read.
    std::unique_ptr<ISECEditBuffer> NewLoadBuffer(size_t characters);
    BOOL InsertLoaded(ISECEditBuffer& buffer, const std::wstring& text, SECEditLineColPair& at, const CString& path);
    BOOL LoadFileUtf16(const CString& path, ScriptEncoding encoding, bool mark);
    BOOL AdoptLoaded(std::unique_ptr<ISECEditBuffer> buffer, ScriptEncoding encoding, bool mark, std::string oddLastByte = {});
    BOOL FailLoad();
    // The line's width in display columns, tabs expanded.
    int LineDisplayWidth(int line);
    // The width of the line's first count characters, with tabs of tab columns, read in pieces.
    int DisplayColumns(int line, int count, int tab);
    bool ReadOnlyOnDisk(const CString& path) const;

    divuzura::foundation::CMvcCommand* m_pExecuting = nullptr;
    ScriptEncoding m_encoding = ScriptEncoding::Utf16Le;
    bool m_bMark = true; // the file began with its encoding's mark (EF BB BF, FF FE, FE FF), which saving puts back
    std::string m_oddLastByte; // the byte after the last whole unit of a UTF-16 file of odd length
    BOOL m_bColoring = TRUE;
    BOOL m_bMarkChangedLines = FALSE; // the controller switches it on for its own insertions
    std::unique_ptr<ISECEditBuffer> m_pBuffer;
    SECEditMLCommentArray m_comments;
    // The colour runs of each line; an empty array has not been computed (a coloured line has at
    // least one run). Held by value: a large text has hundreds of thousands of them.
    EditPagedVector<SECEditLineColor> m_lineColors;
    EditPagedVector<std::unique_ptr<SECEditItemData>> m_itemData;
    BOOL m_bModified = FALSE;
    BOOL m_bReadOnly = FALSE;
    BOOL m_bOverwrite = FALSE;
    BOOL m_bGroupOpen = FALSE;
    int m_nMaxLineLength = DefaultMaxLineLength;
    // Every multi-line tag that begins on a line before this one has its span in m_comments, and
    // no other does; so the state each of those lines begins in is known.
    int m_nFirstStaleLine = 0;
    TextChange m_lastChange;
    // Where the colouring of an edited line resumes; valid while the text and the line's runs are
    // as KeepColorsAround left them. The runs describe the line before its edits: the columns
    // before editStart are unchanged, and from editEnd on the line's text is its old text from
    // editEnd - lengthChange on.
    struct ColorResume {
        int line = -1;
        int column = 0;      // where the scan resumes, pending characters of plain text behind it
        int pending = 0;
        INT_PTR runs = 0;    // the runs before column - pending, which stay
        INT_PTR oldRuns = 0; // all the runs kept
        int editStart = 0;
        int editEnd = 0;
        int lengthChange = 0;
        unsigned version = 0;
    } m_colorResume;
    // The line last coloured to its end, as its text was then: its runs cover the whole line; and
    // a run of them with the column it begins at, where the last look-up in them ended.
    struct ColorsFit {
        int line = -1;
        INT_PTR runs = 0;
        unsigned version = 0;
        INT_PTR cursor = 0;
        long long cursorStart = 0;
    } m_colorsFit;
    SECEditCompositeCommand* m_pGroup = nullptr;
    divuzura::foundation::CMvcCommand* m_pSavePoint = nullptr;
    std::unique_ptr<SECEditFontInfo> m_pFontInfo;
    ISECEditLangConfig* m_pLangConfig = nullptr;
    BOOL m_bLineStart = FALSE;
    SECEditLineColor m_highlight; // the one-run colours of a highlighted line
    // Where colouring goes on after a multi-line tag: its end. ColorLine continues there in a
    // loop, so that a chain of comments over many lines never deepens the stack.
    SECEditLineCol m_continuation;
    bool m_bContinuation = false;
};
