#pragma once
// An in-memory dialog template built in code, for the dialogs this part shows.

#include "platform/user/WinUser.h"

#include <string_view>
#include <vector>

namespace fln::print {

class DialogTemplate {
public:
    enum class Kind : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, ComboBox = 0x85 };

    // A modal dialog of this size in dialog units, in the classic 8-point dialog font.
    DialogTemplate(std::wstring_view title, short width, short height);

    void add(Kind kind, std::wstring_view text, int id, DWORD style, short x, short y, short width, short height);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void addText(std::wstring_view text);
    void alignToDword();

    std::vector<WORD> m_words;
};

} // namespace fln::print
