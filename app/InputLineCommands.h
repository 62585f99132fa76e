#pragma once
// The edit commands of a page's input line, shared by the Formula and Date & Time pages.

#include "platform/base/WinTypes.h"

// Delete All: empties the line as one undoable change.
void DeleteAllOfInputLine(HWND edit);
// Cut and copy of an input line take the whole line when nothing is selected.
void SelectAllWhenNothingSelected(HWND edit);
