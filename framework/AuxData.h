#pragma once
// The toolkit's shared paint data: the system colours and border widths every toolkit window
// reads when it paints, a palette of colours blended from the system colours, the colour scheme
// palette (the classic look has no scheme: its fixed colours), and the colour math behind them.

#include "platform/gdi/GdiTypes.h"

struct SEC_AUX_DATA {
    SEC_AUX_DATA();
    // Reads the system colours again and rebuilds the palettes; frames call it when the user
    // changes the colours.
    void UpdateSysColors();

    int cxBorder2 = 2, cyBorder2 = 2;
    COLORREF clrBtnFace = 0, clrBtnShadow = 0, clrBtnHilite = 0, clrWindowFrame = 0, clr3DLight = 0, clr3DDkShadow = 0,
             clrWindowText = 0, clrWindow = 0, clrHighlight = 0, clrHighlightText = 0;
    HCURSOR hcurArrow = nullptr;
    BOOL bWin4 = TRUE;
};

// The shared data, with its colours read on first use.
SEC_AUX_DATA& GetAuxData();

// The blended palette has 33 colours, the scheme palette 8; past them the answer is white.
constexpr int kAuxBlendedColors = 33, kAuxSchemeColors = 8;
COLORREF GetAuxBlendedColor(int index);
COLORREF GetAuxSchemeColor(int index);

// ---- colour math (channels 0..255)
// `weight` parts of a and the rest of b: in percent below 100, per mille from 100 on.
COLORREF BlendColors(COLORREF a, COLORREF b, int weight);
COLORREF LightenColor(COLORREF colour, int amount);
// How far apart two colours look: channels weighed by the eye, black to white about 440.9.
double ColorDistance(COLORREF a, COLORREF b);
// The colour itself when it stands far enough from the background, else the nearest one that does.
COLORREF EnsureContrast(COLORREF colour, COLORREF background, double distance);
COLORREF ContrastColor(COLORREF colour, COLORREF background, double distance);
// Hue, saturation and lightness, each 0..1.
void ColorToHLS(COLORREF colour, double& hue, double& saturation, double& lightness);
COLORREF HLSToColor(double hue, double saturation, double lightness);
// Each factor moves its component towards 0 (negative) or 1 (positive) by that fraction.
COLORREF AdjustColorHLS(COLORREF colour, double hueFactor, double saturationFactor, double lightnessFactor);
