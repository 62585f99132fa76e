#pragma once
// What the dialog manager keeps for each dialog, shared by the dialog window (Dialog.cpp) and
// keyboard navigation (DialogNavigation.cpp), and where dialogs and message boxes are placed.
// Internal to platform/user.

#include "platform/user/WinUser.h"

namespace fln::user {

struct DialogState {
    HFONT font = nullptr;      // the font its controls get; null: the system font
    bool ownsFont = false;     // made from the template, deleted with the dialog
    SIZE baseUnits { 8, 16 };  // pixels per 4 horizontal and 8 vertical dialog units
    HWND focus = nullptr;      // the control that gets the focus back when the dialog does
    int defaultId = 0;         // DM_SETDEFID; 0: none
    bool ended = false;        // EndDialog was called
    INT_PTR result = 0;
    bool modal = false;        // run by DialogBoxParamW: EndDialog hides it at once
    HWND disabledOwner = nullptr; // the owner a modal dialog disabled, enabled again by EndDialog
};

// The state of a window made by the dialog manager, or null.
DialogState* FindDialogState(HWND dialog);

// Moves the focus to a control of the dialog the way the keyboard does: an edit's text is
// selected.
void SetDialogFocus(HWND dialog, HWND control);

// However a control of a dialog got the focus (the keyboard, a click, a call), a focused push
// button looks like the default one, and elsewhere the dialog's default button does.
void FollowFocusWithDefaultLook(HWND previous, HWND control);

// The control's WM_GETDLGCODE answer (0 for no window).
UINT DialogCode(HWND control, WPARAM key = 0, const MSG* message = nullptr);

// ---- placement of dialogs and message boxes

// Moves the rectangle into the work area of the monitor nearest to it (its top-left corner
// inside when it is larger).
void KeepInsideWorkArea(RECT& rect);

// Moves the rectangle so that its centre is the area's.
void CentreOn(RECT& rect, const RECT& area);

// What a centred dialog or message box stands over the middle of: its owner's window, or the work
// area when it has no owner one can see (none, hidden or minimised).
RECT CentringAreaFor(HWND owner);

inline bool IsPushButton(UINT dialogCode)
{
    return dialogCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

} // namespace fln::user
