#pragma once
// Readers of the binary resource layouts, for the code that makes menus, accelerator tables,
// dialogs, tool bars, icons and cursors out of them. Each checks every length against the data
// and returns nothing for a damaged template.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace fln::res {

// A window class, menu or title in a template: an ordinal, or a text (then ordinal is 0).
struct NameOrOrdinal {
    WORD ordinal = 0;
    CString text;
    bool IsOrdinal() const { return ordinal != 0; }
};

// ---- menus (RT_MENU): the standard layout (version 0) and the extended one (version 1)
constexpr UINT MF_GRAYED = 0x0001, MF_DISABLED = 0x0002, MF_CHECKED = 0x0008, MF_POPUP = 0x0010,
               MF_MENUBARBREAK = 0x0020, MF_MENUBREAK = 0x0040, MF_END = 0x0080, MF_HELP = 0x4000;

struct MenuTemplateItem {
    // Standard layout: the item's MF_ options (without MF_END); the extended layout gives
    // type and state (MFT_ and MFS_ values) and a pop-up's help id instead.
    UINT options = 0;
    DWORD type = 0;
    DWORD state = 0;
    DWORD helpId = 0;
    UINT id = 0;
    CString text;
    bool isPopup = false;
    bool isSeparator = false; // standard: no text, id 0, not a pop-up; extended: MFT_SEPARATOR
    std::vector<MenuTemplateItem> children;
};

struct MenuTemplate {
    bool extended = false;
    DWORD helpId = 0; // the extended layout's menu help id
    std::vector<MenuTemplateItem> items;
};

std::optional<MenuTemplate> DecodeMenuTemplate(const void* data, std::size_t size);

// ---- accelerator tables (RT_ACCELERATOR): 8-byte entries, the last one marked
struct AcceleratorEntry {
    BYTE flags; // FVIRTKEY 0x01, FNOINVERT 0x02, FSHIFT 0x04, FCONTROL 0x08, FALT 0x10
    WORD key;
    WORD command;
};

std::optional<std::vector<AcceleratorEntry>> DecodeAcceleratorTable(const void* data, std::size_t size);

// ---- dialogs (RT_DIALOG): the standard layout (DLGTEMPLATE, DLGITEMTEMPLATE) and the extended
// one (DLGTEMPLATEEX, DLGITEMTEMPLATEEX); the standard one has no help ids, font weight, italic
// or character set, and 16-bit control ids.
struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass; // ordinals 0x80 Button, 0x81 Edit, 0x82 Static, 0x83 ListBox, 0x84 ScrollBar, 0x85 ComboBox
    NameOrOrdinal title;
    std::vector<BYTE> creationData; // without its count
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    CString title;
    bool hasFont = false; // DS_SETFONT: the five font fields are present
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    CString typeface;
    std::vector<DialogItemTemplate> items;
};

std::optional<DialogTemplate> DecodeDialogTemplate(const void* data, std::size_t size);

// ---- dialog-init data (RT_DLGINIT): for each entry, the control, the message to send it and the
// message's data (for list and combo boxes, a string ending in a null byte); a zero control id ends it.
struct DialogInitEntry {
    WORD controlId = 0;
    WORD message = 0;
    std::vector<BYTE> data;
};

std::optional<std::vector<DialogInitEntry>> DecodeDialogInit(const void* data, std::size_t size);

// ---- tool bars (RT_TOOLBAR): version, button size, then the command of each button (0: separator)
struct ToolBarTemplate {
    WORD width = 0;
    WORD height = 0;
    std::vector<WORD> commands;
};

std::optional<ToolBarTemplate> DecodeToolBarTemplate(const void* data, std::size_t size);

// ---- icon and cursor groups (RT_GROUP_ICON, RT_GROUP_CURSOR): the images of one icon or
// cursor, each an RT_ICON / RT_CURSOR resource holding a PNG file (a cursor's led by its hot spot)
struct IconGroupEntry {
    int width = 0;
    int height = 0;
    WORD bitCount = 0;
    DWORD bytes = 0;
    WORD imageId = 0;
};

std::optional<std::vector<IconGroupEntry>> DecodeIconGroup(const void* data, std::size_t size, bool cursor);

}
