#include "app/InputLineCommands.h"

#include "platform/user/WinUser.h"
#include "res/FormulaPage.h"

void DeleteAllOfInputLine(HWND edit)
{
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(edit, WM_CLEAR, 0, 0);
}

void SelectAllWhenNothingSelected(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
}

namespace {

struct FontSizeCommand {
    UINT id;
    int points;
};
constexpr FontSizeCommand FontSizeCommands[] = {
    { ID_FONT_VERY_LARGE, 18 }, { ID_FONT_LARGE, 14 }, { ID_FONT_MEDIUM, 12 }, { ID_FONT_SMALL, 10 },
    { ID_FONT_VERY_SMALL, 9 },
};

} // namespace

std::optional<int> InputFontPointsOf(UINT command)
{
    for (const FontSizeCommand& font : FontSizeCommands) {
        if (font.id == command)
            return font.points;
    }
    return std::nullopt;
}

bool IsInputFontSize(int points)
{
    for (const FontSizeCommand& font : FontSizeCommands) {
        if (font.points == points)
            return true;
    }
    return false;
}
