// ChooseFontW: a family, a style and a size from the fonts of the program's font configuration,
// with effects, a sample, and an optional template of the program's own that reuses the standard
// control ids.

#include "platform/comdlg/CommDlg.h"
#include "platform/comdlg/DialogSupport.h"
#include "platform/comdlg/DialogTemplate.h"

#include "platform/base/MessageBox.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/FontEnumeration.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

namespace fln::comdlg {

namespace {

constexpr int kFamilyId = cmb1, kStyleId = cmb2, kSizeId = cmb3, kColorId = cmb4, kScriptId = cmb5;
constexpr int kStrikeoutId = chx1, kUnderlineId = chx2, kSampleId = stc5, kApplyId = psh3;
constexpr int kStandardSizes[] = { 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };
constexpr int kScreenDpi = 96;

struct NamedColor {
    const wchar_t* name;
    COLORREF color;
};
constexpr NamedColor kTextColors[] = {
    { L"Black", RGB(0, 0, 0) }, { L"Maroon", RGB(128, 0, 0) }, { L"Green", RGB(0, 128, 0) }, { L"Olive", RGB(128, 128, 0) },
    { L"Navy", RGB(0, 0, 128) }, { L"Purple", RGB(128, 0, 128) }, { L"Teal", RGB(0, 128, 128) }, { L"Gray", RGB(128, 128, 128) },
    { L"Silver", RGB(192, 192, 192) }, { L"Red", RGB(255, 0, 0) }, { L"Lime", RGB(0, 255, 0) }, { L"Yellow", RGB(255, 255, 0) },
    { L"Blue", RGB(0, 0, 255) }, { L"Fuchsia", RGB(255, 0, 255) }, { L"Aqua", RGB(0, 255, 255) }, { L"White", RGB(255, 255, 255) },
};

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

std::vector<ENUMLOGFONTEXW> Enumerate(const std::wstring& family)
{
    LOGFONTW filter {};
    family.copy(filter.lfFaceName, LF_FACESIZE - 1);
    filter.lfCharSet = DEFAULT_CHARSET;
    std::vector<ENUMLOGFONTEXW> fonts;
    EnumFontFamiliesExW(nullptr, &filter, [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
        reinterpret_cast<std::vector<ENUMLOGFONTEXW>*>(data)->push_back(*reinterpret_cast<const ENUMLOGFONTEXW*>(font));
        return 1;
    }, reinterpret_cast<LPARAM>(&fonts), 0);
    return fonts;
}

// The families the request allows.
std::vector<ENUMLOGFONTEXW> Families(DWORD flags)
{
    auto families = Enumerate(L"");
    std::erase_if(families, [flags](const ENUMLOGFONTEXW& font) {
        bool vertical = font.elfLogFont.lfFaceName[0] == L'@';
        bool fixed = (font.elfLogFont.lfPitchAndFamily & 3) == FIXED_PITCH;
        return ((flags & CF_NOVERTFONTS) && vertical) || ((flags & CF_FIXEDPITCHONLY) && !fixed);
    });
    return families;
}

class FontDialog {
public:
    FontDialog(CHOOSEFONTW& request, std::vector<ENUMLOGFONTEXW> families)
        : m_request(request)
        , m_families(std::move(families))
    {
    }

    BOOL Run()
    {
        INT_PTR result;
        if (m_request.Flags & CF_ENABLETEMPLATE) {
            HMODULE module = reinterpret_cast<HMODULE>(m_request.hInstance);
            if (!m_request.lpTemplateName || !FindResourceW(module, m_request.lpTemplateName, RT_DIALOG)) {
                SetExtendedError(CDERR_FINDRESFAILURE);
                return FALSE;
            }
            result = DialogBoxParamW(m_request.hInstance, m_request.lpTemplateName, m_request.hwndOwner, Procedure, reinterpret_cast<LPARAM>(this));
        } else {
            result = DialogBoxIndirectParamW(nullptr, StandardLayout().Get(), m_request.hwndOwner, Procedure, reinterpret_cast<LPARAM>(this));
        }
        if (m_sampleFont)
            DeleteObject(m_sampleFont);
        if (result == -1)
            SetExtendedError(CDERR_DIALOGFAILURE);
        return result == IDOK;
    }

private:
    static DialogTemplate StandardLayout()
    {
        const DWORD simple = CBS_SIMPLE | CBS_AUTOHSCROLL | WS_TABSTOP;
        const DWORD dropList = CBS_DROPDOWNLIST | WS_TABSTOP;
        DialogTemplate layout(L"Font", 280, 196);
        layout.Control(L"Static", L"&Font:", stc1, SS_LEFT, 7, 7, 98, 9)
            .Control(L"ComboBox", L"", kFamilyId, simple, 7, 16, 98, 76)
            .Control(L"Static", L"Font st&yle:", stc2, SS_LEFT, 110, 7, 74, 9)
            .Control(L"ComboBox", L"", kStyleId, simple, 110, 16, 74, 76)
            .Control(L"Static", L"&Size:", stc3, SS_LEFT, 189, 7, 30, 9)
            .Control(L"ComboBox", L"", kSizeId, simple, 190, 16, 36, 76)
            .Control(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 233, 16, 40, 14)
            .Control(L"Button", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 233, 32, 40, 14)
            .Control(L"Button", L"&Apply", kApplyId, BS_PUSHBUTTON | WS_TABSTOP, 233, 48, 40, 14)
            .Control(L"Button", L"&Help", pshHelp, BS_PUSHBUTTON | WS_TABSTOP, 233, 64, 40, 14)
            .Control(L"Button", L"Effects", grp1, BS_GROUPBOX | WS_GROUP, 7, 97, 98, 72)
            .Control(L"Button", L"Stri&keout", kStrikeoutId, BS_AUTOCHECKBOX | WS_TABSTOP, 13, 110, 49, 10)
            .Control(L"Button", L"&Underline", kUnderlineId, BS_AUTOCHECKBOX, 13, 123, 51, 10)
            .Control(L"Static", L"&Color:", stc4, SS_LEFT, 13, 136, 30, 9)
            .Control(L"ComboBox", L"", kColorId, dropList, 13, 146, 82, 100)
            .Control(L"Button", L"Sample", grp2, BS_GROUPBOX | WS_GROUP, 110, 97, 116, 43)
            .Control(L"Static", L"AaBbYyZz", kSampleId, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 118, 111, 100, 23)
            .Control(L"Static", L"", stc6, SS_LEFT | SS_NOPREFIX, 7, 176, 219, 20)
            .Control(L"Static", L"Sc&ript:", stc7, SS_LEFT, 110, 147, 30, 9)
            .Control(L"ComboBox", L"", kScriptId, dropList, 110, 157, 116, 30);
        return layout;
    }

    static INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = DialogObject<FontDialog>(dialog, message, lParam);
        if (!self)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG: return self->OnInitDialog(dialog);
        case WM_COMMAND: self->OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kSampleId)) {
                SetTextColor(reinterpret_cast<HDC>(wParam), self->TextColor());
                SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
            return FALSE;
        }
        return FALSE;
    }

    LOGFONTW Initial() const
    {
        LOGFONTW font {};
        if ((m_request.Flags & CF_INITTOLOGFONTSTRUCT) && m_request.lpLogFont)
            font = *m_request.lpLogFont;
        return font;
    }

    BOOL OnInitDialog(HWND dialog)
    {
        m_dialog = dialog;
        DWORD flags = m_request.Flags;
        for (const auto& family : m_families)
            Send(kFamilyId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(family.elfLogFont.lfFaceName));
        int smallest = flags & CF_LIMITSIZE ? m_request.nSizeMin : 0, largest = flags & CF_LIMITSIZE ? m_request.nSizeMax : 0x7FFF;
        for (int size : kStandardSizes) {
            if (size >= smallest && size <= largest)
                Send(kSizeId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(size).c_str()));
        }
        for (const auto& named : kTextColors)
            Send(kColorId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(named.name));
        Send(kScriptId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Western"));
        Send(kScriptId, CB_SETCURSEL, 0, 0);
        if (flags & CF_SELECTSCRIPT)
            EnableWindow(GetDlgItem(dialog, kScriptId), FALSE);

        const int effects[] = { grp1, kStrikeoutId, kUnderlineId, stc4, kColorId };
        for (int id : effects)
            ShowWindow(GetDlgItem(dialog, id), flags & CF_EFFECTS ? SW_SHOWNORMAL : SW_HIDE);
        if (!(flags & CF_APPLY))
            ShowWindow(GetDlgItem(dialog, kApplyId), SW_HIDE);
        if (!(flags & CF_SHOWHELP))
            ShowWindow(GetDlgItem(dialog, pshHelp), SW_HIDE);

        LOGFONTW initial = Initial();
        auto family = std::find_if(m_families.begin(), m_families.end(), [&](const ENUMLOGFONTEXW& f) { return SameName(f.elfLogFont.lfFaceName, initial.lfFaceName); });
        Send(kFamilyId, CB_SETCURSEL, family == m_families.end() ? 0 : static_cast<WPARAM>(family - m_families.begin()), 0);
        m_wantedWeight = initial.lfWeight ? initial.lfWeight : FW_NORMAL;
        m_wantedItalic = initial.lfItalic;
        FillStyles();
        int points = initial.lfHeight ? MulDiv(std::abs(initial.lfHeight), 72, kScreenDpi) : 10;
        SetDlgItemTextW(dialog, kSizeId, std::to_wstring(points).c_str());
        Send(kSizeId, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(std::to_wstring(points).c_str()));
        CheckDlgButton(dialog, kStrikeoutId, initial.lfStrikeOut ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, kUnderlineId, initial.lfUnderline ? BST_CHECKED : BST_UNCHECKED);
        auto color = std::find_if(std::begin(kTextColors), std::end(kTextColors), [&](const NamedColor& c) { return c.color == (m_request.rgbColors & 0xFFFFFF); });
        Send(kColorId, CB_SETCURSEL, color == std::end(kTextColors) ? 0 : static_cast<WPARAM>(color - std::begin(kTextColors)), 0);
        UpdateSample();
        return TRUE; // the first control (the family) takes the focus
    }

    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendDlgItemMessageW(m_dialog, id, message, wParam, lParam);
    }

    // The styles of the chosen family, the one nearest the weight and slant last chosen selected.
    void FillStyles()
    {
        const LONG weight = m_wantedWeight;
        const BYTE italic = m_wantedItalic;
        m_styles = Enumerate(ControlText(m_dialog, kFamilyId));
        Send(kStyleId, CB_RESETCONTENT, 0, 0);
        int best = 0;
        for (std::size_t i = 0; i < m_styles.size(); ++i) {
            const LOGFONTW& style = m_styles[i].elfLogFont;
            Send(kStyleId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_styles[i].elfStyle));
            const LOGFONTW& chosen = m_styles[static_cast<std::size_t>(best)].elfLogFont;
            auto distance = [&](const LOGFONTW& f) { return std::abs(f.lfWeight - weight) + (f.lfItalic != italic ? 1000 : 0); };
            if (distance(style) < distance(chosen))
                best = static_cast<int>(i);
        }
        Send(kStyleId, CB_SETCURSEL, m_styles.empty() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(best), 0);
    }

    const ENUMLOGFONTEXW* SelectedStyle() const
    {
        auto index = Send(kStyleId, CB_GETCURSEL, 0, 0);
        return index >= 0 && static_cast<std::size_t>(index) < m_styles.size() ? &m_styles[static_cast<std::size_t>(index)] : nullptr;
    }

    COLORREF TextColor() const
    {
        auto index = Send(kColorId, CB_GETCURSEL, 0, 0);
        return index >= 0 && static_cast<std::size_t>(index) < std::size(kTextColors) ? kTextColors[index].color : RGB(0, 0, 0);
    }

    // The size box as a whole number of points, if it holds one.
    std::optional<int> Points() const
    {
        std::wstring text = ControlText(m_dialog, kSizeId);
        if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            return std::nullopt;
        return std::stoi(text);
    }

    LOGFONTW Chosen(int points) const
    {
        LOGFONTW font = Initial();
        font.lfHeight = -MulDiv(points, kScreenDpi, 72);
        font.lfWidth = 0;
        if (const ENUMLOGFONTEXW* style = SelectedStyle()) {
            font.lfWeight = style->elfLogFont.lfWeight;
            font.lfItalic = style->elfLogFont.lfItalic;
            font.lfPitchAndFamily = style->elfLogFont.lfPitchAndFamily;
        } else if (!font.lfWeight) {
            font.lfWeight = FW_NORMAL;
        }
        font.lfUnderline = IsDlgButtonChecked(m_dialog, kUnderlineId) == BST_CHECKED;
        font.lfStrikeOut = IsDlgButtonChecked(m_dialog, kStrikeoutId) == BST_CHECKED;
        if (!(m_request.Flags & CF_SELECTSCRIPT))
            font.lfCharSet = ANSI_CHARSET;
        std::wstring face = ControlText(m_dialog, kFamilyId);
        std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
        face.copy(font.lfFaceName, LF_FACESIZE - 1);
        return font;
    }

    void UpdateSample()
    {
        HWND sample = GetDlgItem(m_dialog, kSampleId);
        if (!sample)
            return;
        LOGFONTW font = Chosen(Points().value_or(10));
        HFONT made = CreateFontIndirectW(&font);
        SendMessageW(sample, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
        if (m_sampleFont)
            DeleteObject(m_sampleFont);
        m_sampleFont = made;
    }

    void OnCommand(int id, int code)
    {
        switch (id) {
        case IDOK: OnOk(); break;
        case IDCANCEL: EndDialog(m_dialog, IDCANCEL); break;
        case kFamilyId:
            if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
                FillStyles();
                UpdateSample();
            }
            break;
        case kStyleId:
            if (const ENUMLOGFONTEXW* style = SelectedStyle(); style && code == CBN_SELCHANGE) {
                m_wantedWeight = style->elfLogFont.lfWeight;
                m_wantedItalic = style->elfLogFont.lfItalic;
            }
            UpdateSample();
            break;
        case kSizeId:
        case kColorId:
            if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE)
                UpdateSample();
            break;
        case kStrikeoutId:
        case kUnderlineId: UpdateSample(); break;
        }
    }

    void OnOk()
    {
        std::optional<int> points = Points();
        DWORD flags = m_request.Flags;
        std::wstring face = ControlText(m_dialog, kFamilyId);
        bool known = std::any_of(m_families.begin(), m_families.end(), [&](const ENUMLOGFONTEXW& f) { return SameName(f.elfLogFont.lfFaceName, face); });
        if (face.empty() || ((flags & CF_FORCEFONTEXIST) && !known)) {
            Refuse(kFamilyId, L"There is no font with that name.\nChoose a font from the list of fonts.");
            return;
        }
        if (!points || *points <= 0) {
            Refuse(kSizeId, L"Size must be a number.");
            return;
        }
        if ((flags & CF_LIMITSIZE) && (*points < m_request.nSizeMin || *points > m_request.nSizeMax)) {
            Refuse(kSizeId, L"Size must be between " + std::to_wstring(m_request.nSizeMin) + L" and " + std::to_wstring(m_request.nSizeMax) + L" points.");
            return;
        }
        LOGFONTW font = Chosen(*points);
        if (m_request.lpLogFont)
            *m_request.lpLogFont = font;
        m_request.iPointSize = *points * 10;
        if (flags & CF_EFFECTS)
            m_request.rgbColors = TextColor();
        m_request.nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (font.lfWeight >= FW_BOLD ? BOLD_FONTTYPE : 0) | (font.lfItalic ? ITALIC_FONTTYPE : 0)
            | (font.lfWeight < FW_BOLD && !font.lfItalic ? REGULAR_FONTTYPE : 0));
        if ((flags & CF_USESTYLE) && m_request.lpszStyle) {
            const ENUMLOGFONTEXW* style = SelectedStyle();
            std::wstring name = style ? style->elfStyle : L"";
            name.copy(m_request.lpszStyle, LF_FACESIZE - 1);
            m_request.lpszStyle[std::min<std::size_t>(name.size(), LF_FACESIZE - 1)] = L'\0';
        }
        EndDialog(m_dialog, IDOK);
    }

    void Refuse(int id, const std::wstring& text)
    {
        MessageBoxW(m_dialog, text.c_str(), L"Font", MB_OK | MB_ICONEXCLAMATION);
        HWND control = GetDlgItem(m_dialog, id);
        SetFocus(control);
        SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }

    CHOOSEFONTW& m_request;
    std::vector<ENUMLOGFONTEXW> m_families;
    std::vector<ENUMLOGFONTEXW> m_styles;
    HWND m_dialog = nullptr;
    HFONT m_sampleFont = nullptr;
    LONG m_wantedWeight = FW_NORMAL; // the style last chosen, kept while the family changes
    BYTE m_wantedItalic = 0;
};

} // namespace

} // namespace fln::comdlg

BOOL ChooseFontW(LPCHOOSEFONTW request)
{
    using namespace fln::comdlg;
    SetExtendedError(0);
    if (!request || request->lStructSize != sizeof(CHOOSEFONTW)) {
        SetExtendedError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    if ((request->Flags & CF_LIMITSIZE) && request->nSizeMax < request->nSizeMin) {
        SetExtendedError(CFERR_MAXLESSTHANMIN);
        return FALSE;
    }
    auto families = Families(request->Flags);
    if (families.empty()) {
        SetExtendedError(CFERR_NOFONTS);
        return FALSE;
    }
    FontDialog dialog(*request, std::move(families));
    return dialog.Run();
}
