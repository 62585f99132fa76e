#include "platform/print/DialogTemplate.h"

#include <cstring>

namespace fln::print {

namespace {

template<typename T>
void append(std::vector<WORD>& words, const T& value)
{
    static_assert(sizeof(T) % sizeof(WORD) == 0);
    size_t at = words.size();
    words.resize(at + sizeof(T) / sizeof(WORD));
    std::memcpy(words.data() + at, &value, sizeof(T));
}

} // namespace

DialogTemplate::DialogTemplate(std::wstring_view title, short width, short height)
{
    DLGTEMPLATE header { WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 0, width, height };
    append(m_words, header);
    m_words.push_back(0); // no menu
    m_words.push_back(0); // the dialog class
    addText(title);
    m_words.push_back(8);
    addText(L"MS Sans Serif");
}

void DialogTemplate::add(Kind kind, std::wstring_view text, int id, DWORD style, short x, short y, short width, short height)
{
    alignToDword();
    DLGITEMTEMPLATE item { WS_CHILD | WS_VISIBLE | style, 0, x, y, width, height, static_cast<WORD>(id) };
    append(m_words, item);
    m_words.push_back(0xFFFF);
    m_words.push_back(static_cast<WORD>(kind));
    addText(text);
    m_words.push_back(0); // no creation data
    auto* header = reinterpret_cast<DLGTEMPLATE*>(m_words.data());
    ++header->cdit;
}

void DialogTemplate::addText(std::wstring_view text)
{
    // Templates hold UTF-16; the dialogs' own texts are all in the basic plane.
    for (wchar_t c : text)
        m_words.push_back(static_cast<WORD>(c));
    m_words.push_back(0);
}

void DialogTemplate::alignToDword()
{
    if (m_words.size() % 2)
        m_words.push_back(0);
}

} // namespace fln::print
