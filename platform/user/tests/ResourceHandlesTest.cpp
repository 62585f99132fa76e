#include "data/handles.h"

#include "platform/base/ErrorCodes.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/ResourceHandles.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

LPCWSTR Id(int id) { return MAKEINTRESOURCEW(id); }

CString MenuText(HMENU menu, UINT position)
{
    wchar_t text[64] {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

MENUITEMINFOW ItemInfo(HMENU menu, UINT position)
{
    MENUITEMINFOW info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    EXPECT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info));
    return info;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info {};
    EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), int(sizeof info));
    return { info.bmWidth, info.bmHeight };
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

// An icon drawn at its own size over a teal background, read back pixel by pixel.
class DrawnIcon {
public:
    explicit DrawnIcon(HICON icon)
    {
        ICONINFO info {};
        EXPECT_TRUE(GetIconInfo(icon, &info));
        hotSpot = { LONG(info.xHotspot), LONG(info.yHotspot) };
        isIcon = info.fIcon;
        size = BitmapSize(info.hbmMask);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        BITMAPINFO header {};
        header.bmiHeader = { sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, 0, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        RECT all { 0, 0, size.cx, size.cy };
        HBRUSH teal = CreateSolidBrush(kBackground);
        FillRect(m_dc, &all, teal);
        DeleteObject(teal);
        DrawIconEx(m_dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    ~DrawnIcon()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

    static constexpr COLORREF kBackground = RGB(0, 128, 128);
    SIZE size {};
    POINT hotSpot {};
    BOOL isIcon = FALSE;

private:
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

std::string DataFile(const char* name) { return std::string(FLN_TEST_DATA_DIR) + "/" + name; }

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

std::wstring WriteTemporary(const char* name, const std::vector<BYTE>& bytes)
{
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return NarrowToWide(path.c_str());
}

void PutWord(std::vector<BYTE>& out, unsigned value) { out.insert(out.end(), { BYTE(value), BYTE(value >> 8) }); }
void PutDword(std::vector<BYTE>& out, unsigned value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}
void PutInfoHeader(std::vector<BYTE>& out, int width, int height, int bits)
{
    PutDword(out, 40);
    PutDword(out, unsigned(width));
    PutDword(out, unsigned(height));
    PutWord(out, 1);
    PutWord(out, unsigned(bits));
    for (int i = 0; i < 6; ++i)
        PutDword(out, 0);
}

// ---- menus

TEST(ResourceMenus, StandardLayoutKeepsPopupsSeparatorsAndStates)
{
    HMENU menu = LoadMenuW(nullptr, Id(IDR_MAIN));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 0), L"&File");
    EXPECT_EQ(GetMenuItemID(menu, 1), UINT(ID_HELP_ABOUT));
    EXPECT_TRUE(ItemInfo(menu, 1).fType & MF_HELP);

    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(MenuText(file, 0), L"&New\tCtrl+N");
    EXPECT_EQ(GetMenuItemID(file, 0), UINT(ID_FILE_NEW));
    EXPECT_TRUE(GetMenuState(file, ID_FILE_OPEN, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);

    HMENU view = GetSubMenu(file, 3);
    ASSERT_NE(view, nullptr);
    MENUITEMINFOW big = ItemInfo(view, 0), small = ItemInfo(view, 1);
    EXPECT_EQ(big.wID, UINT(ID_VIEW_BIG));
    EXPECT_TRUE(big.fState & MFS_CHECKED);
    EXPECT_TRUE(big.fType & MF_MENUBREAK);
    EXPECT_TRUE(GetMenuState(view, ID_VIEW_SMALL, MF_BYCOMMAND) & MF_DISABLED);
    EXPECT_FALSE(GetMenuState(view, ID_VIEW_SMALL, MF_BYCOMMAND) & MF_GRAYED & ~MF_DISABLED);
    EXPECT_TRUE(small.fType & MF_MENUBARBREAK);
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST(ResourceMenus, ExtendedLayoutKeepsTypesStatesAndPopupIds)
{
    HMENU menu = LoadMenuW(nullptr, Id(IDR_EXTENDED));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    MENUITEMINFOW popup = ItemInfo(menu, 0);
    EXPECT_EQ(popup.wID, 77u);
    EXPECT_EQ(popup.fState & MFS_GRAYED, MFS_GRAYED);
    ASSERT_NE(popup.hSubMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup.hSubMenu), 3);
    MENUITEMINFOW big = ItemInfo(popup.hSubMenu, 0), separator = ItemInfo(popup.hSubMenu, 1), small = ItemInfo(popup.hSubMenu, 2);
    EXPECT_EQ(MenuText(popup.hSubMenu, 0), L"&Big");
    EXPECT_TRUE(big.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(big.fState & MFS_CHECKED);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    EXPECT_EQ(small.wID, UINT(ID_VIEW_SMALL));
    EXPECT_EQ(small.fState & (MFS_GRAYED | MFS_DEFAULT), MFS_GRAYED | MFS_DEFAULT);
    DestroyMenu(menu);
}

TEST(ResourceMenus, IndirectReadsTheSameTemplateAndAHandMadeOne)
{
    HRSRC found = FindResourceW(nullptr, Id(IDR_EXTENDED), RT_MENU);
    ASSERT_NE(found, nullptr);
    HMENU menu = LoadMenuIndirectW(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 3);
    DestroyMenu(menu);

    // Version 0, no header extra; one item, the last one: MF_END | MF_CHECKED, id 7, "Go".
    const WORD handMade[] = { 0, 0, MF_END | MF_CHECKED, 7, L'G', L'o', 0 };
    menu = LoadMenuIndirectW(handMade);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(menu, 0), 7u);
    EXPECT_EQ(MenuText(menu, 0), L"Go");
    EXPECT_TRUE(GetMenuState(menu, 7, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
}

// ---- accelerators

TEST(ResourceAccelerators, TableRoundTrips)
{
    HACCEL table = LoadAcceleratorsW(nullptr, Id(IDR_MAIN));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 4);
    ACCEL entries[4] {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 4);
    EXPECT_EQ(entries[0].fVirt & ~FNOINVERT, FVIRTKEY | FCONTROL);
    EXPECT_EQ(entries[0].key, 'N');
    EXPECT_EQ(entries[0].cmd, ID_FILE_NEW);
    EXPECT_EQ(entries[1].fVirt & ~FNOINVERT, FVIRTKEY | FCONTROL | FSHIFT);
    EXPECT_EQ(entries[1].cmd, ID_FILE_OPEN);
    EXPECT_EQ(entries[2].fVirt & FVIRTKEY, 0);
    EXPECT_EQ(entries[2].key, 3); // Ctrl+C as a character
    EXPECT_EQ(entries[3].key, 0x70); // F1
    EXPECT_EQ(entries[3].cmd, ID_HELP_ABOUT);
    EXPECT_TRUE(DestroyAcceleratorTable(table));
}

// ---- missing names

TEST(ResourceHandles, MissingOrWrongNamesGiveNullWithTheReason)
{
    struct Case {
        const char* what;
        std::function<HANDLE()> load;
        DWORD error;
    };
    const Case cases[] = {
        { "menu", [] { return HANDLE(LoadMenuW(nullptr, Id(999))); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "menu by text", [] { return HANDLE(LoadMenuW(nullptr, L"NOSUCHMENU")); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "accelerators", [] { return HANDLE(LoadAcceleratorsW(nullptr, Id(IDR_EXTENDED))); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "bitmap", [] { return HANDLE(LoadBitmapW(nullptr, Id(999))); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "icon", [] { return HANDLE(LoadIconW(nullptr, Id(IDB_GREYS))); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "cursor", [] { return HANDLE(LoadCursorW(nullptr, Id(IDI_SQUARE))); }, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "image type", [] { return LoadImageW(nullptr, Id(IDB_GREYS), 7, 0, 0, 0); }, ERROR_INVALID_PARAMETER },
        { "damaged template", [] {
             const WORD bad[] = { 9, 0, 0 };
             return HANDLE(LoadMenuIndirectW(bad));
         }, ERROR_RESOURCE_DATA_NOT_FOUND },
        { "file", [] { return LoadImageW(nullptr, L"/nonexistent/x.png", IMAGE_ICON, 0, 0, LR_LOADFROMFILE); }, ERROR_FILE_NOT_FOUND },
        { "file that is no image", [] {
             std::wstring path = WriteTemporary("not-an-image.ico", { 'h', 'e', 'l', 'l', 'o', '!', '!' });
             return LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
         }, ERROR_INVALID_PARAMETER },
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.load(), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
}

// ---- bitmaps

TEST(ResourceBitmaps, LoadBitmapKeepsThePixels)
{
    HBITMAP bitmap = LoadBitmapW(nullptr, Id(IDB_GREYS));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(BitmapSize(bitmap).cx, 4);
    EXPECT_EQ(BitmapSize(bitmap).cy, 2);
    EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(bitmap, 1, 0), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(bitmap, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(bitmap, 1, 1), RGB(0, 255, 0));
    DIBSECTION section {};
    EXPECT_NE(GetObjectW(bitmap, sizeof section, &section), int(sizeof section)) << "a device bitmap, not a DIB section";
    DeleteObject(bitmap);

    HBITMAP palette = LoadBitmapW(nullptr, Id(IDB_PALETTE));
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(PixelOf(palette, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(PixelOf(palette, 2, 0), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(palette, 2, 1), RGB(0, 0, 0));
    DeleteObject(palette);
}

TEST(ResourceBitmaps, ColourFlagsAndSizes)
{
    COLORREF window = GetSysColor(COLOR_WINDOW);
    auto greys = [](UINT flags, int cx = 0, int cy = 0) {
        return static_cast<HBITMAP>(LoadImageW(nullptr, Id(IDB_GREYS), IMAGE_BITMAP, cx, cy, flags));
    };

    HBITMAP mapped = greys(LR_LOADMAP3DCOLORS);
    EXPECT_EQ(PixelOf(mapped, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(mapped, 1, 0), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(PixelOf(mapped, 2, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelOf(mapped, 3, 0), GetSysColor(COLOR_3DLIGHT));
    DeleteObject(mapped);

    HBITMAP transparent = greys(LR_LOADTRANSPARENT);
    EXPECT_EQ(PixelOf(transparent, 0, 0), window);
    EXPECT_EQ(PixelOf(transparent, 3, 1), window) << "every pixel of the first pixel's colour";
    EXPECT_EQ(PixelOf(transparent, 0, 1), RGB(0, 0, 255));
    DeleteObject(transparent);

    HBITMAP palette = static_cast<HBITMAP>(LoadImageW(nullptr, Id(IDB_PALETTE), IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT));
    EXPECT_EQ(PixelOf(palette, 0, 0), window);
    EXPECT_EQ(PixelOf(palette, 1, 1), window);
    EXPECT_EQ(PixelOf(palette, 1, 0), RGB(0, 0, 0));
    DeleteObject(palette);

    HBITMAP section = greys(LR_CREATEDIBSECTION);
    DIBSECTION info {};
    ASSERT_EQ(GetObjectW(section, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.dsBmih.biBitCount, 32);
    EXPECT_EQ(PixelOf(section, 1, 1), RGB(0, 255, 0));
    DeleteObject(section);

    HBITMAP scaled = greys(LR_CREATEDIBSECTION, 8, 4);
    EXPECT_EQ(BitmapSize(scaled).cx, 8);
    EXPECT_EQ(BitmapSize(scaled).cy, 4);
    EXPECT_EQ(PixelOf(scaled, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(scaled, 3, 1), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(scaled, 7, 3), RGB(255, 0, 0));
    DeleteObject(scaled);
}

TEST(ResourceBitmaps, SystemBitmapsAreMonochromeMarks)
{
    for (LPCWSTR name : { OBM_CHECK, OBM_MNARROW }) {
        HBITMAP bitmap = LoadBitmapW(nullptr, name);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info {};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 13);
        EXPECT_EQ(info.bmHeight, 13);
        EXPECT_EQ(info.bmBitsPixel, 1);
        EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(255, 255, 255));
        EXPECT_EQ(PixelOf(bitmap, 5, 7), RGB(0, 0, 0));
        DeleteObject(bitmap);
    }
}

TEST(ResourceBitmaps, FilesInPngAndBmpForm)
{
    std::wstring png = NarrowToWide(DataFile("greys.png").c_str());
    HBITMAP fromPng = static_cast<HBITMAP>(LoadImageW(nullptr, png.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_LOADMAP3DCOLORS));
    ASSERT_NE(fromPng, nullptr);
    EXPECT_EQ(PixelOf(fromPng, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(fromPng, 1, 0), GetSysColor(COLOR_3DFACE));
    DeleteObject(fromPng);

    // A 2 x 1 24-bit file whose rows start after a gap the file header points over.
    std::vector<BYTE> bmp { 'B', 'M' };
    PutDword(bmp, 0);
    PutDword(bmp, 0);
    PutDword(bmp, 14 + 40 + 4);
    PutInfoHeader(bmp, 2, 1, 24);
    bmp.insert(bmp.end(), { 0xEE, 0xEE, 0xEE, 0xEE, /* row: */ 0xFF, 0, 0, 0, 0, 0xFF, 0, 0 });
    std::wstring path = WriteTemporary("two.bmp", bmp);
    HBITMAP fromBmp = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(fromBmp, nullptr);
    EXPECT_EQ(PixelOf(fromBmp, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(fromBmp, 1, 0), RGB(255, 0, 0));
    DeleteObject(fromBmp);

    bmp.resize(bmp.size() - 3); // the row cut short
    path = WriteTemporary("short.bmp", bmp);
    EXPECT_EQ(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);

    // The long header image editors write: 32-bit bit fields, masks inside the header.
    auto longHeader = [](unsigned redMask) {
        std::vector<BYTE> file { 'B', 'M' };
        PutDword(file, 0);
        PutDword(file, 0);
        PutDword(file, 14 + 124);
        std::vector<BYTE> header;
        PutInfoHeader(header, 1, 1, 32);
        header[0] = 124;
        header[16] = 3; // bit fields
        for (unsigned mask : { redMask, 0xFF00u, 0xFFu, 0xFF000000u })
            PutDword(header, mask);
        header.resize(124, 0);
        file.insert(file.end(), header.begin(), header.end());
        file.insert(file.end(), { 0x10, 0x20, 0x30, 0xFF });
        return file;
    };
    path = WriteTemporary("long.bmp", longHeader(0xFF0000));
    HBITMAP fromLong = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(fromLong, nullptr);
    EXPECT_EQ(PixelOf(fromLong, 0, 0), RGB(0x30, 0x20, 0x10));
    DeleteObject(fromLong);
    path = WriteTemporary("odd-masks.bmp", longHeader(0xF800));
    EXPECT_EQ(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr) << "masks it cannot read";
}

// ---- icons and cursors

TEST(ResourceIcons, OwnSizeKeepsPixelsAndOpacity)
{
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, Id(IDI_SQUARE), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr);
    DrawnIcon drawn(icon);
    EXPECT_TRUE(drawn.isIcon);
    EXPECT_EQ(drawn.size.cx, 16);
    EXPECT_EQ(drawn.Pixel(1, 1), DrawnIcon::kBackground);
    EXPECT_EQ(drawn.Pixel(5, 5), RGB(0, 160, 0));
    EXPECT_EQ(drawn.Pixel(8, 8), RGB(0, 0, 255));
    DestroyIcon(icon);
}

TEST(ResourceIcons, LoadIconIsSharedAtTheSystemSize)
{
    HICON icon = LoadIconW(nullptr, Id(IDI_SQUARE));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, Id(IDI_SQUARE)), icon);
    DrawnIcon drawn(icon);
    EXPECT_EQ(drawn.size.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(drawn.Pixel(1, 1), DrawnIcon::kBackground);
    EXPECT_EQ(drawn.Pixel(10, 10), RGB(0, 160, 0));

    HICON own = static_cast<HICON>(LoadImageW(nullptr, Id(IDI_SQUARE), IMAGE_ICON, 24, 24, 0));
    EXPECT_NE(own, icon);
    EXPECT_EQ(DrawnIcon(own).size.cx, 24);
    DestroyIcon(own);

    HICON sharedOwnSize = static_cast<HICON>(LoadImageW(nullptr, Id(IDI_SQUARE), IMAGE_ICON, 0, 0, LR_SHARED));
    EXPECT_EQ(DrawnIcon(sharedOwnSize).size.cx, 16) << "the system size only with LR_DEFAULTSIZE";
}

TEST(ResourceIcons, ASharedIconDestroyedByMistakeIsLoadedAgain)
{
    HICON first = LoadIconW(nullptr, IDI_QUESTION);
    ASSERT_TRUE(DestroyIcon(first));
    HICON again = LoadIconW(nullptr, IDI_QUESTION);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DrawnIcon(again).Pixel(8, 16), RGB(255, 255, 255));
}

TEST(ResourceIcons, StandardIconsAreDrawn)
{
    struct Case {
        LPCWSTR name;
        POINT at;
        COLORREF colour;
    };
    const Case cases[] = {
        { IDI_HAND, { 6, 16 }, RGB(224, 32, 32) },
        { IDI_EXCLAMATION, { 8, 25 }, RGB(255, 224, 0) },
        { IDI_ASTERISK, { 8, 16 }, RGB(255, 255, 255) },
        { IDI_ASTERISK, { 16, 20 }, RGB(0, 0, 192) },
        { IDI_QUESTION, { 8, 16 }, RGB(255, 255, 255) },
        { IDI_APPLICATION, { 16, 8 }, RGB(0, 0, 128) },
        { IDI_APPLICATION, { 16, 20 }, RGB(255, 255, 255) },
        { IDI_WINLOGO, { 16, 20 }, RGB(255, 255, 255) },
    };
    for (const Case& c : cases) {
        HICON icon = LoadIconW(nullptr, c.name);
        ASSERT_NE(icon, nullptr);
        DrawnIcon drawn(icon);
        EXPECT_EQ(drawn.size.cx, 32);
        EXPECT_EQ(drawn.size.cy, 32);
        EXPECT_EQ(drawn.Pixel(0, 0), DrawnIcon::kBackground) << reinterpret_cast<ULONG_PTR>(c.name);
        EXPECT_EQ(drawn.Pixel(c.at.x, c.at.y), c.colour) << reinterpret_cast<ULONG_PTR>(c.name);
    }
    EXPECT_EQ(LoadIconW(nullptr, IDI_ERROR), LoadIconW(nullptr, IDI_HAND));
}

TEST(ResourceCursors, HotSpotFollowsTheSizeAndStandardCursorsStay)
{
    HCURSOR cursor = LoadCursorW(nullptr, Id(IDC_HAND_AT));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, Id(IDC_HAND_AT)), cursor);
    DrawnIcon shared(cursor);
    EXPECT_FALSE(shared.isIcon);
    EXPECT_EQ(shared.size.cx, GetSystemMetrics(SM_CXCURSOR));
    EXPECT_EQ(shared.hotSpot.x, 3 * shared.size.cx / 16);
    EXPECT_EQ(shared.hotSpot.y, 5 * shared.size.cy / 16);

    HCURSOR own = static_cast<HCURSOR>(LoadImageW(nullptr, Id(IDC_HAND_AT), IMAGE_CURSOR, 0, 0, 0));
    DrawnIcon drawn(own);
    EXPECT_EQ(drawn.size.cx, 16);
    EXPECT_EQ(drawn.hotSpot.x, 3);
    EXPECT_EQ(drawn.hotSpot.y, 5);
    EXPECT_EQ(drawn.Pixel(8, 8), RGB(0, 0, 255));
    DestroyCursor(own);

    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HCURSOR>(IDC_ARROW));
}

TEST(ResourceIcons, FilesInPngAndIcoForm)
{
    std::wstring png = NarrowToWide(DataFile("large.png").c_str());
    HICON fromPng = static_cast<HICON>(LoadImageW(nullptr, png.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(fromPng, nullptr);
    DrawnIcon yellow(fromPng);
    EXPECT_EQ(yellow.size.cx, 32);
    EXPECT_EQ(yellow.Pixel(3, 3), RGB(255, 255, 0));
    DestroyIcon(fromPng);

    std::wstring opaque = NarrowToWide(DataFile("opaque.png").c_str());
    HICON fromOpaque = static_cast<HICON>(LoadImageW(nullptr, opaque.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(fromOpaque, nullptr);
    DrawnIcon solid(fromOpaque);
    EXPECT_EQ(solid.Pixel(0, 0), RGB(10, 20, 30)) << "a file without opacity is opaque";
    EXPECT_EQ(solid.Pixel(1, 0), RGB(40, 50, 60));
    DestroyIcon(fromOpaque);

    // Two images: the 16 x 16 PNG, and a 32 x 32 24-bit red DIB whose mask leaves column 0 transparent.
    std::vector<BYTE> square = ReadBytes(DataFile("square.png"));
    std::vector<BYTE> dib;
    PutInfoHeader(dib, 32, 64, 24);
    for (int i = 0; i < 32 * 32; ++i)
        dib.insert(dib.end(), { 0, 0, 0xFF });
    for (int row = 0; row < 32; ++row)
        dib.insert(dib.end(), { 0x80, 0, 0, 0 });
    std::vector<BYTE> ico;
    PutWord(ico, 0);
    PutWord(ico, 1);
    PutWord(ico, 2);
    unsigned offset = 6 + 2 * 16;
    for (auto [side, image] : { std::pair { 16, &square }, std::pair { 32, &dib } }) {
        ico.insert(ico.end(), { BYTE(side), BYTE(side), 0, 0 });
        PutWord(ico, 1);
        PutWord(ico, 32);
        PutDword(ico, unsigned(image->size()));
        PutDword(ico, offset);
        offset += unsigned(image->size());
    }
    ico.insert(ico.end(), square.begin(), square.end());
    ico.insert(ico.end(), dib.begin(), dib.end());
    std::wstring path = WriteTemporary("two.ico", ico);

    HICON large = static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    ASSERT_NE(large, nullptr);
    DrawnIcon red(large);
    EXPECT_EQ(red.size.cx, 32);
    EXPECT_EQ(red.Pixel(0, 5), DrawnIcon::kBackground);
    EXPECT_EQ(red.Pixel(1, 5), RGB(255, 0, 0));
    DestroyIcon(large);

    HICON small = static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(DrawnIcon(small).Pixel(8, 8), RGB(0, 0, 255));
    DestroyIcon(small);

    ico.resize(ico.size() - 100); // the last image cut short
    path = WriteTemporary("cut.ico", ico);
    SetLastError(0);
    EXPECT_EQ(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// ---- files whose headers say more than a picture may hold

std::vector<BYTE> BlankPng(int width, int height)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    std::vector<BYTE> bytes;
    auto append = [](void* closure, const unsigned char* data, unsigned length) {
        auto& out = *static_cast<std::vector<BYTE>*>(closure);
        out.insert(out.end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_write_to_png_stream(surface, append, &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

// A PNG of a few kilobytes may declare gigabytes of pixels; one that a bitmap could not hold is
// refused before it is decoded, whatever it is loaded as.
TEST(ResourceImages, APngWiderOrTallerThanABitmapIsRefused)
{
    for (auto [width, height] : { std::pair { 16385, 1 }, std::pair { 1, 16385 } }) {
        std::wstring path = WriteTemporary("large-side.png", BlankPng(width, height));
        for (UINT type : { IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR }) {
            SetLastError(0);
            EXPECT_EQ(LoadImageW(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE), nullptr) << width << " x " << height;
            EXPECT_NE(GetLastError(), DWORD(0));
        }
    }
    std::wstring path = WriteTemporary("widest.png", BlankPng(16384, 1));
    HBITMAP widest = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(widest, nullptr);
    EXPECT_EQ(BitmapSize(widest).cx, 16384);
    DeleteObject(widest);
}

} // namespace
