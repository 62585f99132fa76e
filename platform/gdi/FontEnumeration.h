#pragma once
// EnumFontFamiliesExW: the font families of the program's font configuration, and the styles of
// one family. Public: declared for every user of platform/gdi.

#include "platform/gdi/GdiTypes.h"

constexpr int LF_FULLFACESIZE = 64;
constexpr DWORD RASTER_FONTTYPE = 0x0001, DEVICE_FONTTYPE = 0x0002, TRUETYPE_FONTTYPE = 0x0004;

struct ENUMLOGFONTEXW {
    LOGFONTW elfLogFont;
    WCHAR elfFullName[LF_FULLFACESIZE]; // "Liberation Sans Bold"
    WCHAR elfStyle[LF_FACESIZE];        // "Bold"
    WCHAR elfScript[LF_FACESIZE];       // "Western"
};

// Called with an ENUMLOGFONTEXW (as its LOGFONTW), the style's metrics at a nominal size, and
// the font type; answers 0 to stop.
using FONTENUMPROCW = int (*)(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM data);

// With an empty lfFaceName: one call per family that has font files (fontconfig's generic
// aliases such as "Sans" are left out), in name order; with a face name: one call per style of
// that family (regular, italic, bold...). Answers the last callback's answer, or 1 when
// nothing was enumerated. The DC and flags are not consulted: every font here is scalable.
int EnumFontFamiliesExW(HDC dc, const LOGFONTW* filter, FONTENUMPROCW procedure, LPARAM data, DWORD flags);
