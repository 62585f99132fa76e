// The layouts written by the resource compiler for data/everything.rc, read back by the template
// readers that menus, dialogs and images are made from.

#include "platform/res/Resources.h"
#include "platform/res/Templates.h"

#include "data/everything.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <span>

using namespace fln::res;

namespace {

std::span<const BYTE> Resource(LPCWSTR type, int id)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    EXPECT_NE(resource, nullptr) << id;
    if (!resource)
        return {};
    return { static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource))), SizeofResource(nullptr, resource) };
}

constexpr DWORD kChildVisible = 0x50000000;

TEST(DialogTemplate, HeaderWithFontMenuClassAndCaption)
{
    auto data = Resource(RT_DIALOG, IDD_ABOUT);
    auto dialog = DecodeDialogTemplate(data.data(), data.size());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->helpId, 77u);
    EXPECT_EQ(dialog->exStyle, 0x200u);
    EXPECT_EQ(dialog->style, 0x80C800C8u); // DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
    EXPECT_EQ(dialog->cx, 200);
    EXPECT_EQ(dialog->cy, 120);
    EXPECT_EQ(dialog->menu.ordinal, IDR_MAINFRAME);
    EXPECT_FALSE(dialog->windowClass.IsOrdinal());
    EXPECT_EQ(dialog->windowClass.text, L"FormulonDialog");
    EXPECT_EQ(dialog->title, L"About Formulon");
    ASSERT_TRUE(dialog->hasFont);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->weight, 400);
    EXPECT_EQ(dialog->italic, 0);
    EXPECT_EQ(dialog->charset, 1);
    EXPECT_EQ(dialog->typeface, L"MS Shell Dlg");
    EXPECT_EQ(dialog->items.size(), 17u);
}

TEST(DialogTemplate, EachControlStatementWithItsDefaultStyles)
{
    auto data = Resource(RT_DIALOG, IDD_ABOUT);
    auto dialog = DecodeDialogTemplate(data.data(), data.size());
    ASSERT_TRUE(dialog);
    struct Expected {
        DWORD id;
        WORD classOrdinal; // 0: a class name
        DWORD style;
        const wchar_t* title;
        WORD titleOrdinal;
    };
    const Expected expected[] = {
        { IDC_NAME, 0x82, kChildVisible | 0x20000, L"&Name:", 0 },           // LTEXT
        { IDC_RIGHT, 0x82, kChildVisible | 0x2, L"Right", 0 },               // RTEXT, NOT WS_GROUP
        { IDC_CENTRE, 0x82, kChildVisible | 0x20001, L"Centre", 0 },         // CTEXT
        { IDC_EDIT, 0x81, kChildVisible | 0x10080, L"", 0 },                 // EDITTEXT, NOT WS_BORDER
        { 1, 0x80, kChildVisible | 0x10001, L"OK", 0 },                      // DEFPUSHBUTTON
        { 2, 0x80, kChildVisible | 0x10000, L"Cancel", 0 },                  // PUSHBUTTON
        { IDC_GROUP, 0x80, kChildVisible | 0x7, L"Group", 0 },               // GROUPBOX
        { IDC_CHECK, 0x80, kChildVisible | 0x10002, L"Check", 0 },           // CHECKBOX
        { IDC_AUTOCHECK, 0x80, kChildVisible | 0x10003, L"Auto check", 0 },  // AUTOCHECKBOX
        { IDC_RADIO, 0x80, kChildVisible | 0x30009, L"Radio", 0 },           // AUTORADIOBUTTON
        { IDC_COMBO, 0x85, kChildVisible | 0x210003, L"", 0 },               // COMBOBOX
        { IDC_LIST, 0x83, kChildVisible | 0x800003, L"", 0 },                // LISTBOX
        { IDC_SCROLL, 0x84, kChildVisible | 0x1, L"", 0 },                   // SCROLLBAR
        { IDC_ICON, 0x82, kChildVisible | 0x3, nullptr, IDI_APP },           // ICON
        { IDC_SPIN, 0, kChildVisible | 0x4, L"", 0 },                        // CONTROL with a class name
        { 0xFFFFFFFF, 0x82, kChildVisible | 0x200, L"Text", 0 },             // CONTROL "Static"
        { 0xFFFFFFFF, 0x82, kChildVisible | 0xE, nullptr, IDB_PALETTE },     // CONTROL STATIC, bitmap
    };
    ASSERT_EQ(dialog->items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const DialogItemTemplate& item = dialog->items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.windowClass.ordinal, expected[i].classOrdinal);
        EXPECT_EQ(item.style, expected[i].style);
        if (expected[i].title) {
            EXPECT_EQ(item.title.text, expected[i].title);
        }
        EXPECT_EQ(item.title.ordinal, expected[i].titleOrdinal);
        EXPECT_TRUE(item.creationData.empty());
    }
    const DialogItemTemplate& edit = dialog->items[3];
    EXPECT_EQ(edit.exStyle, 0x200u);
    EXPECT_EQ(edit.helpId, 5u);
    EXPECT_EQ(std::tuple(edit.x, edit.y, edit.cx, edit.cy), std::tuple(7, 20, 100, 14));
    EXPECT_EQ(std::tuple(dialog->items[13].x, dialog->items[13].y, dialog->items[13].cx), std::tuple(100, 95, 0));
    EXPECT_EQ(dialog->items[14].windowClass.text, L"msctls_updown32");
}

TEST(DialogTemplate, DefaultsWithoutStyleOrFont)
{
    auto data = Resource(RT_DIALOG, IDD_OPTIONS);
    auto dialog = DecodeDialogTemplate(data.data(), data.size());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style, 0x80C80000u); // WS_POPUP | WS_BORDER | WS_SYSMENU, with WS_CAPTION for the caption
    EXPECT_FALSE(dialog->hasFont);
    EXPECT_EQ(dialog->title, L"Options \"quoted\"");
    EXPECT_EQ(std::tuple(dialog->x, dialog->y, dialog->cx, dialog->cy), std::tuple(10, 20, 30, 40));
    EXPECT_TRUE(dialog->items.empty());
    EXPECT_EQ(dialog->menu.ordinal, 0);
    EXPECT_TRUE(dialog->menu.text.IsEmpty());
}

TEST(DialogTemplate, StandardLayoutWithTheButtonStatements)
{
    auto data = Resource(RT_DIALOG, IDD_STANDARD);
    auto dialog = DecodeDialogTemplate(data.data(), data.size());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80C000C0u); // DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
    EXPECT_EQ(std::tuple(dialog->x, dialog->y, dialog->cx, dialog->cy), std::tuple(5, 6, 150, 80));
    EXPECT_EQ(dialog->title, L"Standard");
    ASSERT_TRUE(dialog->hasFont);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->weight, 0); // the standard layout has no weight
    EXPECT_EQ(dialog->typeface, L"MS Sans Serif");
    struct Expected {
        DWORD id;
        WORD classOrdinal;
        DWORD style;
        DWORD exStyle;
        const wchar_t* title;
    };
    const Expected expected[] = {
        { IDC_RADIO, 0x80, kChildVisible | 0x30004, 0, L"One" },          // RADIOBUTTON
        { IDC_CHECK, 0x80, kChildVisible | 0x10005, 0, L"Three" },        // STATE3
        { IDC_AUTOCHECK, 0x80, kChildVisible | 0x10006, 0, L"Auto three" }, // AUTO3STATE
        { IDC_EDIT, 0x81, kChildVisible | 0x10080 | 0x800000, 0x200, L"" }, // EDITTEXT
        { 0xFFFF, 0x82, kChildVisible | 0x20000, 0, L"Static" },         // 16-bit ids: IDC_STATIC
    };
    ASSERT_EQ(dialog->items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const DialogItemTemplate& item = dialog->items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.windowClass.ordinal, expected[i].classOrdinal);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.exStyle, expected[i].exStyle);
        EXPECT_EQ(item.title.text, expected[i].title);
        EXPECT_EQ(item.helpId, 0u);
    }
    EXPECT_EQ(std::tuple(dialog->items[3].x, dialog->items[3].y, dialog->items[3].cx, dialog->items[3].cy), std::tuple(7, 46, 60, 12));
}

TEST(DialogInit, EntriesInOrderWithTheirStrings)
{
    auto data = Resource(RT_DLGINIT, IDD_ABOUT);
    auto entries = DecodeDialogInit(data.data(), data.size());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    const char* texts[] = { "One", "Three" };
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((*entries)[i].controlId, IDC_COMBO);
        EXPECT_EQ((*entries)[i].message, 0x403);
        std::string text((*entries)[i].data.begin(), (*entries)[i].data.end());
        EXPECT_EQ(text, std::string(texts[i]) + '\0');
    }
}

TEST(MenuTemplate, StandardLayoutWithNestedPopupsAndOptions)
{
    auto data = Resource(RT_MENU, IDR_MAINFRAME);
    auto menu = DecodeMenuTemplate(data.data(), data.size());
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->extended);
    ASSERT_EQ(menu->items.size(), 2u);
    const MenuTemplateItem& file = menu->items[0];
    EXPECT_TRUE(file.isPopup);
    EXPECT_EQ(file.text, L"&File");
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_EQ(file.children[0].text, L"&New\tCtrl+N");
    EXPECT_EQ(file.children[0].id, ID_FILE_NEW);
    EXPECT_EQ(file.children[0].options, 0u);
    EXPECT_EQ(file.children[1].options, MF_GRAYED);
    EXPECT_TRUE(file.children[2].isSeparator);
    const MenuTemplateItem& view = file.children[3];
    ASSERT_TRUE(view.isPopup);
    ASSERT_EQ(view.children.size(), 2u);
    EXPECT_EQ(view.children[0].options, MF_CHECKED | MF_MENUBREAK);
    EXPECT_EQ(view.children[1].options, MF_DISABLED | MF_MENUBARBREAK);
    EXPECT_EQ(view.children[1].id, ID_VIEW_SMALL);
    EXPECT_EQ(menu->items[1].options, MF_HELP);
    EXPECT_EQ(menu->items[1].id, ID_HELP_ABOUT);

    auto context = Resource(RT_MENU, IDR_CONTEXT);
    auto single = DecodeMenuTemplate(context.data(), context.size());
    ASSERT_TRUE(single);
    ASSERT_EQ(single->items.size(), 1u);
    EXPECT_EQ(single->items[0].id, ID_EDIT_COPY);
}

TEST(MenuTemplate, ExtendedLayout)
{
    auto data = Resource(RT_MENU, IDR_EXTENDED);
    auto menu = DecodeMenuTemplate(data.data(), data.size());
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->extended);
    ASSERT_EQ(menu->items.size(), 2u);
    const MenuTemplateItem& view = menu->items[0];
    EXPECT_TRUE(view.isPopup);
    EXPECT_EQ(view.helpId, 99u);
    ASSERT_EQ(view.children.size(), 3u);
    EXPECT_EQ(view.children[0].id, ID_VIEW_WRAP);
    EXPECT_EQ(view.children[0].type, 0x200u);
    EXPECT_EQ(view.children[0].state, 0x8u);
    EXPECT_TRUE(view.children[1].isSeparator);
    EXPECT_EQ(view.children[2].type, 0u); // left empty
    EXPECT_EQ(view.children[2].state, 0x3u);
    EXPECT_EQ(menu->items[1].text, L"Plain");
    EXPECT_EQ(menu->items[1].id, 0u);
}

TEST(AcceleratorTable, KeysFlagsAndCommands)
{
    auto data = Resource(RT_ACCELERATOR, IDR_MAINFRAME);
    auto table = DecodeAcceleratorTable(data.data(), data.size());
    ASSERT_TRUE(table);
    struct Expected {
        BYTE flags;
        WORD key;
        WORD command;
    };
    const Expected expected[] = {
        { 0x01 | 0x08 | 0x02, 'N', ID_FILE_NEW },
        { 0x01 | 0x08 | 0x04, 'O', ID_FILE_OPEN }, // letters of virtual keys are capitals
        { 0, 3, ID_EDIT_COPY },                    // "^C" is the control character
        { 0x10, 'a', ID_VIEW_BIG },
        { 0x01, VK_F1, ID_HELP_ABOUT },
        { 0x01 | 0x10, VK_DELETE, ID_EDIT_COPY },
        { 0x01 | 0x04 | 0x10 | 0x08, VK_INSERT, ID_EDIT_COPY },
    };
    ASSERT_EQ(table->size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((*table)[i].flags, expected[i].flags);
        EXPECT_EQ((*table)[i].key, expected[i].key);
        EXPECT_EQ((*table)[i].command, expected[i].command);
    }
    EXPECT_EQ(data[data.size() - 8] & 0x80, 0x80); // the last entry is marked
}

TEST(ToolBarTemplate, ButtonsAndSeparators)
{
    auto data = Resource(RT_TOOLBAR, IDR_MAINFRAME);
    auto toolBar = DecodeToolBarTemplate(data.data(), data.size());
    ASSERT_TRUE(toolBar);
    EXPECT_EQ(toolBar->width, 16);
    EXPECT_EQ(toolBar->height, 15);
    EXPECT_EQ(toolBar->commands, (std::vector<WORD> { ID_FILE_NEW, ID_FILE_OPEN, 0, ID_HELP_ABOUT }));
}

struct DibHeader {
    DWORD size;
    LONG width;
    LONG height;
    WORD planes;
    WORD bitCount;
    DWORD compression;
    DWORD sizeImage;
    LONG xPelsPerMeter;
    LONG yPelsPerMeter;
    DWORD clrUsed;
    DWORD clrImportant;
};

TEST(Bitmap, PaletteImageKeepsItsColourTable)
{
    auto data = Resource(RT_BITMAP, IDB_PALETTE);
    DibHeader header;
    ASSERT_GE(data.size(), sizeof header);
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 4);
    EXPECT_EQ(header.height, 2);
    EXPECT_EQ(header.bitCount, 8);
    EXPECT_EQ(header.compression, 0u);
    ASSERT_GE(header.clrUsed, 4u);
    const BYTE* table = data.data() + 40;
    const BYTE* rows = table + 4 * header.clrUsed;
    ASSERT_EQ(data.size(), 40 + 4 * header.clrUsed + 2 * 4);
    auto colour = [&](int row, int column) { // row 0 is the image's top row
        const BYTE* entry = table + 4 * rows[(header.height - 1 - row) * 4 + column];
        return RGB(entry[2], entry[1], entry[0]);
    };
    EXPECT_EQ(colour(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(colour(0, 3), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(colour(1, 0), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(colour(1, 3), RGB(0xFF, 0xFF, 0xFF));
}

TEST(Bitmap, TrueColourImageIs32BitsBottomUp)
{
    auto data = Resource(RT_BITMAP, IDB_COLOUR);
    DibHeader header;
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, 2);
    EXPECT_EQ(header.bitCount, 32);
    EXPECT_EQ(header.clrUsed, 0u);
    EXPECT_EQ(header.sizeImage, 24u);
    ASSERT_EQ(data.size(), 40u + 24);
    const BYTE* bottom = data.data() + 40;
    const BYTE* top = bottom + 12;
    EXPECT_EQ(std::vector<BYTE>(top, top + 12), (std::vector<BYTE> { 0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255 }));
    EXPECT_EQ(std::vector<BYTE>(bottom, bottom + 12), (std::vector<BYTE> { 255, 255, 255, 128, 0, 0, 0, 255, 0, 255, 255, 255 }));
}

TEST(IconGroup, NamesItsPngImage)
{
    auto group = Resource(RT_GROUP_ICON, IDI_APP);
    auto entries = DecodeIconGroup(group.data(), group.size(), false);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    const IconGroupEntry& entry = entries->front();
    EXPECT_EQ(std::tuple(entry.width, entry.height, entry.bitCount), std::tuple(16, 16, 32));
    auto image = Resource(RT_ICON, entry.imageId);
    ASSERT_EQ(image.size(), entry.bytes);
    EXPECT_EQ(std::memcmp(image.data(), "\x89PNG", 4), 0);
    EXPECT_FALSE(DecodeIconGroup(group.data(), group.size(), true)); // not a cursor group
}

TEST(CursorGroup, ImageStartsWithTheHotSpot)
{
    auto group = Resource(RT_GROUP_CURSOR, IDC_POINTER);
    auto entries = DecodeIconGroup(group.data(), group.size(), true);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    auto image = Resource(RT_CURSOR, entries->front().imageId);
    ASSERT_EQ(image.size(), entries->front().bytes);
    EXPECT_EQ(image[0] | (image[1] << 8), 3);
    EXPECT_EQ(image[2] | (image[3] << 8), 5);
    EXPECT_EQ(std::memcmp(image.data() + 4, "\x89PNG", 4), 0);
}

TEST(TemplateReaders, RejectEveryCutOfAValidTemplate)
{
    struct Kind {
        LPCWSTR type;
        int id;
        bool (*decodes)(const BYTE*, std::size_t);
        std::vector<std::size_t> validCuts; // a menu of only its header; whole accelerator entries without the end mark fail
    };
    const Kind kinds[] = {
        { RT_DIALOG, IDD_ABOUT, [](const BYTE* d, std::size_t n) { return DecodeDialogTemplate(d, n).has_value(); }, {} },
        { RT_DIALOG, IDD_STANDARD, [](const BYTE* d, std::size_t n) { return DecodeDialogTemplate(d, n).has_value(); }, {} },
        { RT_DLGINIT, IDD_ABOUT, [](const BYTE* d, std::size_t n) { return DecodeDialogInit(d, n).has_value(); }, {} },
        { RT_MENU, IDR_MAINFRAME, [](const BYTE* d, std::size_t n) { return DecodeMenuTemplate(d, n).has_value(); }, { 4 } },
        { RT_MENU, IDR_EXTENDED, [](const BYTE* d, std::size_t n) { return DecodeMenuTemplate(d, n).has_value(); }, { 8, 138, 139 } },
        { RT_ACCELERATOR, IDR_MAINFRAME, [](const BYTE* d, std::size_t n) { return DecodeAcceleratorTable(d, n).has_value(); }, {} },
        { RT_TOOLBAR, IDR_MAINFRAME, [](const BYTE* d, std::size_t n) { return DecodeToolBarTemplate(d, n).has_value(); }, {} },
        { RT_GROUP_ICON, IDI_APP, [](const BYTE* d, std::size_t n) { return DecodeIconGroup(d, n, false).has_value(); }, {} },
    };
    for (const Kind& kind : kinds) {
        auto data = Resource(kind.type, kind.id);
        EXPECT_TRUE(kind.decodes(data.data(), data.size()));
        // Copies, so that the address sanitizer sees any read past the cut.
        for (std::size_t cut = 1; cut < data.size(); ++cut) {
            SCOPED_TRACE(cut);
            std::vector<BYTE> copy(data.begin(), data.begin() + cut);
            const bool valid = std::find(kind.validCuts.begin(), kind.validCuts.end(), cut) != kind.validCuts.end();
            EXPECT_EQ(kind.decodes(copy.data(), copy.size()), valid);
        }
    }
    // The extended menu's last two bytes are the padding after its last text.
    auto extended = Resource(RT_MENU, IDR_EXTENDED);
    ASSERT_EQ(extended.size(), 140u);
}

}
