#pragma once
// The edit and font commands of a page's input line, shared by the Formula and Date & Time pages.

#include "platform/base/WinTypes.h"

#include <optional>

// Delete All: empties the line as one undoable change.
void DeleteAllOfInputLine(HWND edit);
// Cut and copy of an input line take the whole line when nothing is selected.
void SelectAllWhenNothingSelected(HWND edit);
// The size in points that a font command of the input line sets, or nothing for another command.
std::optional<int> InputFontPointsOf(UINT command);
// Whether a font command sets this size.
bool IsInputFontSize(int points);
