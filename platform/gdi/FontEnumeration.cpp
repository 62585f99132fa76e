#include "platform/gdi/FontEnumeration.h"

#include "platform/base/CString.h"
#include "platform/gdi/FontSystem.h"

#include <pango/pango.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Style {
    ENUMLOGFONTEXW font {};
    TEXTMETRICW metrics {};
};

void CopyText(WCHAR* target, std::size_t size, const std::wstring& text)
{
    std::wstring cut = text.substr(0, size - 1);
    std::copy(cut.begin(), cut.end(), target);
    target[cut.size()] = 0;
}

std::wstring Wide(const char* utf8)
{
    return utf8 ? Utf8ToWide(utf8).value_or(std::wstring()) : std::wstring();
}

Style Describe(PangoFontFamily* family, PangoFontFace* face)
{
    Style style;
    std::wstring familyName = Wide(pango_font_family_get_name(family));
    std::wstring faceName = face ? Wide(pango_font_face_get_face_name(face)) : L"Regular";
    PangoFontDescription* description = face ? pango_font_face_describe(face) : nullptr;
    int weight = description ? static_cast<int>(pango_font_description_get_weight(description)) : PANGO_WEIGHT_NORMAL;
    bool italic = description && pango_font_description_get_style(description) != PANGO_STYLE_NORMAL;
    if (description)
        pango_font_description_free(description);
    bool fixed = pango_font_family_is_monospace(family);

    LOGFONTW& logFont = style.font.elfLogFont;
    logFont.lfHeight = -16;
    logFont.lfWeight = std::clamp(weight, 100, 900) / 100 * 100;
    logFont.lfItalic = italic;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    logFont.lfPitchAndFamily = fixed ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_DONTCARE);
    CopyText(logFont.lfFaceName, LF_FACESIZE, familyName);
    CopyText(style.font.elfFullName, LF_FULLFACESIZE, faceName == L"Regular" ? familyName : familyName + L" " + faceName);
    CopyText(style.font.elfStyle, LF_FACESIZE, faceName);
    CopyText(style.font.elfScript, LF_FACESIZE, L"Western");

    style.metrics.tmHeight = 16;
    style.metrics.tmWeight = logFont.lfWeight;
    style.metrics.tmItalic = logFont.lfItalic;
    style.metrics.tmCharSet = ANSI_CHARSET;
    // A set TMPF_FIXED_PITCH bit means a variable pitch.
    style.metrics.tmPitchAndFamily = static_cast<BYTE>(TMPF_TRUETYPE | TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH));
    return style;
}

// Every style to report, gathered under the font system's lock, so that callbacks run without it.
std::vector<Style> Gather(const std::wstring& wantedFamily)
{
    auto& fonts = fln::gdi::FontSystem::instance();
    std::lock_guard lock(fonts.mutex());
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(fonts.fontMap(), &families, &count);
    std::vector<Style> styles;
    for (int i = 0; i < count; ++i) {
        std::wstring name = Wide(pango_font_family_get_name(families[i]));
        bool wanted = wantedFamily.empty() || std::equal(name.begin(), name.end(), wantedFamily.begin(), wantedFamily.end(), [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
        if (!wanted)
            continue;
        // Only faces of real font files: the generic aliases (Sans, Monospace...) have none.
        PangoFontFace** faces = nullptr;
        int faceCount = 0;
        pango_font_family_list_faces(families[i], &faces, &faceCount);
        std::vector<Style> familyStyles;
        for (int f = 0; f < faceCount; ++f) {
            if (!pango_font_face_is_synthesized(faces[f]))
                familyStyles.push_back(Describe(families[i], faces[f]));
        }
        g_free(faces);
        if (wantedFamily.empty() && !familyStyles.empty())
            styles.push_back(Describe(families[i], nullptr));
        else if (!wantedFamily.empty())
            styles.insert(styles.end(), familyStyles.begin(), familyStyles.end());
    }
    g_free(families);
    auto byName = [](const Style& a, const Style& b) {
        int compare = std::wcscmp(a.font.elfLogFont.lfFaceName, b.font.elfLogFont.lfFaceName);
        if (compare)
            return compare < 0;
        return std::pair(a.font.elfLogFont.lfWeight, a.font.elfLogFont.lfItalic) < std::pair(b.font.elfLogFont.lfWeight, b.font.elfLogFont.lfItalic);
    };
    std::sort(styles.begin(), styles.end(), byName);
    return styles;
}

} // namespace

int EnumFontFamiliesExW(HDC, const LOGFONTW* filter, FONTENUMPROCW procedure, LPARAM data, DWORD)
{
    if (!procedure)
        return 0;
    std::wstring family = filter ? std::wstring(filter->lfFaceName, wcsnlen(filter->lfFaceName, LF_FACESIZE)) : std::wstring();
    int answer = 1;
    for (const Style& style : Gather(family)) {
        answer = procedure(&style.font.elfLogFont, &style.metrics, TRUETYPE_FONTTYPE, data);
        if (!answer)
            break;
    }
    return answer;
}
