// ChooseColorW: 48 basic colours, 16 custom colours kept by the caller, and, opened fully, the
// hue-saturation field, the luminance bar and the six number fields.

#include "platform/comdlg/ColorModel.h"
#include "platform/comdlg/ColorSwatches.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/comdlg/DialogSupport.h"
#include "platform/comdlg/DialogTemplate.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <array>
#include <span>

namespace fln::comdlg {

namespace {

constexpr int kBasicId = 0x2D0, kCustomId = 0x2D1, kDefineId = 0x2CF, kAddId = 0x2C8;
constexpr int kFieldId = 0x2C6, kLumBarId = 0x2BE, kSampleId = 0x2C5;
constexpr int kHueId = 0x2BF, kSatId = 0x2C0, kLumId = 0x2C1, kRedId = 0x2C2, kGreenId = 0x2C3, kBlueId = 0x2C4;
constexpr int kClosedWidth = 152, kFullWidth = 306, kHeight = 190;
constexpr int kFullOnlyIds[] = { kFieldId, kLumBarId, kSampleId, kHueId, kSatId, kLumId, kRedId, kGreenId, kBlueId, kAddId };

class ColorDialog {
public:
    explicit ColorDialog(CHOOSECOLORW& request)
        : m_request(request)
    {
        std::copy_n(request.lpCustColors, m_custom.size(), m_custom.begin());
        m_color = request.Flags & CC_RGBINIT ? request.rgbResult & 0xFFFFFF : RGB(0, 0, 0);
        m_hls = RgbToHls(m_color);
    }

    BOOL Run()
    {
        RegisterColorSwatches();
        DialogTemplate layout(L"Color", kFullWidth, kHeight);
        const DWORD number = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
        layout.Control(L"Static", L"&Basic colors:", stc1, SS_LEFT, 4, 4, 140, 8)
            .Control(kColorSwatchesClass, L"", kBasicId, WS_TABSTOP, 4, 14, 144, 90)
            .Control(L"Static", L"&Custom colors:", stc2, SS_LEFT, 4, 108, 140, 8)
            .Control(kColorSwatchesClass, L"", kCustomId, WS_TABSTOP, 4, 118, 144, 30)
            .Control(L"Button", L"&Define Custom Colors >>", kDefineId, BS_PUSHBUTTON | WS_TABSTOP, 4, 152, 144, 14)
            .Control(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 172, 70, 14)
            .Control(L"Button", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 78, 172, 70, 14)
            .Control(L"Static", L"", kFieldId, SS_OWNERDRAW | SS_NOTIFY, 156, 4, 122, 116)
            .Control(L"Static", L"", kLumBarId, SS_OWNERDRAW | SS_NOTIFY, 284, 4, 16, 116)
            .Control(L"Static", L"", kSampleId, SS_OWNERDRAW, 156, 124, 40, 26)
            .Control(L"Static", L"Hu&e:", stc3, SS_RIGHT, 198, 126, 20, 8)
            .Control(L"Edit", L"", kHueId, number, 220, 124, 20, 12)
            .Control(L"Static", L"&Sat:", stc4, SS_RIGHT, 198, 140, 20, 8)
            .Control(L"Edit", L"", kSatId, number, 220, 138, 20, 12)
            .Control(L"Static", L"&Lum:", stc5, SS_RIGHT, 198, 154, 20, 8)
            .Control(L"Edit", L"", kLumId, number, 220, 152, 20, 12)
            .Control(L"Static", L"&Red:", stc6, SS_RIGHT, 244, 126, 34, 8)
            .Control(L"Edit", L"", kRedId, number, 280, 124, 20, 12)
            .Control(L"Static", L"&Green:", stc7, SS_RIGHT, 244, 140, 34, 8)
            .Control(L"Edit", L"", kGreenId, number, 280, 138, 20, 12)
            .Control(L"Static", L"Bl&ue:", stc7 + 1, SS_RIGHT, 244, 154, 34, 8)
            .Control(L"Edit", L"", kBlueId, number, 280, 152, 20, 12)
            .Control(L"Button", L"&Add to Custom Colors", kAddId, BS_PUSHBUTTON | WS_TABSTOP, 156, 172, 144, 14);
        INT_PTR result = DialogBoxIndirectParamW(nullptr, layout.Get(), m_request.hwndOwner, Procedure, reinterpret_cast<LPARAM>(this));
        if (result == -1)
            SetExtendedError(CDERR_DIALOGFAILURE);
        if (result != IDOK)
            return FALSE;
        m_request.rgbResult = m_color;
        std::copy(m_custom.begin(), m_custom.end(), m_request.lpCustColors);
        return TRUE;
    }

private:
    static INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = DialogObject<ColorDialog>(dialog, message, lParam);
        if (!self)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG: return self->OnInitDialog(dialog);
        case WM_COMMAND: self->OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_DRAWITEM: self->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
        }
        return FALSE;
    }

    BOOL OnInitDialog(HWND dialog)
    {
        m_dialog = dialog;
        SendDlgItemMessageW(dialog, kBasicId, SWM_SETCOLORS, kBasicColors.size(), reinterpret_cast<LPARAM>(kBasicColors.data()));
        SendDlgItemMessageW(dialog, kCustomId, SWM_SETCOLORS, m_custom.size(), reinterpret_cast<LPARAM>(m_custom.data()));
        for (auto [id, colors] : { std::pair { kBasicId, std::span<const COLORREF>(kBasicColors) }, std::pair { kCustomId, std::span<const COLORREF>(m_custom) } }) {
            auto found = std::find(colors.begin(), colors.end(), m_color);
            if (found != colors.end()) {
                SendDlgItemMessageW(dialog, id, SWM_SETCURSEL, static_cast<WPARAM>(found - colors.begin()), 0);
                break;
            }
        }
        if (m_request.Flags & CC_PREVENTFULLOPEN)
            EnableWindow(GetDlgItem(dialog, kDefineId), FALSE);
        ShowFull(m_request.Flags & CC_FULLOPEN);
        ShowNumbers();
        HWND first = GetDlgItem(dialog, kBasicId);
        SetFocus(first);
        return FALSE;
    }

    // Closed, the dialog is cut at the left half and the right half's controls are off the tab order.
    void ShowFull(bool full)
    {
        RECT size { 0, 0, full ? kFullWidth : kClosedWidth, kHeight };
        MapDialogRect(m_dialog, &size);
        RECT window, client;
        GetWindowRect(m_dialog, &window);
        GetClientRect(m_dialog, &client);
        int frameWidth = (window.right - window.left) - client.right;
        SetWindowPos(m_dialog, nullptr, 0, 0, size.right + frameWidth, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
        for (int id : kFullOnlyIds)
            EnableWindow(GetDlgItem(m_dialog, id), full);
        if (full)
            EnableWindow(GetDlgItem(m_dialog, kDefineId), FALSE);
    }

    void OnCommand(int id, int code)
    {
        switch (id) {
        case IDOK: EndDialog(m_dialog, IDOK); break;
        case IDCANCEL: EndDialog(m_dialog, IDCANCEL); break;
        case kDefineId:
            ShowFull(true);
            SetFocus(GetDlgItem(m_dialog, kHueId));
            break;
        case kAddId: AddCustom(); break;
        case kBasicId:
        case kCustomId:
            if (code == SWN_SELCHANGE)
                OnSwatch(id);
            break;
        case kFieldId:
        case kLumBarId:
            if (code == STN_CLICKED)
                OnSpectrumClick(id);
            break;
        case kHueId: case kSatId: case kLumId: case kRedId: case kGreenId: case kBlueId:
            if (code == EN_CHANGE && !m_updating)
                OnNumber(id);
            break;
        }
    }

    void OnSwatch(int id)
    {
        auto index = SendDlgItemMessageW(m_dialog, id, SWM_GETCURSEL, 0, 0);
        if (index < 0)
            return;
        if (id == kBasicId)
            SendDlgItemMessageW(m_dialog, kCustomId, SWM_SETCURSEL, static_cast<WPARAM>(-1), 0);
        else
            SendDlgItemMessageW(m_dialog, kBasicId, SWM_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetColor(static_cast<COLORREF>(SendDlgItemMessageW(m_dialog, id, SWM_GETCOLOR, static_cast<WPARAM>(index), 0)));
    }

    // The custom cell that takes the added colour: the selected one, else the next in turn.
    void AddCustom()
    {
        auto selected = SendDlgItemMessageW(m_dialog, kCustomId, SWM_GETCURSEL, 0, 0);
        std::size_t index = selected >= 0 ? static_cast<std::size_t>(selected) : m_nextCustom;
        m_custom[index] = m_color;
        SendDlgItemMessageW(m_dialog, kCustomId, SWM_SETCOLOR, index, static_cast<LPARAM>(m_color));
        m_nextCustom = (index + 1) % m_custom.size();
    }

    void OnSpectrumClick(int id)
    {
        HWND control = GetDlgItem(m_dialog, id);
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(control, &point);
        RECT area;
        GetClientRect(control, &area);
        int height = std::max<int>(1, area.bottom - 1);
        int fromTop = std::clamp<int>(point.y, 0, height);
        Hls hls = m_hls;
        if (id == kFieldId) {
            hls.hue = std::clamp<int>(point.x * (kHlsMax - 1) / std::max<int>(1, area.right - 1), 0, kHlsMax - 1);
            hls.sat = kHlsMax - fromTop * kHlsMax / height;
        } else {
            hls.lum = kHlsMax - fromTop * kHlsMax / height;
        }
        SetHls(hls);
    }

    void OnNumber(int id)
    {
        BOOL valid = FALSE;
        int value = static_cast<int>(GetDlgItemInt(m_dialog, id, &valid, FALSE));
        if (!valid)
            return;
        if (id == kHueId || id == kSatId || id == kLumId) {
            Hls hls = m_hls;
            (id == kHueId ? hls.hue : id == kSatId ? hls.sat : hls.lum) = std::clamp(value, 0, id == kHueId ? kHlsMax - 1 : kHlsMax);
            SetHls(hls, id);
        } else {
            int r = GetRValue(m_color), g = GetGValue(m_color), b = GetBValue(m_color);
            (id == kRedId ? r : id == kGreenId ? g : b) = std::clamp(value, 0, 255);
            SetColor(RGB(r, g, b), id);
        }
    }

    // A colour picked or typed as RGB; its HLS follows.
    void SetColor(COLORREF color, int typedId = 0)
    {
        m_color = color;
        m_hls = RgbToHls(color);
        Changed(typedId);
    }

    // A colour picked or typed as HLS, kept as given (a grey keeps the hue the user chose).
    void SetHls(Hls hls, int typedId = 0)
    {
        m_hls = hls;
        m_color = HlsToRgb(hls);
        Changed(typedId);
    }

    void Changed(int typedId)
    {
        ShowNumbers(typedId);
        for (int id : { kFieldId, kLumBarId, kSampleId })
            InvalidateRect(GetDlgItem(m_dialog, id), nullptr, FALSE);
    }

    // The six fields show the colour, except the one being typed into.
    void ShowNumbers(int typedId = 0)
    {
        m_updating = true;
        const std::pair<int, int> values[] = { { kHueId, m_hls.hue }, { kSatId, m_hls.sat }, { kLumId, m_hls.lum },
            { kRedId, GetRValue(m_color) }, { kGreenId, GetGValue(m_color) }, { kBlueId, GetBValue(m_color) } };
        for (auto [id, value] : values) {
            if (id != typedId)
                SetDlgItemInt(m_dialog, id, static_cast<UINT>(value), FALSE);
        }
        m_updating = false;
    }

    void DrawItem(const DRAWITEMSTRUCT& item)
    {
        RECT area = item.rcItem;
        DrawEdge(item.hDC, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        int width = area.right - area.left, height = area.bottom - area.top;
        if (width <= 0 || height <= 0)
            return;
        switch (item.CtlID) {
        case kFieldId: DrawField(item.hDC, area, width, height); break;
        case kLumBarId: DrawLumBar(item.hDC, area, width, height); break;
        case kSampleId: Fill(item.hDC, area, m_color); break;
        }
    }

    static void Fill(HDC dc, RECT area, COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }

    // Hue across, saturation up, at middle luminance; a cross marks the current hue and saturation.
    void DrawField(HDC dc, RECT area, int width, int height)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(dc, area.left + x, area.top + y, HlsToRgb({ x * (kHlsMax - 1) / std::max(1, width - 1), kHlsMax / 2, kHlsMax - y * kHlsMax / std::max(1, height - 1) }));
        int cx = area.left + m_hls.hue * (width - 1) / (kHlsMax - 1), cy = area.top + (kHlsMax - m_hls.sat) * (height - 1) / kHlsMax;
        RECT arms[] = { { cx - 6, cy - 1, cx - 2, cy + 1 }, { cx + 3, cy - 1, cx + 7, cy + 1 }, { cx - 1, cy - 6, cx + 1, cy - 2 }, { cx - 1, cy + 3, cx + 1, cy + 7 } };
        for (RECT arm : arms) {
            IntersectRect(&arm, &arm, &area);
            FillRect(dc, &arm, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    }

    // Luminance from white at the top to black at the bottom for the current hue and saturation;
    // a black band marks the current luminance.
    void DrawLumBar(HDC dc, RECT area, int width, int height)
    {
        for (int y = 0; y < height; ++y) {
            RECT row { area.left, area.top + y, area.right, area.top + y + 1 };
            Fill(dc, row, HlsToRgb({ m_hls.hue, kHlsMax - y * kHlsMax / std::max(1, height - 1), m_hls.sat }));
        }
        int y = area.top + (kHlsMax - m_hls.lum) * (height - 1) / kHlsMax;
        RECT marker { area.left, y - 1, area.left + width, y + 1 };
        IntersectRect(&marker, &marker, &area);
        FillRect(dc, &marker, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    CHOOSECOLORW& m_request;
    HWND m_dialog = nullptr;
    std::array<COLORREF, 16> m_custom {};
    std::size_t m_nextCustom = 0;
    COLORREF m_color = 0;
    Hls m_hls;
    bool m_updating = false;
};

} // namespace

} // namespace fln::comdlg

BOOL ChooseColorW(LPCHOOSECOLORW request)
{
    using namespace fln::comdlg;
    SetExtendedError(0);
    if (!request || request->lStructSize != sizeof(CHOOSECOLORW)) {
        SetExtendedError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    if (!request->lpCustColors) {
        SetExtendedError(CDERR_INITIALIZATION);
        return FALSE;
    }
    ColorDialog dialog(*request);
    return dialog.Run();
}
