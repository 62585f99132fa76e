// Makes menus, accelerator tables, strings, dialogs (with their init data), bitmaps, icons and
// cursors out of arbitrary resource bytes, as the program does with its linked resources: short
// or lying headers, counts and lengths give an error, never a read outside the data. The input is
// the first piece's length (two bytes) and the size asked of images (a byte), then the first
// piece (every template type reads it), then the second (the icon and cursor images the groups
// name, and the dialog-init data).

#include "fuzz/FuzzSupport.h"
#include "fuzz/HeadlessWindow.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/gdi/Gdi.h"
#include "platform/res/LinkedResources.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"

#include <array>
#include <iterator>
#include <string>

namespace {

using fln::res::LinkedResource;

// Every type the program reads, named 1, holds the first piece; icon and cursor images, named 1
// to 8 (the names a group may give), hold the second.
constexpr WORD kTemplateTypes[] = { 6, 4, 9, 5, 2, 14, 12 }; // strings 0 to 15, menu, accelerators, dialog, bitmap, icon and cursor groups
constexpr WORD kImageTypes[] = { 3, 1 };                     // RT_ICON, RT_CURSOR
constexpr WORD kImageNames = 8;
constexpr std::size_t kTableSize = std::size(kTemplateTypes) + std::size(kImageTypes) * kImageNames;

std::array<LinkedResource, kTableSize> g_table = [] {
    std::array<LinkedResource, kTableSize> table {};
    std::size_t at = 0;
    for (WORD type : kTemplateTypes)
        table[at++] = { type, nullptr, 1, nullptr, nullptr, 0 };
    for (WORD type : kImageTypes)
        for (WORD name = 1; name <= kImageNames; ++name)
            table[at++] = { type, nullptr, name, nullptr, nullptr, 0 };
    return table;
}();
constexpr std::size_t kFirstImage = std::size(kTemplateTypes);

const fln::res::LinkedResourceRegistration g_registration(g_table.data(), g_table.size());

INT_PTR DialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::size_t firstLength = input.Number<std::uint16_t>();
    const int requested = input.Byte() % 72; // 0: the image's own size
    // Copies of their own, so that a read past either piece is seen.
    std::string first(input.Take(firstLength));
    const std::string second(input.Rest());
    // Dialogs are made hidden: a shown popup as large as a template may ask paints a surface of
    // 8192 x 8192 pixels, which takes this instrumented build seconds.
    const std::size_t styleAt = first.starts_with(std::string_view("\x01\x00\xff\xff", 4)) ? 12 : 0;
    if (first.size() >= styleAt + 4)
        first[styleAt + 3] &= ~0x10; // WS_VISIBLE

    for (std::size_t i = 0; i < g_table.size(); ++i) {
        const std::string& bytes = i < kFirstImage ? first : second;
        g_table[i].data = reinterpret_cast<const unsigned char*>(bytes.data());
        g_table[i].size = static_cast<DWORD>(bytes.size());
    }
    const LPCWSTR one = MAKEINTRESOURCEW(1);
    static const bool controls = [] {
        InitCommonControls();
        return true;
    }();
    (void)controls;

    for (UINT id = 0; id < 16; ++id) {
        wchar_t text[256];
        if (LoadStringW(nullptr, id, text, 256) > 255)
            __builtin_trap();
    }
    if (HMENU menu = LoadMenuW(nullptr, one))
        DestroyMenu(menu);
    if (HACCEL table = LoadAcceleratorsW(nullptr, one))
        DestroyAcceleratorTable(table);
    if (HBITMAP bitmap = LoadBitmapW(nullptr, one))
        DeleteObject(bitmap);
    if (HANDLE bitmap = LoadImageW(nullptr, one, IMAGE_BITMAP, requested, requested,
            LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT))
        DeleteObject(bitmap);
    if (HANDLE icon = LoadImageW(nullptr, one, IMAGE_ICON, requested, requested, 0))
        DestroyIcon(static_cast<HICON>(icon));
    if (HANDLE cursor = LoadImageW(nullptr, one, IMAGE_CURSOR, requested, requested, 0))
        DestroyCursor(static_cast<HCURSOR>(cursor));
    if (HWND dialog = CreateDialogParamW(nullptr, one, fuzz::HeadlessWindow::Get(), DialogProcedure, 0)) {
        ExecuteDialogInit(dialog, second.data(), static_cast<DWORD>(second.size()));
        DestroyWindow(dialog);
    }
    return 0;
}
