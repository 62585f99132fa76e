#include "framework/AuxData.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A colour as a point of the box the eye sees it in: green counts most, blue least.
struct Point3 {
    double x, y, z;
};
constexpr double kBoxR = 195, kBoxG = 390, kBoxB = 65;

Point3 ToBox(COLORREF c)
{
    return { GetRValue(c) * kBoxR / 255, GetGValue(c) * kBoxG / 255, GetBValue(c) * kBoxB / 255 };
}

double Length(const Point3& p)
{
    return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
}

Point3 Mirror(const Point3& p)
{
    return { kBoxR - p.x, kBoxG - p.y, kBoxB - p.z };
}

BYTE Channel(double value, double boxSide)
{
    return static_cast<BYTE>(std::clamp(std::clamp(value, 0.0, boxSide) * 255 / boxSide + 0.5, 0.0, 255.0));
}

// The distance a colour needs from the background: more on dark backgrounds.
double RequiredDistance(COLORREF background, double distance)
{
    const double fromBlack = ColorDistance(background, RGB(0, 0, 0));
    return fromBlack < 220 ? (2 - fromBlack / 220) * distance : distance;
}

struct Palettes {
    std::array<COLORREF, kAuxBlendedColors> blended {};
    std::array<COLORREF, kAuxSchemeColors> scheme {};
};

Palettes& SharedPalettes()
{
    static Palettes palettes;
    return palettes;
}

void BuildBlendedPalette(std::array<COLORREF, kAuxBlendedColors>& p)
{
    const COLORREF W = GetSysColor(COLOR_WINDOW), WT = GetSysColor(COLOR_WINDOWTEXT), F = GetSysColor(COLOR_BTNFACE),
                   S = GetSysColor(COLOR_BTNSHADOW), T = GetSysColor(COLOR_BTNTEXT), H = GetSysColor(COLOR_HIGHLIGHT),
                   G = GetSysColor(COLOR_GRAYTEXT), MT = GetSysColor(COLOR_MENUTEXT);
    auto B = BlendColors;
    auto E = EnsureContrast;
    const COLORREF K0 = B(W, F, 165), K5 = E(B(H, W, 30), K0, 50), K6 = E(H, K0, 100), K7 = B(H, W, 50), K13 = E(K7, K0, 30),
                   K15 = B(F, W, 143), K23 = B(G, W, 70);
    p = { K0, E(B(S, W, 70), K0, 50), E(T, K0, 180), K0, K0, K5, K6, K7, H, K0, K0, E(B(H, B(F, W, 48), 7), K0, 5), H, K13,
        E(H, K13, 100), K15, E(WT, K15, 180), K15, E(K23, K15, 80), K5, K6, E(MT, K5, 180), K15, K23, K6, K0,
        E(B(T, S, 20), K0, 100), 0, F, 0, B(RGB(0, 0, 0), K5, 25), B(S, W, 90), E(B(S, W, 75), K0, 85) };
    p[27] = p[1];
    p[29] = p[2];
}

// Without visual styles the scheme is always the fixed one.
void DetectColorScheme(std::array<COLORREF, kAuxSchemeColors>& scheme)
{
    scheme = { 0xE4AE88, 0xFEEBDC, 0xF5BE9E, 0x5FB4FF, 0x089AF7, 0xBDF0FF, 0xC66931, 0x000000 };
}

bool g_coloursValid = false;

} // namespace

SEC_AUX_DATA::SEC_AUX_DATA()
    : hcurArrow(::LoadCursorW(nullptr, IDC_ARROW))
{
}

void SEC_AUX_DATA::UpdateSysColors()
{
    BuildBlendedPalette(SharedPalettes().blended);
    DetectColorScheme(SharedPalettes().scheme);
    clrBtnFace = GetSysColor(COLOR_BTNFACE);
    clrBtnShadow = GetSysColor(COLOR_BTNSHADOW);
    clrBtnHilite = GetSysColor(COLOR_BTNHIGHLIGHT);
    clrWindowFrame = GetSysColor(COLOR_WINDOWFRAME);
    clr3DLight = GetSysColor(COLOR_3DLIGHT);
    clr3DDkShadow = GetSysColor(COLOR_3DDKSHADOW);
    clrWindowText = GetSysColor(COLOR_WINDOWTEXT);
    clrWindow = GetSysColor(COLOR_WINDOW);
    clrHighlight = GetSysColor(COLOR_HIGHLIGHT);
    clrHighlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    g_coloursValid = true;
}

SEC_AUX_DATA& GetAuxData()
{
    static SEC_AUX_DATA data;
    if (!g_coloursValid)
        data.UpdateSysColors();
    return data;
}

COLORREF GetAuxBlendedColor(int index)
{
    GetAuxData();
    return index >= 0 && index < kAuxBlendedColors ? SharedPalettes().blended[static_cast<size_t>(index)] : RGB(255, 255, 255);
}

COLORREF GetAuxSchemeColor(int index)
{
    GetAuxData();
    return index >= 0 && index < kAuxSchemeColors ? SharedPalettes().scheme[static_cast<size_t>(index)] : RGB(255, 255, 255);
}

COLORREF BlendColors(COLORREF a, COLORREF b, int weight)
{
    const int divisor = weight < 100 ? 100 : 1000;
    auto mix = [&](int x, int y) { return static_cast<BYTE>((x * weight + y * (divisor - weight) + divisor / 2) / divisor); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

COLORREF LightenColor(COLORREF colour, int amount)
{
    auto up = [amount](int x) { return static_cast<BYTE>(std::clamp(x + amount, 0, 255)); };
    return RGB(up(GetRValue(colour)), up(GetGValue(colour)), up(GetBValue(colour)));
}

double ColorDistance(COLORREF a, COLORREF b)
{
    const Point3 p = ToBox(a), q = ToBox(b);
    return Length({ p.x - q.x, p.y - q.y, p.z - q.z });
}

COLORREF EnsureContrast(COLORREF colour, COLORREF background, double distance)
{
    return ColorDistance(background, colour) > RequiredDistance(background, distance) ? colour
                                                                                      : ContrastColor(colour, background, distance);
}

COLORREF ContrastColor(COLORREF colour, COLORREF background, double distance)
{
    Point3 c = ToBox(colour), bg = ToBox(background);
    const double t = RequiredDistance(background, distance);
    const double reach = Length(c) <= Length(bg) ? t : 442 - t;
    // Search from white instead of black when the background is too near black for the reach.
    const bool mirrored = Length(bg) < reach;
    if (mirrored) {
        c = Mirror(c);
        bg = Mirror(bg);
    }
    const double length = std::max(Length(c), 0.01);
    const Point3 u { c.x / length, c.y / length, c.z / length };
    const double k = u.x * bg.x + u.y * bg.y + u.z * bg.z;
    const Point3 foot { k * u.x - bg.x, k * u.y - bg.y, k * u.z - bg.z };
    const double square = t * t - (foot.x * foot.x + foot.y * foot.y + foot.z * foot.z);
    // A background farther than t from the ray leaves only its end: black (or white).
    const double s = square >= 0 ? std::max(0.0, k - std::sqrt(square)) : 0.0;
    Point3 found { s * u.x, s * u.y, s * u.z };
    if (mirrored)
        found = Mirror(found);
    return RGB(Channel(found.x, kBoxR), Channel(found.y, kBoxG), Channel(found.z, kBoxB));
}

void ColorToHLS(COLORREF colour, double& hue, double& saturation, double& lightness)
{
    const double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0, b = GetBValue(colour) / 255.0;
    const double high = std::max({ r, g, b }), low = std::min({ r, g, b });
    lightness = (high + low) / 2;
    if (high == low) {
        hue = saturation = 0;
        return;
    }
    const double delta = high - low;
    saturation = lightness <= 0.5 ? delta / (high + low) : delta / (2 - high - low);
    if (r == high)
        hue = (g - b) / delta;
    else if (g == high)
        hue = 2 + (b - r) / delta;
    else
        hue = 4 + (r - g) / delta;
    hue /= 6;
    if (hue < 0)
        hue += 1;
}

COLORREF HLSToColor(double hue, double saturation, double lightness)
{
    auto byte = [](double x) { return static_cast<BYTE>(std::clamp(x, 0.0, 1.0) * 255); };
    if (saturation == 0)
        return RGB(byte(lightness), byte(lightness), byte(lightness));
    const double m2 = lightness <= 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double m1 = 2 * lightness - m2;
    auto channel = [m1, m2](double h) {
        if (h < 0)
            h += 1;
        if (h > 1)
            h -= 1;
        if (h < 1.0 / 6)
            return m1 + (m2 - m1) * h * 6;
        if (h < 0.5)
            return m2;
        if (h < 2.0 / 3)
            return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
        return m1;
    };
    return RGB(byte(channel(hue + 1.0 / 3)), byte(channel(hue)), byte(channel(hue - 1.0 / 3)));
}

COLORREF AdjustColorHLS(COLORREF colour, double hueFactor, double saturationFactor, double lightnessFactor)
{
    double h = 0, s = 0, l = 0;
    ColorToHLS(colour, h, s, l);
    auto adjust = [](double x, double f) { return std::clamp(f < 0 ? x * (1 + f) : f > 0 ? x + f * (1 - x) : x, 0.0, 1.0); };
    return HLSToColor(adjust(h, hueFactor), adjust(s, saturationFactor), adjust(l, lightnessFactor));
}
