#pragma once
// Pieces of the classic look that the standard controls compose from the primitives in Gdi.h:
// the push-button face with its default and pressed frames, the bevels of tool and owner-drawn
// buttons, the check-box and radio-button mark,
// the group-box frame, the frames and rectangles of static controls, and labels that are
// embossed when disabled.

#include "platform/gdi/GdiTypes.h"

namespace fln::gdi {

struct PushButtonLook {
    bool isDefault = false; // the dialog's default button: a window-frame line around the bevel
    bool pressed = false;   // held down: a window-frame line and a flat shadow line, content moved
    bool checked = false;   // a push-like check box or radio button that is checked: sunken
    bool flat = false;
};

struct PushButtonParts {
    RECT content; // inside the bevel, moved one pixel right and down while pressed
    RECT focus;   // where the focus rectangle goes
};

// Draws the frame and the face of a push button over the whole of `bounds`.
PushButtonParts DrawPushButtonFace(HDC dc, const RECT& bounds, const PushButtonLook& look);

enum class ButtonBevel {
    Raised,     // one pixel: highlight on the top and left, shadow on the bottom and right
    Sunken,     // one pixel: shadow on the top and left, highlight on the bottom and right
    Flat,       // one shadow line all round
    PushRaised, // two pixels: highlight and window frame outside, face and shadow inside
    PushSunken, // two pixels: window frame and highlight outside, shadow and face inside
};

// Draws a button's bevel on the edge of `rect`, whose inside it leaves alone and returns.
RECT DrawButtonBevel(HDC dc, const RECT& rect, ButtonBevel bevel);

// The dotted focus rectangle, whatever the DC's colours.
void DrawFocus(HDC dc, const RECT& rect);

// The side of the square box of a check box or radio button.
constexpr int kCheckMarkSize = 13;

enum class CheckMarkKind { CheckBox, RadioButton };

struct CheckMarkLook {
    CheckMarkKind kind = CheckMarkKind::CheckBox;
    UINT check = 0; // 0 clear, 1 checked, 2 indeterminate (check boxes only)
    bool pressed = false;
    bool disabled = false;
    bool flat = false;
};

// Draws the box or ring of a check box or radio button with its mark in `box`.
void DrawCheckMark(HDC dc, const RECT& box, const CheckMarkLook& look);

// The etched frame of a group box; `gap` (the caption's place on the top edge) is left open.
void DrawGroupBoxFrame(HDC dc, const RECT& frame, const RECT& gap);

enum class StaticFrameKind {
    BlackRect, GrayRect, WhiteRect, // filled
    BlackFrame, GrayFrame, WhiteFrame, // one-pixel outline
    EtchedHorizontal, EtchedVertical, EtchedFrame,
};

// Draws a static control's rectangle, frame or etched line over `bounds`.
void DrawStaticFrame(HDC dc, const RECT& bounds, StaticFrameKind kind);

// Draws text with DrawText's format in the DC's font. Enabled text takes the DC's text colour and
// background mode; disabled text is embossed in the highlight and shadow colours.
void DrawLabel(HDC dc, const wchar_t* text, int length, const RECT& rect, UINT format, bool disabled);

} // namespace fln::gdi
