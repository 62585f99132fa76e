#include "controls/ValidEdit.h"

#include "platform/base/MessageBox.h"
#include "platform/user/WinUser.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace {

constexpr COLORREF kEmptyColour = 0xC4C4FF;
constexpr COLORREF kInvalidColour = 0x8484FC;
constexpr COLORREF kWarningColour = 0x80FFFF;
constexpr COLORREF kError9Colour = 0xFFBEBE;

constexpr const wchar_t* kAllCharactersInfo = L"All characters are allowed in any combination.";

constexpr const wchar_t* kStateNames[10] = { L"", L"IS EMPTY", L"VALID SYNTAX", L"INVALID SYNTAX", L"INCOMPETE",
    L"TOO SHORT", L"TOO LONG", L"NUMBER OUT OF RANGE", L"ERROR", L"ERROR" };

constexpr const wchar_t* kTypeInfo[10] = {
    L"No additional information available.",
    kAllCharactersInfo,
    L"Allowable characters are...\n' \\/*-+.?@';:_~#!\"\u00A3$%^&*(),abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789",
    L"Allowable characters are...\n' abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ'.",
    L"DECIMAL INPUT\nAllowable characters are...\n'0123456789'\n\nMIN value = 0, MAX value = 4294967295.",
    L"SIGNED DECIMAL INPUT\nAllowable characters are...\n'-+0123456789'.\n\nFormat... [SIGN] DIGITS. [] = Optional.\n\n"
    L"MIN value = -2147483646, MAX value = 2147483647.",
    L"HEXADECIMAL INPUT\nAllowable characters are...\n'abcdefABCDEF0123456789'.\n\nMAX Hexadecimal value = FFFF,FFFF.",
    L"OCTAL INPUT\nAllowable characters are...\n'01234567'.\n\nMAX Octal input = 37,777,777,777.",
    L"BINARY INPUT\nAllowable characters are...\n'01'.\n\nMAX value = 1111 1111 1111 1111 1111 1111 1111 1111.",
    L"FLOATING POINT INPUT\nAllowable characters are...\n'0123456789+-.Ee'.\n\n"
    L"Format...[sign] [digits] [.digits] [ {e | E}[sign]digits]\n\n"
    L"MIN value = 2.2250738585072014 E-308, MAX value = 1.7976931348623158 E+308.",
};

constexpr const wchar_t* kDigits = L"0123456789";
constexpr const wchar_t* kLetters = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

struct TypeCharacters {
    const wchar_t* first;
    const wchar_t* second;
    bool space;
};
// The characters each input type from 2 on lets through.
constexpr TypeCharacters kTypeCharacters[10] = {
    {}, {},
    { kLetters, kDigits, true },
    { kLetters, nullptr, true },
    { kDigits, nullptr, false },
    { L"-+0123456789", nullptr, false },
    { L"abcdefABCDEF0123456789", nullptr, false },
    { L"01234567", nullptr, false },
    { L"01", nullptr, false },
    { L"0123456789+-.Ee", nullptr, false },
};

ValidationColour ColourOfReply(LRESULT state)
{
    switch (state) {
    case StateValidSyntax: return ValidationColour::Valid;
    case StateInvalidSyntax: return ValidationColour::Invalid;
    case StateIncomplete:
    case StateTooShort:
    case StateTooLong:
    case StateOutOfRange: return ValidationColour::Warning;
    case StateError8: return ValidationColour::Error8;
    case StateError9: return ValidationColour::Error9;
    default: return ValidationColour::Empty;
    }
}

// The length of the run of characters of `set` at the start of text, after the characters of
// `trimmed` are dropped from its left.
int LeadingRun(const CString& text, const wchar_t* trimmed, const wchar_t* set, CString* run = nullptr)
{
    CString copy = text;
    copy.TrimLeft(trimmed);
    int length = 0;
    while (length < copy.GetLength() && std::wcschr(set, copy[length]))
        ++length;
    if (run)
        *run = copy.Left(length);
    return length;
}

bool IntegerOutside(const CString& text, long long low, long long high)
{
    if (LeadingRun(text, L"0-+ ", L"-+0123456789") > 11)
        return true;
    const long long value = std::wcstoll(text, nullptr, 10);
    return value < low || value > high;
}

bool FloatOutOfRange(const CString& text)
{
    CString copy = text;
    copy.TrimLeft(L"0 ");
    wchar_t* end = nullptr;
    const double value = std::wcstod(copy, &end);
    if (std::wcsstr(end, L"INF") || !std::isfinite(value))
        return true;
    // A number that came out as 0 from non-zero digits has underflowed.
    return value == 0 && copy.FindOneOf(L"123456789") >= 0;
}

// The floating-point syntax, character by character.
struct FloatScan {
    int state;
    ValidationColour colour;
};
FloatScan ScanFloat(const CString& text, int state)
{
    enum Stage { Start, Mantissa, Fraction, ExponentLetter, Exponent };
    Stage stage = Start;
    ValidationColour colour = ValidationColour::Empty;
    auto digit = [&](Stage next) {
        stage = next;
        state = StateValidSyntax;
        colour = ValidationColour::Valid;
    };
    auto incomplete = [&](Stage next) {
        stage = next;
        state = StateIncomplete;
        colour = ValidationColour::Warning;
    };
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        const bool isDigit = c >= L'0' && c <= L'9';
        const bool isSign = c == L'+' || c == L'-';
        const bool isExponent = c == L'e' || c == L'E';
        bool invalid = false;
        switch (stage) {
        case Start:
            if (c == L' ' || c == L'\t')
                break;
            if (isDigit)
                digit(Mantissa);
            else if (c == L'.')
                incomplete(Fraction);
            else if (isSign)
                incomplete(Mantissa);
            else if (isExponent)
                incomplete(ExponentLetter);
            else
                invalid = true;
            break;
        case Mantissa:
            if (isDigit)
                digit(Mantissa);
            else if (c == L'.') {
                stage = Fraction;
                colour = ValidationColour::Valid;
            } else if (isExponent)
                incomplete(ExponentLetter);
            else
                invalid = true;
            break;
        case Fraction:
            if (isDigit)
                digit(Fraction);
            else if (isExponent)
                incomplete(ExponentLetter);
            else
                invalid = true;
            break;
        case ExponentLetter:
            if (isDigit)
                digit(Exponent);
            else if (isSign)
                incomplete(Exponent);
            else
                invalid = true;
            break;
        case Exponent:
            if (isDigit)
                digit(Exponent);
            else
                invalid = true;
            break;
        }
        if (invalid)
            return { StateInvalidSyntax, ValidationColour::Invalid };
    }
    return { state, colour };
}

} // namespace

bool ValidationRules::SetInputType(int type, const wchar_t* characters)
{
    if (type < InputCustom || type > InputFloat)
        return false;
    allowed.fill(false);
    allCharacters = false;
    if (type == InputCustom) {
        if (!characters)
            return true;
        for (const wchar_t* c = characters; *c; ++c) {
            if (static_cast<size_t>(*c) < allowed.size())
                allowed[*c] = true;
        }
        rangeCheck = false;
    } else if (type == InputAnything) {
        allCharacters = true;
        rangeCheck = false;
    } else {
        const TypeCharacters& set = kTypeCharacters[type];
        for (const wchar_t* list : { set.first, set.second }) {
            for (const wchar_t* c = list; c && *c; ++c)
                allowed[*c] = true;
        }
        if (set.space)
            allowed[L' '] = true;
        rangeCheck = type >= InputDecimal;
    }
    inputType = type;
    return true;
}

bool ValidationRules::MayType(wchar_t c) const
{
    if (plain || allCharacters || typeAnything || c < 32)
        return true;
    return IsAllowed(c);
}

int ValidationRules::LengthTest(const CString& text) const
{
    if (!lengthCheck || plain)
        return 0;
    if (text.GetLength() < minLength)
        return -1;
    return text.GetLength() > maxLength ? 1 : 0;
}

bool IsOutOfRange(int inputType, const CString& text)
{
    switch (inputType) {
    case InputDecimal: return IntegerOutside(text, 0, 4294967295LL);
    case InputSignedDecimal: return IntegerOutside(text, -2147483648LL, 2147483647LL);
    case InputHexadecimal: return LeadingRun(text, L"0 ", L"abcdefABCDEF0123456789") > 8;
    case InputOctal: {
        CString run;
        const int length = LeadingRun(text, L"0", L"01234567", &run);
        // Up to 10 digits always fit; 11 fit up to 37777777777; more never do.
        return length > 11 || (length == 11 && run.Compare(L"37777777777") > 0);
    }
    case InputBinary: return LeadingRun(text, L"0 ", L"01") > 32;
    case InputFloat: return FloatOutOfRange(text);
    default: return false;
    }
}

ValidationOutcome ValidateText(const ValidationRules& rules, const CString& text, int previousState,
    std::optional<LRESULT> parentReply)
{
    const bool askParent = rules.parentValidation && !rules.plain;
    ValidationOutcome out { previousState, ValidationColour::Valid, false, false, false };

    if (rules.inputType == InputFloat && !rules.parentValidation) {
        FloatScan scan = ScanFloat(text, previousState);
        out.state = scan.state;
        out.colour = scan.colour;
    } else if (askParent) {
        if (!parentReply) {
            out.state = StateNone;
            out.colour = ValidationColour::Empty;
        } else {
            out.parentAnswered = *parentReply != StateNone;
            out.state = *parentReply >= StateNone && *parentReply <= StateError9 ? static_cast<int>(*parentReply) : StateNone;
            out.colour = ColourOfReply(*parentReply);
        }
    } else {
        if (!rules.allCharacters) {
            for (int i = 0; i < text.GetLength(); ++i) {
                if (!rules.IsAllowed(text[i])) {
                    out.state = StateInvalidSyntax;
                    out.colour = ValidationColour::Invalid;
                    break;
                }
            }
        }
        if (rules.inputType == InputSignedDecimal) {
            CString trimmed = text;
            trimmed.Trim();
            if (!trimmed.IsEmpty()) {
                if (trimmed.Mid(1).FindOneOf(L"+- ") >= 0) {
                    out.state = StateInvalidSyntax;
                    out.colour = ValidationColour::Invalid;
                } else if (trimmed == L"+" || trimmed == L"-") {
                    out.state = StateIncomplete;
                    out.colour = ValidationColour::Warning;
                }
            }
        }
    }

    if (rules.rangeCheck && out.colour == ValidationColour::Valid && IsOutOfRange(rules.inputType, text)) {
        out.state = StateOutOfRange;
        out.colour = ValidationColour::Warning;
    }

    const int length = rules.LengthTest(text);
    const bool empty = text.IsEmpty();
    out.syntaxOk = out.colour == ValidationColour::Valid;
    const bool acceptedError = askParent && out.parentAnswered
        && ((out.state == StateError8 && rules.state8Valid) || (out.state == StateError9 && rules.state9Valid));
    if (acceptedError)
        out.syntaxOk = true;
    out.lengthOk = length == 0;
    if (rules.zeroLengthAllowed && empty)
        out.syntaxOk = out.lengthOk = true;
    if (askParent && !out.parentAnswered)
        out.syntaxOk = true;

    bool lengthSettled = false;
    if (out.syntaxOk && !acceptedError) {
        if (length != 0) {
            out.state = length > 0 ? StateTooLong : StateTooShort;
            out.colour = ValidationColour::Warning;
        } else {
            out.state = StateValidSyntax;
            out.colour = ValidationColour::Valid;
            lengthSettled = true;
        }
    }
    if (!lengthSettled && length != 0 && rules.lengthCheck) {
        out.state = length > 0 ? StateTooLong : StateTooShort;
        out.colour = ValidationColour::Warning;
    }
    if (empty) {
        if (rules.minLength == 0 || rules.zeroLengthAllowed) {
            out.state = StateEmpty;
            out.colour = ValidationColour::Empty;
        }
        if (!rules.zeroLengthAllowed)
            out.lengthOk = false;
    }
    return out;
}

IMPLEMENT_DYNAMIC(CVisValidEdit, CNumEdit)

BEGIN_MESSAGE_MAP(CVisValidEdit, CNumEdit)
ON_WM_CHAR()
ON_WM_CONTEXTMENU()
ON_CONTROL_REFLECT_EX(EN_CHANGE, OnChange)
END_MESSAGE_MAP()

CVisValidEdit::CVisValidEdit()
{
    const COLORREF colours[6] = { kEmptyColour, ::GetSysColor(COLOR_WINDOW), kInvalidColour, kWarningColour, kEmptyColour, kError9Colour };
    for (size_t i = 0; i < m_brushes.size(); ++i)
        m_brushes[i].CreateSolidBrush(colours[i]);
    for (int i = 0; i < 10; ++i) {
        m_stateNames[i] = kStateNames[i];
        m_typeInfo[i] = kTypeInfo[i];
    }
    SetInputType(InputAnything);
}

CBrush& CVisValidEdit::BrushOf(ValidationColour colour)
{
    return m_brushes[static_cast<size_t>(colour)];
}

LRESULT CVisValidEdit::SetLengthRange(int minLength, int maxLength)
{
    if (minLength < 0 || minLength > 65535)
        minLength = 0;
    if (maxLength < 0 || maxLength > 65535)
        maxLength = 65535;
    if (minLength > maxLength)
        std::swap(minLength, maxLength);
    m_rules.minLength = minLength;
    m_rules.maxLength = maxLength;
    return m_hWnd ? SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxLength)) : 0;
}

BOOL CVisValidEdit::SetInputType(int type, const wchar_t* characters)
{
    if (!m_rules.SetInputType(type, characters))
        return FALSE;
    if (type == InputCustom && !characters)
        return TRUE;
    m_typeInfo[type] = m_rules.allCharacters ? kAllCharactersInfo : kTypeInfo[type];
    return TRUE;
}

std::optional<LRESULT> CVisValidEdit::AskParent(const CString& text)
{
    CWnd* parent = GetParent();
    if (!parent || !parent->m_hWnd)
        return std::nullopt;
    ValidationNotify query { m_hWnd, GetDlgCtrlID(), m_state };
    DWORD_PTR reply = 0;
    if (!::SendMessageTimeoutW(parent->m_hWnd, WM_VALIDATION_QUERY, reinterpret_cast<WPARAM>(&query),
            reinterpret_cast<LPARAM>(static_cast<const wchar_t*>(text)), SMTO_BLOCK, 1, &reply))
        return std::nullopt;
    return static_cast<LRESULT>(reply);
}

HBRUSH CVisValidEdit::Validate()
{
    const CString text = m_hWnd ? GetWindowText() : CString();
    std::optional<LRESULT> reply;
    if (m_rules.parentValidation && !m_rules.plain)
        reply = AskParent(text);
    const ValidationOutcome outcome = ValidateText(m_rules, text, m_state, reply);
    m_state = outcome.state;
    const BOOL valid = outcome.syntaxOk && outcome.lengthOk;
    if (valid != m_valid) {
        m_valid = valid;
        if (CWnd* parent = GetParent(); parent && parent->m_hWnd) {
            ValidationNotify change { m_hWnd, GetDlgCtrlID(), m_state };
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(parent->m_hWnd, WM_VALIDITY_CHANGED, reinterpret_cast<WPARAM>(&change), valid, SMTO_BLOCK, 1, &ignored);
        }
    }
    return BrushOf(outcome.colour);
}

void CVisValidEdit::Revalidate(BOOL repaint)
{
    if (m_hWnd && repaint)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    else
        Validate();
}

BOOL CVisValidEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC)
        return CNumEdit::OnChildNotify(message, wParam, lParam, result);
    if (m_rules.plain || !IsWindowEnabled())
        return FALSE;
    HBRUSH brush = Validate();
    LOGBRUSH colour {};
    ::GetObjectW(brush, sizeof colour, &colour);
    ::SetBkColor(reinterpret_cast<HDC>(wParam), colour.lbColor);
    if (result)
        *result = reinterpret_cast<LRESULT>(brush);
    return TRUE;
}

void CVisValidEdit::OnChar(UINT character, UINT repeat, UINT flags)
{
    if (!m_rules.MayType(static_cast<wchar_t>(character))) {
        ::MessageBeep(0);
        return;
    }
    CNumEdit::OnChar(character, repeat, flags);
}

BOOL CVisValidEdit::OnChange()
{
    Revalidate(TRUE);
    m_notify = { m_hWnd, GetDlgCtrlID(), m_state };
    if (CWnd* parent = GetParent(); parent && parent->m_hWnd)
        parent->PostMessage(WM_VALIDATION_CHANGED, reinterpret_cast<WPARAM>(&m_notify), m_valid);
    return FALSE;
}

void CVisValidEdit::OnContextMenu(CWnd* window, CPoint point)
{
    if (!m_contextMenu || m_rules.plain) {
        Default();
        return;
    }
    SetFocus();
    HMENU menu = BuildContextMenu();
    if (point.x == -1 && point.y == -1) { // from the keyboard: at the control's corner
        CRect rect;
        GetWindowRect(&rect);
        point = rect.TopLeft();
    }
    ::TrackPopupMenu(menu, TPM_LEFTALIGN, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

HMENU CVisValidEdit::BuildContextMenu()
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const UINT selection = start != end ? MF_ENABLED : MF_GRAYED;
    const UINT undo = SendMessage(EM_CANUNDO) ? MF_ENABLED : MF_GRAYED;
    const UINT selectAll = SendMessage(EM_LINELENGTH, start) ? MF_ENABLED : MF_GRAYED;

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, ID_STATE_INFO, m_stateNames[m_state]);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | undo, ID_EDIT_UNDO_ITEM, L"&Undo");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | selection, ID_EDIT_CUT_ITEM, L"Cu&t");
    ::AppendMenuW(menu, MF_STRING | selection, ID_EDIT_COPY_ITEM, L"&Copy");
    ::AppendMenuW(menu, MF_STRING, ID_EDIT_PASTE_ITEM, L"&Paste");
    ::AppendMenuW(menu, MF_STRING | selection, ID_EDIT_DELETE_ITEM, L"&Delete");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | selectAll, ID_EDIT_SELECT_ALL_ITEM, L"&Select All");
    return menu;
}

CString CVisValidEdit::InformationText()
{
    if (m_rules.plain)
        return kAllCharactersInfo;
    const wchar_t* zero = m_rules.zeroLengthAllowed ? L"is" : L"is not";
    CString text;
    if (m_rules.lengthCheck) {
        text.Format(L"%s\nZero length input %s allowed.\nMinimum length = %i, Maximum length = %i.",
            static_cast<const wchar_t*>(m_typeInfo[m_rules.inputType]), zero, m_rules.minLength, m_rules.maxLength);
    } else {
        const int limit = static_cast<int>(SendMessage(EM_GETLIMITTEXT));
        text.Format(L"%s\nZero length input %s allowed.\nText input is limited to %i %s.",
            static_cast<const wchar_t*>(m_typeInfo[m_rules.inputType]), zero, limit, limit < 2 ? L"character" : L"characters");
    }
    return text;
}

void CVisValidEdit::SelectAll()
{
    SetFocus();
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
}

BOOL CVisValidEdit::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_STATE_INFO: ShowMessageBox(InformationText(), L"Information", MB_ICONINFORMATION); break;
    case ID_EDIT_UNDO_ITEM: SendMessage(EM_UNDO); break;
    case ID_EDIT_CUT_ITEM: SendMessage(WM_CUT); break;
    case ID_EDIT_COPY_ITEM: SendMessage(WM_COPY); break;
    case ID_EDIT_PASTE_ITEM: SendMessage(WM_PASTE); break;
    case ID_EDIT_DELETE_ITEM: SendMessage(WM_CLEAR); break;
    case ID_EDIT_SELECT_ALL_ITEM: SelectAll(); break;
    default: break;
    }
    return CNumEdit::OnCommand(wParam, lParam);
}
