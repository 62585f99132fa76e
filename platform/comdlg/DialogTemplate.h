#pragma once
// Builds a dialog template in memory, in the standard resource layout (texts in UTF-16), for the
// dialog manager to create: the common dialogs lay themselves out this way.

#include "platform/user/WinUser.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace fln::comdlg {

class DialogTemplate {
public:
    // A modal dialog with a caption and the classic 8-point dialog font; units are dialog units.
    DialogTemplate(std::wstring_view title, int width, int height);

    // Window classes by their predefined names ("Button", "Edit", "Static", "ListBox", "ComboBox").
    // Every control is a visible child; tab order is the order of the calls.
    DialogTemplate& Control(std::wstring_view windowClass, std::wstring_view text, int id, DWORD style, int x, int y, int width, int height);

    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value);
    void Text(std::wstring_view text);

    std::vector<WORD> m_words;
    std::size_t m_countAt = 0;
};

} // namespace fln::comdlg
