#include "commandbars/BmpMenuPlugIn.h"

#include "framework/AuxBitmaps.h"
#include "framework/BmpMgr.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr int kTextMargin = 30;   // beside the measured text and the image
constexpr int kArrowRoom = 23;    // kept free at the right for a submenu's arrow
constexpr int kLabelGap = 4;      // between the image box and the label
constexpr DWORD kPaintWhereWhite = 0xE20746; // the brush where the source is white, else the destination

bool IsSystemCommand(UINT id)
{
    return id >= 0xF000 && id <= 0xFEFF;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    return { info.bmWidth, info.bmHeight };
}

} // namespace

wchar_t MnemonicOf(const CString& text)
{
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
        if (text[i] == L'&')
            return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(text[i + 1])));
    }
    return 0;
}

// A frame without a menu bar makes its bitmap menus by this class's name.
IMPLEMENT_DYNCREATE(SECBmpMenuPlugIn, CWnd)

BEGIN_MESSAGE_MAP(SECBmpMenuPlugIn, SECFrameMenuPlugIn)
    FLN_MSG(WM_INITMENUPOPUP, 0, 0, 0, self->HandleInitMenuPopup(call.wParam, call.lParam); return 0;)
    FLN_MSG(WM_MEASUREITEM, 0, 0, 0, self->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(call.lParam)); return TRUE;)
    FLN_MSG(WM_DRAWITEM, 0, 0, 0, self->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(call.lParam)); return TRUE;)
    FLN_MSG(WM_MENUCHAR, 0, 0, 0,
        return self->OnMenuChar(static_cast<wchar_t>(LOWORD(call.wParam)), HIWORD(call.wParam), reinterpret_cast<HMENU>(call.lParam));)
    FLN_MSG(WM_SYSCOLORCHANGE, 0, 0, 0, self->OnSysColorChange(); return 0;)
    FLN_MSG(WM_SETTINGCHANGE, 0, 0, 0, self->OnSettingChange(); return 0;)
END_MESSAGE_MAP()

SECBmpMenuPlugIn::SECBmpMenuPlugIn() : m_pBmpMgr(new SECBmpMgr) {}

SECBmpMenuPlugIn::~SECBmpMenuPlugIn()
{
    RestoreItems();
    if (m_hDitherBrush)
        DeleteObject(m_hDitherBrush);
    m_pBmpMgr->Release();
}

BOOL SECBmpMenuPlugIn::LoadToolBarResource(UINT toolBarId)
{
    return m_pBmpMgr->AddToolBarResource(toolBarId);
}

void SECBmpMenuPlugIn::SetBmpMgr(SECBmpMgr* manager)
{
    if (!manager || manager == m_pBmpMgr)
        return;
    manager->AddRef();
    m_pBmpMgr->Release();
    m_pBmpMgr = manager;
}

void SECBmpMenuPlugIn::SetTransparentColor(COLORREF colour, BOOL use)
{
    m_clrTransparent = colour;
    m_bUseTransparent = use;
}

const std::vector<std::unique_ptr<SECBmpMenuItemInfo>>* SECBmpMenuPlugIn::RecordsOf(HMENU menu) const
{
    auto it = m_menus.find(menu);
    return it == m_menus.end() ? nullptr : &it->second.items;
}

SECBmpMenuItemInfo* SECBmpMenuPlugIn::RecordOf(ULONG_PTR data) const
{
    for (const auto& [menu, info] : m_menus) {
        for (const auto& item : info.items) {
            if (reinterpret_cast<ULONG_PTR>(item.get()) == data)
                return item.get();
        }
    }
    return nullptr;
}

// ---- converting the items of a menu about to open

void SECBmpMenuPlugIn::HandleInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
}

void SECBmpMenuPlugIn::OnInitMenuPopup(HMENU menu, UINT, BOOL systemMenu)
{
    if (systemMenu || !IsMenu(menu))
        return;
    MenuInfo& info = m_menus[menu];
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item { sizeof item };
        item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) || (item.fType & (MFT_BITMAP | MFT_SEPARATOR)))
            continue;
        UINT id = item.hSubMenu ? 0 : item.wID;
        if (IsSystemCommand(id) || m_foreignItems.contains(id))
            continue;
        if (item.fType & MFT_OWNERDRAW) {
            bool ours = std::ranges::any_of(info.items, [&](const auto& record) { return reinterpret_cast<ULONG_PTR>(record.get()) == item.dwItemData; });
            if (!ours)
                m_foreignItems.insert(id);
            continue;
        }
        auto record = std::make_unique<SECBmpMenuItemInfo>(SECBmpMenuItemInfo { id, text, MnemonicOf(text), (item.fState & MFS_DEFAULT) != 0 });
        MENUITEMINFOW change { sizeof change };
        change.fMask = MIIM_FTYPE | MIIM_DATA;
        change.fType = item.fType | MFT_OWNERDRAW;
        change.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
        if (SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &change))
            info.items.push_back(std::move(record));
    }
}

void SECBmpMenuPlugIn::CleanUpMenus()
{
    for (auto it = m_menus.begin(); it != m_menus.end();) {
        HMENU menu = it->first;
        if (!IsMenu(menu)) {
            it = m_menus.erase(it);
            continue;
        }
        std::set<ULONG_PTR> used;
        for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
            MENUITEMINFOW item { sizeof item };
            item.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
            if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) && (item.fType & MFT_OWNERDRAW) && !m_foreignItems.contains(item.wID))
                used.insert(item.dwItemData);
        }
        std::erase_if(it->second.items, [&](const auto& record) { return !used.contains(reinterpret_cast<ULONG_PTR>(record.get())); });
        ++it;
    }
}

void SECBmpMenuPlugIn::RestoreItems()
{
    for (auto& [menu, info] : m_menus) {
        for (int i = 0, count = IsMenu(menu) ? GetMenuItemCount(menu) : 0; i < count; ++i) {
            MENUITEMINFOW item { sizeof item };
            item.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) || !(item.fType & MFT_OWNERDRAW))
                continue;
            SECBmpMenuItemInfo* record = RecordOf(item.dwItemData);
            if (!record)
                continue;
            MENUITEMINFOW plain { sizeof plain };
            plain.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
            plain.fType = item.fType & ~MFT_OWNERDRAW;
            plain.dwItemData = 0;
            plain.dwTypeData = const_cast<wchar_t*>(static_cast<const wchar_t*>(record->text));
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &plain);
        }
    }
    m_menus.clear();
}

void SECBmpMenuPlugIn::RemeasureItems()
{
    for (auto& [menu, info] : m_menus) {
        for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
            MENUITEMINFOW item { sizeof item };
            item.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) || !(item.fType & MFT_OWNERDRAW) || !RecordOf(item.dwItemData))
                continue;
            MENUITEMINFOW change { sizeof change };
            change.fMask = MIIM_FTYPE | MIIM_STRING;
            change.fType = item.fType & ~MFT_OWNERDRAW;
            change.dwTypeData = const_cast<wchar_t*>(L"");
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &change);
            change.fMask = MIIM_FTYPE | MIIM_DATA;
            change.fType = item.fType;
            change.dwItemData = item.dwItemData;
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &change);
        }
    }
}

// ---- measuring and drawing

HFONT SECBmpMenuPlugIn::MenuFont(BOOL bold)
{
    CFont& font = bold ? m_boldMenuFont : m_menuFont;
    if (!font.m_hObject) {
        NONCLIENTMETRICSW metrics { sizeof metrics };
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        if (bold)
            metrics.lfMenuFont.lfWeight = FW_BOLD;
        font.CreateFontIndirect(&metrics.lfMenuFont);
    }
    return font;
}

HBRUSH SECBmpMenuPlugIn::DitherBrush()
{
    // In colour, so that the brush keeps its colours whatever the DC's text and background are.
    if (!m_hDitherBrush) {
        DWORD pixels[8 * 8];
        const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                COLORREF c = (x + y) % 2 ? light : face;
                pixels[y * 8 + x] = (DWORD { GetRValue(c) } << 16) | (DWORD { GetGValue(c) } << 8) | GetBValue(c);
            }
        HBITMAP pattern = CreateBitmap(8, 8, 1, 32, pixels);
        m_hDitherBrush = CreatePatternBrush(pattern);
        DeleteObject(pattern);
    }
    return m_hDitherBrush;
}

SIZE SECBmpMenuPlugIn::ImageSize() const
{
    CSize size = m_pBmpMgr->GetImageSize();
    return { size.cx, size.cy };
}

void SECBmpMenuPlugIn::OnMeasureItem(MEASUREITEMSTRUCT* item)
{
    SECBmpMenuItemInfo* record = item->CtlType == ODT_MENU ? RecordOf(item->itemData) : nullptr;
    if (!record || m_foreignItems.contains(item->itemID))
        return;
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont(record->isDefault));
    RECT text {};
    DrawTextW(dc, record->text, -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, oldFont);
    ::ReleaseDC(nullptr, dc);
    SIZE image = ImageSize();
    item->itemWidth = static_cast<UINT>(text.right - text.left + image.cx + kTextMargin);
    item->itemHeight = static_cast<UINT>(std::max<int>(text.bottom - text.top, std::max<int>(GetSystemMetrics(SM_CYMENU), image.cy + 4)));
    SetHandled(TRUE);
}

void SECBmpMenuPlugIn::OnDrawItem(const DRAWITEMSTRUCT* item)
{
    SECBmpMenuItemInfo* record = item->CtlType == ODT_MENU ? RecordOf(item->itemData) : nullptr;
    if (!record || m_foreignItems.contains(item->itemID))
        return;
    HDC dc = item->hDC;
    bool selected = item->itemState & ODS_SELECTED;
    bool disabled = item->itemState & (ODS_GRAYED | ODS_DISABLED);
    HBITMAP image = nullptr;
    int imageIndex = -1;
    if (!record->id || !m_pBmpMgr->GetImage(record->id, image, imageIndex))
        imageIndex = -1;

    RECT rect = item->rcItem;
    FillRect(dc, &rect, GetSysColorBrush(selected && imageIndex < 0 ? COLOR_HIGHLIGHT : COLOR_MENU));
    DrawItemImage(item, dc, rect, image, imageIndex, ImageSize());
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    HGDIOBJ oldFont = SelectObject(dc, MenuFont(item->itemState & ODS_DEFAULT));
    SetBkMode(dc, TRANSPARENT);
    RECT text { rect.left + kLabelGap, rect.top, rect.right - kArrowRoom, rect.bottom };
    if (disabled && !selected) {
        RECT raised = text;
        OffsetRect(&raised, 1, 1);
        DrawLabel(dc, raised, record->text, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawLabel(dc, text, record->text, GetSysColor(COLOR_BTNSHADOW));
    } else {
        DrawLabel(dc, text, record->text, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    SelectObject(dc, oldFont);
    SetHandled(TRUE);
}

void SECBmpMenuPlugIn::DrawLabel(HDC dc, const RECT& area, const CString& text, COLORREF colour) const
{
    int tab = text.Find(L'\t');
    CString label = tab < 0 ? text : text.Left(tab);
    RECT r = area;
    SetTextColor(dc, colour);
    DrawTextW(dc, label, -1, &r, DT_SINGLELINE | DT_VCENTER);
    if (tab >= 0) {
        CString accelerator = text.Mid(tab + 1);
        DrawTextW(dc, accelerator, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
}

void SECBmpMenuPlugIn::DrawItemImage(const DRAWITEMSTRUCT* item, HDC dc, RECT& rect, HBITMAP image, int imageIndex, SIZE imageSize)
{
    bool selected = item->itemState & ODS_SELECTED;
    bool checked = item->itemState & ODS_CHECKED;
    bool disabled = item->itemState & (ODS_GRAYED | ODS_DISABLED);
    HMENU menu = reinterpret_cast<HMENU>(item->hwndItem);

    // An item without an image of its own shows its check bitmap (or the system's check mark),
    // at that bitmap's size, in the same column.
    SIZE cell = imageSize;
    HBITMAP systemCheck = nullptr;
    if (imageIndex < 0) {
        MENUITEMINFOW marks { sizeof marks };
        marks.fMask = MIIM_CHECKMARKS;
        GetMenuItemInfoW(menu, item->itemID, FALSE, &marks);
        image = checked ? marks.hbmpChecked : marks.hbmpUnchecked;
        if (!image && checked)
            image = systemCheck = LoadBitmapW(nullptr, OBM_CHECK);
        if (image) {
            imageIndex = 0;
            cell = BitmapSize(image);
        }
    }

    RECT box { rect.left, rect.top, rect.left + std::max<int>(imageSize.cx, cell.cx) + 4, rect.bottom };
    rect.left = box.right;
    if (imageIndex < 0) {
        FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        return;
    }
    FillRect(dc, &box, GetSysColorBrush(COLOR_MENU));
    int boxHeight = cell.cy + 4;
    box.top += (box.bottom - box.top - boxHeight) / 2;
    box.bottom = box.top + boxHeight;
    if (checked)
        DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    else if (selected && !disabled)
        DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);

    fln::gdi::MemoryDC strip(dc, image);
    int x = box.left + 2, y = box.top + 2, sourceX = imageIndex * cell.cx;
    COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_MENUTEXT)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    if (disabled) {
        DrawDisabledImage(dc, x, y, cell, strip.dc(), sourceX);
    } else {
        DrawTransparentBitmap(dc, x, y, cell.cx, cell.cy, strip.dc(), sourceX, 0, TransparentColour(strip.dc()));
        if (checked && !selected)
            DrawCheckedBackground(dc, x, y, cell, strip.dc(), sourceX);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (systemCheck)
        DeleteObject(systemCheck);
}

COLORREF SECBmpMenuPlugIn::TransparentColour(HDC image) const
{
    return m_bUseTransparent ? m_clrTransparent : GetPixel(image, 0, 0);
}

void SECBmpMenuPlugIn::DrawCheckedBackground(HDC dc, int x, int y, SIZE size, HDC image, int sourceX)
{
    SECMonoMask mask(dc, size.cx, size.cy);
    mask.Whiten(image, sourceX, 0, TransparentColour(image));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(dc, DitherBrush());
    BitBlt(dc, x, y, size.cx, size.cy, mask.GetDC(), 0, 0, kPaintWhereWhite);
    SelectObject(dc, oldBrush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void SECBmpMenuPlugIn::DrawDisabledImage(HDC dc, int x, int y, SIZE size, HDC image, int sourceX)
{
    // The picture is what is neither transparent nor white.
    SECMonoMask mask(dc, size.cx, size.cy);
    mask.Whiten(image, sourceX, 0, TransparentColour(image));
    mask.Whiten(image, sourceX, 0, RGB(255, 255, 255));
    DrawEmbossedMask(dc, x, y, size.cx, size.cy, mask.GetDC());
}

// ---- mnemonics and changes of the system's look

LRESULT SECBmpMenuPlugIn::OnMenuChar(wchar_t typed, UINT, HMENU menu)
{
    wchar_t upper = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(typed)));
    std::vector<int> matches;
    int highlighted = -1;
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
        MENUITEMINFOW item { sizeof item };
        item.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE | MIIM_ID;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item))
            continue;
        if (item.fState & MFS_HILITE)
            highlighted = i;
        SECBmpMenuItemInfo* record = (item.fType & MFT_OWNERDRAW) ? RecordOf(item.dwItemData) : nullptr;
        if (record && !m_foreignItems.contains(item.wID) && record->mnemonic == upper)
            matches.push_back(i);
    }
    if (matches.empty())
        return 0;
    LRESULT answer;
    if (matches.size() == 1) {
        answer = MAKELRESULT(static_cast<WORD>(matches.front()), MNC_EXECUTE);
    } else {
        auto next = std::ranges::find_if(matches, [highlighted](int i) { return i > highlighted; });
        answer = MAKELRESULT(static_cast<WORD>(next == matches.end() ? matches.front() : *next), MNC_SELECT);
    }
    SetHandled(answer);
    return answer;
}

void SECBmpMenuPlugIn::OnSysColorChange()
{
    if (m_hDitherBrush)
        DeleteObject(m_hDitherBrush);
    m_hDitherBrush = nullptr;
    m_pBmpMgr->ReloadAll();
}

void SECBmpMenuPlugIn::OnSettingChange()
{
    m_menuFont.DeleteObject();
    m_boldMenuFont.DeleteObject();
    m_pBmpMgr->ReloadAll();
    CleanUpMenus();
    RemeasureItems();
}
