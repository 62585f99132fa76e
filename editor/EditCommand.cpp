#include "editor/EditCommand.h"

#include "editor/Edit.h"
#include "platform/base/StringFormat.h"

#include <algorithm>
#include <iterator>

using divuzura::foundation::CMvcCommand;

namespace {

bool FitsInBytes(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t ch) { return static_cast<unsigned>(ch) <= 0xFF; });
}

} // namespace

SECEditCommandText& SECEditCommandText::operator=(std::wstring_view text)
{
    m_narrow.clear();
    m_wide.clear();
    m_bWide = false;
    Append(text);
    return *this;
}

void SECEditCommandText::Append(std::wstring_view text)
{
    if (!m_bWide && FitsInBytes(text)) {
        if (m_narrow.empty())
            m_narrow.reserve(text.size()); // most texts come whole: no room to spare
        std::transform(text.begin(), text.end(), std::back_inserter(m_narrow), [](wchar_t ch) { return static_cast<char>(ch); });
        return;
    }
    if (!m_bWide) {
        m_wide.resize(m_narrow.size());
        std::transform(m_narrow.begin(), m_narrow.end(), m_wide.begin(), [](char ch) { return static_cast<wchar_t>(static_cast<unsigned char>(ch)); });
        m_narrow = {};
        m_bWide = true;
    }
    m_wide.append(text);
}

CString SECEditCommandText::Get() const
{
    if (m_bWide)
        return CString(std::wstring_view(m_wide));
    std::wstring wide(m_narrow.size(), L'\0');
    std::transform(m_narrow.begin(), m_narrow.end(), wide.begin(), [](char ch) { return static_cast<wchar_t>(static_cast<unsigned char>(ch)); });
    return CString(std::wstring_view(wide));
}

UINT SECEditCommand::GetTypeID() const
{
    return SECEDIT_COMMAND;
}

void SECEditCommand::GetDescription(CString& text) const
{
    if (m_nKind == Insert)
        text = CString(FormatWide(L"Insert text having length %d at line %d, column %d", m_text.GetLength(), m_start.m_nLine, m_start.m_nCol));
    else
        text = CString(FormatWide(L"Delete text from line %d, column %d to line %d, column %d", m_start.m_nLine, m_start.m_nCol, m_end.m_nLine, m_end.m_nCol));
}

BOOL SECEditCommand::Run(bool insert)
{
    CMvcCommand* previous = m_pEdit->GetExecutingCommand();
    m_pEdit->SetExecutingCommand(this);
    const BOOL result = insert ? InsertText() : RemoveText();
    m_pEdit->SetExecutingCommand(previous);
    return result;
}

BOOL SECEditCommand::Execute()
{
    return Run(m_nKind == Insert);
}

BOOL SECEditCommand::Unexecute()
{
    return Run(m_nKind != Insert);
}

BOOL SECEditCommand::InsertText()
{
    m_bTextPresent = TRUE;
    const SECEditLineColPair before(m_start, m_end);
    // The text's own length: a NUL character inside it is text too.
    const CString text = m_text.Get();
    const BOOL result = m_pEdit->InsertTextAt(*this, text, text.GetLength());
    CString inserted;
    if (result && (before.m_start != m_start || before.m_end != m_end) &&
        m_pEdit->GetText(inserted, m_start.m_nLine, m_start.m_nCol, m_end.m_nLine, m_end.m_nCol))
        m_text = inserted.view();
    m_bValid = m_bValid && result;
    return result;
}

BOOL SECEditCommand::RemoveText()
{
    m_bTextPresent = FALSE;
    if (m_text.IsEmpty()) {
        CString text;
        if (m_pEdit->GetText(text, m_start.m_nLine, m_start.m_nCol, m_end.m_nLine, m_end.m_nCol))
            m_text = text.view();
        else
            m_bValid = FALSE;
    }
    const BOOL result = m_pEdit->DeleteText(m_start.m_nLine, m_start.m_nCol, m_end.m_nLine, m_end.m_nCol);
    m_bValid = m_bValid && result;
    return result;
}

bool SECEditCommand::MergeFollowingInsertion(const SECEditCommand& next)
{
    if (m_nKind != Insert || next.m_nKind != Insert || !m_bTextPresent || next.Normalized().m_start != Normalized().m_end)
        return false;
    if (!m_text.IsEmpty()) {
        CString typed = next.m_text.Get();
        const SECEditLineColPair n = next.Normalized();
        if (typed.IsEmpty())
            m_pEdit->GetText(typed, n.m_start.m_nLine, n.m_start.m_nCol, n.m_end.m_nLine, n.m_end.m_nCol);
        m_text.Append(typed.view());
    }
    m_end = next.Normalized().m_end;
    return true;
}

SECEditCompositeCommand::~SECEditCompositeCommand()
{
    for (CMvcCommand* command : m_commands)
        delete command;
}

UINT SECEditCompositeCommand::GetTypeID() const
{
    return SECEDIT_COMPOSITE_COMMAND;
}

BOOL SECEditCompositeCommand::Execute()
{
    for (CMvcCommand* command : m_commands)
        if (!command->Execute())
            return FALSE;
    return TRUE;
}

BOOL SECEditCompositeCommand::Unexecute()
{
    for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it)
        if (!(*it)->Unexecute())
            return FALSE;
    return TRUE;
}

BOOL SECEditCompositeCommand::AreAllUndoable() const
{
    return std::all_of(m_commands.begin(), m_commands.end(), [](CMvcCommand* c) { return c->IsUndoable(); });
}

void SECEditCompositeCommand::NotifyEach(divuzura::foundation::ISubject* subject, divuzura::foundation::IObserver* observer)
{
    for (CMvcCommand* command : m_commands)
        observer->OnUpdate(subject, command);
}

bool SECEditCompositeCommand::Holds(const CMvcCommand* command) const
{
    for (CMvcCommand* member : m_commands) {
        if (member == command)
            return true;
        if (member->GetTypeID() == SECEDIT_COMPOSITE_COMMAND && static_cast<SECEditCompositeCommand*>(member)->Holds(command))
            return true;
    }
    return false;
}

BOOL SECEditCompositeCommand::CanAdd(CMvcCommand* command) const
{
    return command && command != this && !Holds(command);
}

BOOL SECEditCompositeCommand::Add(CMvcCommand* command)
{
    if (!CanAdd(command))
        return FALSE;
    m_commands.push_back(command);
    return TRUE;
}

void SECEditReplaceCommand::SetLines(int first, int oldLast, int newLast)
{
    m_nFirstLine = first;
    m_nOldLastLine = oldLast;
    m_nNewLastLine = newLast;
}

BOOL SECEditReplaceCommand::KeepingLineData(bool redo)
{
    auto run = [&] { return redo ? SECEditCompositeCommand::Execute() : SECEditCompositeCommand::Unexecute(); };
    if (m_nOldLastLine != m_nNewLastLine)
        return run();
    const std::vector<SECEditItemData> kept = m_pEdit->CopyLineData(m_nFirstLine, m_nOldLastLine);
    const BOOL result = run();
    m_pEdit->MergeLineData(m_nFirstLine, kept);
    return result;
}

BOOL SECEditReplaceCommand::Execute()
{
    return KeepingLineData(true);
}

BOOL SECEditReplaceCommand::Unexecute()
{
    return KeepingLineData(false);
}
