#include "platform/comdlg/DialogTemplate.h"

namespace fln::comdlg {

DialogTemplate::DialogTemplate(std::wstring_view title, int width, int height)
{
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    Dword(0);
    m_countAt = m_words.size();
    Word(0);
    for (int value : { 0, 0, width, height })
        Word(static_cast<WORD>(value));
    Word(0); // no menu
    Word(0); // the dialog class
    Text(title);
    Word(8);
    Text(L"MS Sans Serif");
}

DialogTemplate& DialogTemplate::Control(std::wstring_view windowClass, std::wstring_view text, int id, DWORD style, int x, int y, int width, int height)
{
    if (m_words.size() % 2) // items start on a DWORD boundary
        Word(0);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (int value : { x, y, width, height })
        Word(static_cast<WORD>(value));
    Word(static_cast<WORD>(id));
    Text(windowClass);
    Text(text);
    Word(0); // no creation data
    ++m_words[m_countAt];
    return *this;
}

void DialogTemplate::Dword(DWORD value)
{
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void DialogTemplate::Text(std::wstring_view text)
{
    for (wchar_t c : text)
        Word(static_cast<WORD>(c));
    Word(0);
}

} // namespace fln::comdlg
