#include "editor/Edit.h"

#include "editor/EditFontSizeDlg.h"

#include "platform/base/Archive.h"
#include "platform/base/MulDiv.h"
#include "platform/sys/CodePage.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string_view>

using divuzura::foundation::CMvcCommand;
using divuzura::foundation::IID_IObserver;
using divuzura::foundation::MvcTransactionModel;

namespace {

// A save point that no command can equal: the text differs from every saved state.
CMvcCommand* NeverSaved()
{
    static SECEditCompositeCommand marker;
    return &marker;
}

// Inserts count empty slots at index (clamped to the end).
template <typename Slots>
void InsertEmptySlots(Slots& slots, size_t index, int count)
{
    if (count <= 0)
        return;
    index = std::min(index, slots.size());
    slots.resize(slots.size() + count);
    std::rotate(slots.begin() + index, slots.end() - count, slots.end());
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

} // namespace

IMPLEMENT_DYNAMIC(SECEdit, CObject)

SECEdit::SECEdit() = default;

SECEdit::~SECEdit()
{
    delete m_pGroup;
    if (m_pLangConfig) {
        m_pLangConfig->RemoveObserver(Self());
        m_pLangConfig->Release();
    }
}

bool SECEdit::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_IObserver) {
        *object = Self();
        return true;
    }
    return MvcTransactionModel::QueryGuid(guid, object);
}

int SECEdit::TabSize() const
{
    const int size = m_pLangConfig ? m_pLangConfig->GetTabSize() : 4;
    return size > 0 ? size : 1;
}

void SECEdit::SendToObservers(IMessage* message)
{
    UpdateAllObservers(Self(), message);
}

// ---- content and language ------------------------------------------------------------------

BOOL SECEdit::InitializeContent(const CString& language)
{
    const BOOL result = SetLanguage(language);
    return result ? ResetContent() : result;
}

BOOL SECEdit::ResetContent()
{
    if (!m_pLangConfig)
        SetLanguage(L"Default");
    m_bReadOnly = FALSE;
    m_nMaxLineLength = DefaultMaxLineLength;
    m_pSavePoint = nullptr;
    m_bModified = FALSE;
    ResetUndo();
    // Fresh arrays rather than emptied ones: those of a large text give their memory back.
    m_itemData = decltype(m_itemData)(1);
    m_pBuffer = CreateBuffer();
    m_pBuffer->Clear();
    NoteTextChange({}, true);
    CreateFontInfoFromConfig();
    m_lineColors = decltype(m_lineColors)(1);
    m_nFirstStaleLine = 0;
    m_comments.RemoveAll();
    SECEditMsg message(SECEDIT_INIT_CONTROLLER);
    message.AddRef();
    SendToObservers(&message);
    return TRUE;
}

void SECEdit::AttachLangConfig(ISECEditLangConfig* config)
{
    if (config)
        config->AddRef();
    if (m_pLangConfig) {
        m_pLangConfig->RemoveObserver(Self());
        m_pLangConfig->Release();
    }
    m_pLangConfig = config;
    if (m_pLangConfig)
        m_pLangConfig->AddObserver(Self());
}

BOOL SECEdit::SetLanguage(const CString& name)
{
    SECEditLangConfig* config = SECEditLangConfig::GetConfig(name);
    if (!config)
        return FALSE;
    AttachLangConfig(config);
    SECEditMsg message(SECEDIT_INVALIDATE_COLORING);
    message.AddRef();
    OnUpdate(m_pLangConfig, &message);
    return TRUE;
}

void SECEdit::SetFontInfo(std::unique_ptr<SECEditFontInfo> info)
{
    if (info && info.get() != m_pFontInfo.get())
        m_pFontInfo = std::move(info);
    SECEditMsg message(SECEDIT_FONT_UPDATE);
    message.AddRef();
    OnUpdate(this, &message);
}

void SECEdit::CreateFontInfoFromConfig()
{
    auto info = CreateFontInfo();
    if (m_pLangConfig) {
        info->m_strFaceName = m_pLangConfig->GetFaceName();
        info->m_nPointSize = m_pLangConfig->GetSize();
        info->m_nWeight = m_pLangConfig->GetBold() ? 700 : 400;
        info->m_bItalic = m_pLangConfig->GetItalic();
        info->m_nHeight = -MulDiv(info->m_nPointSize, ::GetDeviceCaps(info->GetInfoDC(), LOGPIXELSY), 72);
        info->Build(GetWhitespaceChar(TRUE));
    }
    m_pFontInfo = std::move(info);
}

int SECEdit::ShowFontDialog()
{
    if (!m_pLangConfig || !m_pFontInfo || m_pFontInfo->GetFontCount() == 0)
        return 0;
    LOGFONTW font {};
    m_pFontInfo->GetTextFont()->GetLogFont(&font);
    font.lfCharSet = static_cast<BYTE>(CharSetOfCodePage(GetOEMCP()));
    SECEditFontSizeDlg dialog;
    dialog.SetConfig(m_pLangConfig, &font);
    if (dialog.DoModal() != IDOK)
        return 0;
    dialog.Apply(m_pLangConfig);
    SECEditMsg message(SECEDIT_FONT_UPDATE);
    message.AddRef();
    m_pLangConfig->Notify(nullptr, &message);
    return 1;
}

int SECEdit::GetTabStopWidth(const SECEditFontInfo& font) const
{
    if (m_pLangConfig && m_pLangConfig->GetShowWhitespace())
        return (TabSize() - 1) * font.m_nBlankWidth + font.m_nTabMarkerWidth;
    return TabSize() * font.m_nBlankWidth;
}

void SECEdit::SetText(const wchar_t* text, int length)
{
    ResetContent();
    if (text)
        InsertText(0, 0, text, length);
    ResetUndo();
    SetModified(TRUE);
}

void SECEdit::GetAllText(CString& text)
{
    text.Empty();
    // To the very end: a carriage return inside the last line ends its length, not the text.
    const int last = GetLastLine();
    if (last >= 0)
        GetText(text, 0, 0, last, m_pBuffer->GetLineLengthWithEnd(last));
}

void SECEdit::Serialize(CArchive& archive)
{
    SerializeText(archive);
    SerializeLanguage(archive);
}

void SECEdit::SerializeText(CArchive& archive)
{
    CString text;
    if (archive.IsStoring()) {
        GetAllText(text);
        archive << text;
    } else {
        archive >> text;
        SetText(text);
    }
    ResetUndo();
    // The text now equals the archive: that is the saved state.
    m_pSavePoint = PeekUndo();
    m_bModified = FALSE;
}

void SECEdit::SerializeLanguage(CArchive& archive)
{
    if (archive.IsStoring()) {
        archive << (m_pLangConfig ? m_pLangConfig->GetName() : CString(L"Default"));
    } else {
        CString name;
        archive >> name;
        SetLanguage(name);
    }
}

// ---- undo --------------------------------------------------------------------------------

// An unmodified text is the saved state, which an empty history then stands for.
void SECEdit::ResetUndo()
{
    m_pSavePoint = IsModified() ? NeverSaved() : nullptr;
    Reset();
}

// Keeps the save point pointing at a step that still exists, so that a later command made at a
// freed step's address, or an undo back over a step that fell off the history, never passes for
// the saved text.
void SECEdit::OnDiscard(CMvcCommand* command, BOOL done)
{
    if (m_pSavePoint == NeverSaved())
        return;
    if (done) {
        // The empty history now stands for the text after this step.
        m_pSavePoint = m_pSavePoint == command ? nullptr : m_pSavePoint ? m_pSavePoint : NeverSaved();
    } else if (m_pSavePoint == command) {
        m_pSavePoint = NeverSaved();
    }
}

void SECEdit::UpdateModified()
{
    m_bModified = PeekUndo() != m_pSavePoint;
}

LONG SECEdit::Log(CMvcCommand* command)
{
    if (m_bGroupOpen && m_pGroup) {
        // A command the group refuses is the group itself or already one of its members: the
        // group owns it either way.
        m_pGroup->Add(command);
        return 1;
    }
    const LONG result = MvcTransactionModel::Log(command);
    UpdateModified();
    return result;
}

CMvcCommand* SECEdit::Undo()
{
    GroupEdits(FALSE);
    CMvcCommand* command = MvcTransactionModel::Undo();
    UpdateModified();
    return command;
}

CMvcCommand* SECEdit::Redo()
{
    GroupEdits(FALSE);
    CMvcCommand* command = MvcTransactionModel::Redo();
    UpdateModified();
    return command;
}

void SECEdit::GroupEdits(BOOL open)
{
    if (open) {
        GroupEdits(FALSE);
        m_pGroup = new SECEditCompositeCommand;
        m_bGroupOpen = TRUE;
        return;
    }
    if (!m_pGroup)
        return;
    m_bGroupOpen = FALSE;
    SECEditCompositeCommand* group = std::exchange(m_pGroup, nullptr);
    if (group->GetCount() == 0 || !Log(group))
        delete group;
}

void SECEdit::AppendToLastStep(CMvcCommand* command, BOOL newFirst)
{
    GroupEdits(FALSE);
    CMvcCommand* last = PopHistory();
    if (!last) {
        Log(command);
        return;
    }
    auto* group = new SECEditCompositeCommand;
    group->Add(newFirst ? command : last);
    group->Add(newFirst ? last : command);
    Log(group);
}

BOOL SECEdit::MergeLastInsertion(SECEditCommand& previous)
{
    auto* newest = dynamic_cast<SECEditCommand*>(PeekUndo());
    if (!newest || newest == &previous || !previous.MergeFollowingInsertion(*newest))
        return FALSE;
    PopHistory();
    delete newest;
    UpdateModified();
    return TRUE;
}

SECEditCommand* SECEdit::CreateInsertCommand(const SECEditLineColPair& range)
{
    if (m_pExecuting)
        return dynamic_cast<SECEditCommand*>(m_pExecuting);
    auto* command = new SECEditCommand(this, SECEditCommand::Insert);
    static_cast<SECEditLineColPair&>(*command) = range;
    Log(command);
    return command;
}

// ---- text access -------------------------------------------------------------------------

int SECEdit::GetLineLength(int line)
{
    return m_pBuffer ? m_pBuffer->GetLineLength(line) : -1;
}

BOOL SECEdit::GetText(CString& text, int startLine, int startCol, int endLine, int endCol)
{
    return m_pBuffer && m_pBuffer->GetText(text, startLine, startCol, endLine, endCol);
}

int SECEdit::GetLinePointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol)
{
    text = nullptr;
    return m_pBuffer ? m_pBuffer->GetTextPointer(text, startLine, startCol, endLine, endCol) : -1;
}

int SECEdit::GetLineText(int line, CString& text, const wchar_t*& chars)
{
    const int length = GetLineLength(line);
    chars = nullptr;
    if (length < 0)
        return -1;
    if (GetLinePointer(chars, line, 0, line, length) < 0) {
        if (!GetText(text, line, 0, line, length))
            return -1;
        chars = text.GetString();
    }
    return length;
}

int SECEdit::CopyLineText(int line, CString& text)
{
    const wchar_t* chars = nullptr;
    const int length = GetLineText(line, text, chars);
    if (length >= 0 && chars != text.GetString())
        text = CString(std::wstring_view(chars, length));
    return length;
}

int SECEdit::Find(int startLine, int startCol, int& line, int& column, const EditFindRequest& request, int stopLine, int stopCol)
{
    return m_pBuffer ? m_pBuffer->Find(startLine, startCol, line, column, request, stopLine, stopCol) : 0;
}

BOOL SECEdit::IsValidPosition(int line, int column, BOOL any)
{
    if (any)
        return TRUE;
    if (line < 0 || line > GetLastLine() || column < 0)
        return FALSE;
    return column <= GetLineLength(line);
}

int SECEdit::ValidateColumn(int line, int column, BOOL any)
{
    return IsValidPosition(line, column, any) ? column : -1;
}

int SECEdit::GetIndentLength(int line)
{
    int indent = 0;
    ForEachLinePiece(line, 0, std::max(GetLineLength(line), 0), [&](const wchar_t* chars, int count, int) {
        const int blanks = static_cast<int>(std::find_if_not(chars, chars + count, IsBlank) - chars);
        indent += blanks;
        return blanks == count;
    });
    return indent;
}

BOOL SECEdit::IsLineBlank(int line)
{
    const int length = GetLineLength(line);
    return length <= 0 || GetIndentLength(line) == length;
}

// ---- columns and tabs --------------------------------------------------------------------

int SECEdit::ConvertColumn(int column, int mode, const wchar_t* text, int length, int* displayColumn) const
{
    const int tab = TabSize();
    const bool hasTab = text && std::find(text, text + length, L'\t') != text + length;
    if (tab == 1 || !hasTab) {
        const int result = mode == 0 ? column : std::clamp(column, 0, length);
        if (mode != 0 && displayColumn)
            *displayColumn = result;
        return result;
    }
    if (mode == 0) {
        const int end = std::clamp(column, 0, length);
        int display = 0;
        for (int i = 0; i < end; ++i)
            display += text[i] == L'\t' ? tab - display % tab : 1;
        return display;
    }
    int display = 0;
    for (int i = 0; i < length; ++i) {
        if (display == column)
            return i;
        const int width = text[i] == L'\t' ? tab - display % tab : 1;
        if (column > display && column < display + width) {
            if (displayColumn)
                *displayColumn = display;
            return i;
        }
        display += width;
    }
    if (display == column)
        return length;
    if (displayColumn)
        *displayColumn = display;
    return length;
}

int SECEdit::ConvertLineColumn(int column, int mode, int line, int* displayColumn)
{
    line = std::min(line, GetLastLine());
    const int tab = TabSize();
    if (mode == 0 && column >= 0 && column <= GetLineLength(line) && tab > 1) {
        // The display column of a place in the line counts the text before it alone, read in pieces.
        return DisplayColumns(line, column, tab);
    }
    CString copy;
    const wchar_t* chars = nullptr;
    const int length = GetLineText(line, copy, chars);
    return ConvertColumn(column, mode, chars, std::max(length, 0), displayColumn);
}

int SECEdit::GetBlanksToNextTab(const SECEditLineCol& position)
{
    const int display = ConvertLineColumn(position.m_nCol, 0, position.m_nLine, nullptr);
    return TabSize() - display % TabSize();
}

CString SECEdit::GetIndentText(int columns, const SECEditLineCol& position, BOOL honourReplaceTabs)
{
    if (columns <= 0)
        return {};
    const int tab = TabSize();
    const int display = ConvertLineColumn(position.m_nCol, 0, position.m_nLine, nullptr);
    const int toNextStop = tab - display % tab;
    if ((honourReplaceTabs && m_pLangConfig && m_pLangConfig->GetReplaceTabs()) || columns < toNextStop)
        return CString(L' ', columns);
    CString indent(L'\t');
    int left = columns - toNextStop;
    indent += CString(L'\t', left / tab);
    indent += CString(L' ', left % tab);
    return indent;
}

BOOL SECEdit::InsertTab(int line, int column)
{
    if (m_pLangConfig && m_pLangConfig->GetReplaceTabs()) {
        const CString blanks(L' ', GetBlanksToNextTab({ line, column }));
        return InsertText(line, column, blanks, blanks.GetLength());
    }
    return InsertText(line, column, L"\t", 1);
}

// The columns at which a line wider than the maximum is broken so that every piece fits: where a
// piece reaches the maximum display column, or at insertEnd (the end of an insertion on this line)
// when that lies within the maximum of its piece, so that an insertion and its breaks stay
// together. One pass over the line, however many pieces it makes.
std::vector<int> SECEdit::BreakColumns(int line, int insertEnd)
{
    std::vector<int> breaks;
    CString copy;
    const wchar_t* text = nullptr;
    const int length = GetLineText(line, copy, text);
    if (length <= 0 || static_cast<long long>(length) * TabSize() <= m_nMaxLineLength)
        return breaks;
    const int tab = TabSize();
    for (int start = 0; start < length;) {
        int display = 0;
        int i = start;
        for (; i < length; ++i) {
            const int width = text[i] == L'\t' ? tab - display % tab : 1;
            if (display + width > m_nMaxLineLength)
                break;
            display += width;
        }
        if (i >= length)
            break; // the rest fits
        if (insertEnd > start && insertEnd <= i)
            i = insertEnd;
        if (i == start)
            break; // one character wider than the maximum
        breaks.push_back(i);
        start = i;
    }
    return breaks;
}

void SECEdit::NoteTextChange(const SECEditLineCol& start, bool linesMoved)
{
    m_lastChange = { m_lastChange.version + 1, start, linesMoved };
}

int SECEdit::LineDisplayWidth(int line)
{
    const int length = GetLineLength(line);
    const int tab = TabSize();
    if (length <= 0 || static_cast<long long>(length) * tab <= m_nMaxLineLength)
        return std::max(length, 0); // a shorter line needs no exact count
    return DisplayColumns(line, length, tab);
}

int SECEdit::DisplayColumns(int line, int count, int tab)
{
    long long display = 0;
    ForEachLinePiece(line, 0, count, [&](const wchar_t* chars, int n, int) {
        for (int i = 0; i < n; ++i)
            display += chars[i] == L'\t' ? tab - display % tab : 1;
        return true;
    });
    return static_cast<int>(std::min<long long>(display, INT_MAX));
}

void SECEdit::WidenForKeptLines(const SECEditLineColPair& inserted, const wchar_t* text, int length)
{
    const long long tab = TabSize();
    // Before the insertion no line was wider than the maximum: a line kept whole is now at most as
    // much wider as the widest piece of the inserted text between its line ends.
    auto widestPiece = [&] {
        const std::wstring_view pieces(text, length < 0 ? std::wcslen(text) : static_cast<size_t>(length));
        const wchar_t end1 = m_pBuffer->GetLineEnd1(), end2 = m_pBuffer->GetLineEnd2();
        long long widest = 0, piece = 0;
        for (const wchar_t ch : pieces) {
            if (ch == end1 || ch == end2)
                piece = 0;
            else
                widest = std::max(widest, piece += ch == L'\t' ? tab : 1);
        }
        return widest;
    };
    for (const int line : { inserted.m_start.m_nLine, inserted.m_end.m_nLine }) {
        // A line that breaking would scan anyway is measured; one of a million characters and more
        // gets the bound, which costs no count of it at every key.
        const int lineLength = GetLineLength(line);
        const long long width = lineLength <= KeptWholeLength ? LineDisplayWidth(line)
                                                              : std::min(m_nMaxLineLength + widestPiece(), lineLength * tab);
        m_nMaxLineLength = static_cast<int>(std::clamp<long long>(width, m_nMaxLineLength, INT_MAX));
        if (inserted.m_end.m_nLine == inserted.m_start.m_nLine)
            break;
    }
}

bool SECEdit::IsTooWide(int line)
{
    // Every character takes a column at least: a line longer than the maximum needs no count.
    return GetLineLength(line) > m_nMaxLineLength || !BreakColumns(line, -1).empty();
}

// Puts line breaks at the columns of one line, with one replacement of the line's text so that a
// very long line costs one pass; the range, when given, is widened over each break.
void SECEdit::InsertLineBreaks(int line, const std::vector<int>& columns, SECEditLineColPair* range)
{
    CString copy;
    const wchar_t* text = nullptr;
    const int length = GetLineText(line, copy, text);
    if (length < 0 || columns.empty())
        return;
    const wchar_t lineBreak[] = { m_pBuffer->GetLineEnd2(), m_pBuffer->GetLineEnd1() };
    std::wstring broken;
    broken.reserve(static_cast<size_t>(length) + 2 * columns.size());
    int from = 0;
    for (int column : columns) {
        broken.append(text + from, text + column);
        broken.append(std::begin(lineBreak), std::end(lineBreak));
        from = column;
    }
    broken.append(text + from, text + length);

    SECEditLineColPair whole(line, 0, line, length);
    if (!m_pBuffer->DeleteText(whole))
        return;
    SECEditLineColPair at(line, 0, 0, 0);
    m_pBuffer->InsertText(at, broken.c_str(), static_cast<int>(broken.size()));
    NoteTextChange({ line, 0 }, true);

    if (!range)
        return;
    for (auto column = columns.rbegin(); column != columns.rend(); ++column) {
        const SECEditLineColPair inserted(line, *column, line + 1, 0);
        if (SECEditLineCol(line, *column) == range->m_start)
            range->m_end.AdjustForEdit(inserted, TRUE);
        else
            range->AdjustForEdit(inserted, TRUE);
    }
}

// ---- editing -----------------------------------------------------------------------------

BOOL SECEdit::InsertText(int line, int column, const wchar_t* text, int length)
{
    SECEditLineColPair range(line, column, 0, 0);
    return InsertTextAt(range, text, length);
}

BOOL SECEdit::InsertTextAt(SECEditLineColPair& range, const wchar_t* text, int length)
{
    if (!m_pBuffer)
        ResetContent();
    DropSpansTouching(range);

    const int line = range.m_start.m_nLine;
    const int column = range.m_start.m_nCol;
    if (IsLineBlank(line))
        m_bLineStart = column == 0;
    else
        m_bLineStart = column <= GetIndentLength(line);

    // A loaded line wider than the maximum, or wider than the default and the longest of its file
    // (which set the maximum), keeps its text whole: the breaks would change text the user did not
    // touch. Lines made only of inserted text are still broken. A line of a million characters
    // and more is kept without its width counted again at every key.
    const bool wasTooWide = GetLineLength(line) > KeptWholeLength || IsTooWide(line)
        || (m_nMaxLineLength > DefaultMaxLineLength && LineDisplayWidth(line) >= m_nMaxLineLength);
    if (!m_pBuffer->InsertText(range, text, length))
        return FALSE;
    NoteTextChange(range.m_start, range.m_end.m_nLine != range.m_start.m_nLine);
    if (wasTooWide)
        WidenForKeptLines(range, text, length);

    for (int l = range.m_start.m_nLine; l <= range.m_end.m_nLine; ++l) {
        if (wasTooWide && (l == range.m_start.m_nLine || l == range.m_end.m_nLine))
            continue;
        const std::vector<int> breaks = BreakColumns(l, l == range.m_end.m_nLine ? range.m_end.m_nCol : -1);
        InsertLineBreaks(l, breaks, &range);
        l += static_cast<int>(breaks.size());
    }

    SECEditCommand* command = CreateInsertCommand(range);
    if (!command)
        return FALSE;
    OnUpdate(this, command);
    return TRUE;
}

BOOL SECEdit::DeleteText(int startLine, int startCol, int endLine, int endCol)
{
    if (!m_pBuffer)
        return FALSE;
    const SECEditLineColPair range = SECEditLineColPair(startLine, startCol, endLine, endCol).Normalized();
    const SECEditLineCol& s = range.m_start;
    const SECEditLineCol& e = range.m_end;
    // Any place the buffer knows, also one after a lone CR inside a line.
    if (m_pBuffer->LineColToOffset(s.m_nLine, s.m_nCol) < 0 || m_pBuffer->LineColToOffset(e.m_nLine, e.m_nCol) < 0)
        return FALSE;
    DropSpansTouching(range);

    m_bLineStart = s.m_nCol <= GetIndentLength(s.m_nLine) && (e.m_nCol == 0 || e.m_nCol < GetLineLength(e.m_nLine));

    SECEditCommand* created = nullptr;
    SECEditCommand* command = dynamic_cast<SECEditCommand*>(m_pExecuting);
    if (!m_pExecuting) {
        created = new SECEditCommand(this, SECEditCommand::Delete);
        static_cast<SECEditLineColPair&>(*created) = range;
        CString text;
        GetText(text, s.m_nLine, s.m_nCol, e.m_nLine, e.m_nCol);
        created->SetText(text);
        command = created;
    }

    if (!m_pBuffer->DeleteText(range)) {
        delete created;
        return FALSE;
    }
    NoteTextChange(s, s.m_nLine != e.m_nLine);

    if (created) {
        // Only a join of lines can make one too wide; a deletion inside a line leaves it as it was.
        if (s.m_nLine != e.m_nLine && IsTooWide(s.m_nLine)) {
            const BOOL openedGroup = !m_bGroupOpen;
            if (openedGroup)
                GroupEdits(TRUE);
            Log(created);
            OnUpdate(this, created);
            const wchar_t lineBreak[] = { m_pBuffer->GetLineEnd2(), m_pBuffer->GetLineEnd1(), 0 };
            InsertText(s.m_nLine, s.m_nCol, lineBreak, 2);
            if (openedGroup)
                GroupEdits(FALSE);
            return TRUE;
        }
        Log(created);
    }
    if (command)
        OnUpdate(this, command);
    return TRUE;
}

BOOL SECEdit::ReplaceText(const SECEditLineColPair& range, const wchar_t* text, int length)
{
    if (!m_pBuffer || !text)
        return FALSE;
    const SECEditLineColPair old = range.Normalized();
    if (m_pBuffer->LineColToOffset(old.m_start.m_nLine, old.m_start.m_nCol) < 0 || m_pBuffer->LineColToOffset(old.m_end.m_nLine, old.m_end.m_nCol) < 0)
        return FALSE;
    if (length < 0)
        length = static_cast<int>(std::wstring_view(text).size());
    const int firstLine = old.m_start.m_nLine;
    const int linesBefore = GetLineCount();
    const std::vector<SECEditItemData> kept = CopyLineData(firstLine, old.m_end.m_nLine);

    auto* step = new SECEditReplaceCommand(this);
    SECEditCompositeCommand* outer = std::exchange(m_pGroup, step);
    const BOOL outerOpen = std::exchange(m_bGroupOpen, TRUE);
    BOOL done = DeleteText(old.m_start.m_nLine, old.m_start.m_nCol, old.m_end.m_nLine, old.m_end.m_nCol);
    if (done && length > 0) {
        SECEditLineColPair at(old.m_start, old.m_start);
        done = InsertTextAt(at, text, length);
    }
    m_pGroup = outer;
    m_bGroupOpen = outerOpen;

    const int newLastLine = old.m_end.m_nLine + GetLineCount() - linesBefore;
    step->SetLines(firstLine, old.m_end.m_nLine, newLastLine);
    if (newLastLine == old.m_end.m_nLine)
        MergeLineData(firstLine, kept);
    if (step->GetCount() == 0)
        delete step;
    else
        Log(step);
    return done;
}

BOOL SECEdit::BreakLongLines(BOOL breakLines, int firstLine, int lastLine)
{
    if (!m_pBuffer)
        return FALSE;
    if (lastLine < 0)
        lastLine = GetLastLine();
    bool broken = false;
    for (int line = std::max(firstLine, 0); line <= lastLine && line <= GetLastLine(); ++line) {
        const std::vector<int> breaks = BreakColumns(line, -1);
        if (breaks.empty())
            continue;
        if (!breakLines)
            return TRUE;
        // The history is discarded below, so the breaks go straight into the buffer.
        InsertLineBreaks(line, breaks, nullptr);
        const int added = static_cast<int>(breaks.size());
        m_lineColors.insert(m_lineColors.begin() + std::min<size_t>(line + 1, m_lineColors.size()), added, SECEditLineColor());
        InsertItemDataRows(line, added, FALSE);
        line += added;
        lastLine += added;
        broken = true;
    }
    if (broken) {
        // The breaks went straight into the buffer: the text differs from any saved state, and
        // the history is cleared as modified so that no undo leads back to a "saved" text.
        SetModified(TRUE);
        ResetUndo();
        DropAllColors();
        UpdateAllObservers(nullptr, nullptr);
    }
    return broken;
}

// ---- notifications -----------------------------------------------------------------------

void SECEdit::OnUpdate(ISubject* subject, IMessage* message)
{
    if (!message) {
        UpdateAllObservers(Self(), nullptr);
        return;
    }
    switch (message->GetTypeID()) {
    case SECEDIT_INVALIDATE_COLORING:
        DropAllColors();
        CreateFontInfoFromConfig();
        if (m_pBuffer)
            SendToObservers(message);
        else
            UpdateAllObservers(Self(), nullptr);
        return;
    case SECEDIT_COMMAND:
        if (auto* command = dynamic_cast<SECEditCommand*>(message))
            ApplyCommand(*command);
        SendToObservers(message);
        return;
    case SECEDIT_COMPOSITE_COMMAND:
        if (auto* group = dynamic_cast<SECEditCompositeCommand*>(message))
            group->NotifyEach(subject, Self());
        return;
    default:
        CreateFontInfoFromConfig();
        SendToObservers(message);
        return;
    }
}

// Moves the per-line caches with an insertion or deletion that just happened.
void SECEdit::ApplyCommand(SECEditCommand& command)
{
    const SECEditLineColPair range = command.Normalized();
    if (range.IsEmpty())
        return;
    const int startLine = range.m_start.m_nLine;
    const int lines = range.m_end.m_nLine - startLine;
    if (m_colorResume.line >= 0 && (lines != 0 || m_colorResume.line != startLine))
        AbandonColorResume();
    if (command.IsTextPresent()) {
        m_lineColors.insert(m_lineColors.begin() + std::min<size_t>(startLine + 1, m_lineColors.size()), lines, SECEditLineColor());
        InsertItemDataRows(startLine, lines, m_bLineStart);
        if (m_bMarkChangedLines)
            for (int l = startLine; l <= range.m_end.m_nLine; ++l)
                SetLineFlag(l, SECEDIT_FLAG_CHANGED, TRUE);
    } else {
        SetLineFlag(startLine, SECEDIT_FLAG_CHANGED, TRUE);
        if (lines > 0) {
            const size_t first = std::min<size_t>(startLine + 1, m_lineColors.size());
            const size_t last = std::min<size_t>(first + lines, m_lineColors.size());
            m_lineColors.erase(m_lineColors.begin() + first, m_lineColors.begin() + last);
            if (m_bLineStart)
                RemoveItemDataRows(startLine, range.m_end.m_nLine - 1);
            else
                RemoveItemDataRows(startLine + 1, range.m_end.m_nLine);
        }
    }
    if (startLine < static_cast<int>(m_lineColors.size())) {
        const int changed = range.m_end.m_nCol - range.m_start.m_nCol;
        if (lines == 0)
            KeepColorsAround(startLine, range.m_start.m_nCol, command.IsTextPresent() ? changed : -changed);
        else
            m_lineColors[startLine].Drop();
    }
    if (m_colorResume.version != m_lastChange.version)
        m_colorResume = {};
    m_nFirstStaleLine = std::min(m_nFirstStaleLine, startLine);
}

// ---- line item data ----------------------------------------------------------------------

SECEditItemData* SECEdit::GetOrCreateItemData(int line)
{
    if (line < 0 || line >= static_cast<int>(m_itemData.size()))
        return nullptr;
    if (!m_itemData[line])
        m_itemData[line] = std::make_unique<SECEditItemData>();
    return m_itemData[line].get();
}

void SECEdit::RemoveItemData(int line)
{
    if (line >= 0 && line < static_cast<int>(m_itemData.size()))
        m_itemData[line].reset();
}

void SECEdit::InsertItemDataRows(int line, int count, BOOL before)
{
    if (count <= 0)
        return;
    InsertEmptySlots(m_itemData, std::max(before ? line : line + 1, 0), count);
}

void SECEdit::RemoveItemDataRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_itemData.size()) - 1);
    if (first > last)
        return;
    for (int line = first; line <= last; ++line)
        if (m_itemData[line])
            OnRemoveItemData(m_itemData[line].get(), line);
    m_itemData.erase(m_itemData.begin() + first, m_itemData.begin() + last + 1);
}

std::vector<SECEditItemData> SECEdit::CopyLineData(int first, int last) const
{
    std::vector<SECEditItemData> data;
    for (int line = std::max(first, 0); line <= last; ++line) {
        const bool present = line < static_cast<int>(m_itemData.size()) && m_itemData[line];
        data.push_back(present ? *m_itemData[line] : SECEditItemData());
    }
    return data;
}

void SECEdit::MergeLineData(int first, const std::vector<SECEditItemData>& data)
{
    first = std::max(first, 0);
    for (size_t i = 0; i < data.size(); ++i) {
        const int line = first + static_cast<int>(i);
        if (data[i].IsEmpty() || line > GetLastLine())
            continue;
        if (line >= static_cast<int>(m_itemData.size()))
            m_itemData.resize(line + 1);
        SECEditItemData* item = GetOrCreateItemData(line);
        item->m_flags |= data[i].m_flags;
        if (item->m_dwData == 0)
            item->m_dwData = data[i].m_dwData;
    }
}

BOOL SECEdit::GetLineFlag(int line, int bit) const
{
    if (line < 0 || line >= static_cast<int>(m_itemData.size()) || bit < 0 || bit > 31 || !m_itemData[line])
        return FALSE;
    return m_itemData[line]->m_flags.test(bit);
}

void SECEdit::SetLineFlag(int line, int bit, BOOL on)
{
    if (line < 0 || line > GetLastLine() || bit < 0 || bit > 31)
        return;
    if (line >= static_cast<int>(m_itemData.size()))
        m_itemData.resize(line + 1);
    if (!on && !m_itemData[line])
        return;
    SECEditItemData* item = GetOrCreateItemData(line);
    item->m_flags.set(bit, on);
    if (item->IsEmpty())
        RemoveItemData(line);
    SECEditMsg message(SECEDIT_INVALIDATE_GUTTER);
    message.AddRef();
    UpdateAllObservers(nullptr, &message);
}

void SECEdit::ToggleLineFlag(int line, int bit)
{
    SetLineFlag(line, bit, !GetLineFlag(line, bit));
}

void SECEdit::ClearLineFlagAll(int bit)
{
    for (int line = 0; line < static_cast<int>(m_itemData.size()); ++line)
        if (GetLineFlag(line, bit))
            SetLineFlag(line, bit, FALSE);
}

int SECEdit::FindLineWithFlag(int fromLine, int bit, BOOL forward) const
{
    const int count = GetLineCount();
    if (count <= 0)
        return -1;
    int line = fromLine;
    for (int step = 0; step < count; ++step) {
        line = forward ? (line + 1 >= count ? 0 : line + 1) : (line - 1 < 0 ? count - 1 : line - 1);
        if (GetLineFlag(line, bit))
            return line;
    }
    return -1;
}

int SECEdit::CountLinesWithFlag(int bit) const
{
    if (bit < 0 || bit > 31)
        return 0;
    return static_cast<int>(std::count_if(m_itemData.begin(), m_itemData.end(),
                                          [bit](const auto& item) { return item && item->m_flags.test(bit); }));
}

DWORD SECEdit::GetLineData(int line) const
{
    if (line < 0 || line >= static_cast<int>(m_itemData.size()) || !m_itemData[line])
        return 0;
    return m_itemData[line]->m_dwData;
}

DWORD SECEdit::SetLineData(int line, DWORD value)
{
    if (line < 0 || line > GetLastLine())
        return 0;
    if (line >= static_cast<int>(m_itemData.size()))
        m_itemData.resize(line + 1);
    SECEditItemData* item = GetOrCreateItemData(line);
    const DWORD old = std::exchange(item->m_dwData, value);
    if (item->IsEmpty())
        RemoveItemData(line);
    return old;
}
