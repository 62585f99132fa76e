#pragma once
// Menus, accelerator tables, bitmaps, icons and cursors made from the program's resources (and,
// for images, from PNG, BMP and ICO files). Names and numeric values are the documented ones.
// A failure returns null and sets the last error: ERROR_RESOURCE_NAME_NOT_FOUND (or
// ERROR_RESOURCE_TYPE_NOT_FOUND) for a missing resource, ERROR_RESOURCE_DATA_NOT_FOUND for damaged
// data, ERROR_FILE_NOT_FOUND for a file that cannot be read, ERROR_INVALID_PARAMETER otherwise.

#include "platform/res/Resources.h"
#include "platform/user/WinUser.h"

// ---- menus: both template layouts (the standard one and the extended one with types, states
// and ids of pop-ups)
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// The template is read up to its last item; it must be whole.
HMENU LoadMenuIndirectW(const void* menuTemplate);

// ---- accelerator tables
HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name);

// ---- bitmaps
// The system bitmaps drawn here (monochrome, 13 x 13, black on white).
#define OBM_MNARROW MAKEINTRESOURCEW(32739)
#define OBM_CHECK MAKEINTRESOURCEW(32760)
// A device bitmap of the screen's format; a null instance gives the OBM_ bitmaps.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);

// ---- icons. A null instance gives the standard icons, 32 x 32.
#define IDI_APPLICATION MAKEINTRESOURCEW(32512)
#define IDI_HAND MAKEINTRESOURCEW(32513)
#define IDI_QUESTION MAKEINTRESOURCEW(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEW(32515)
#define IDI_ASTERISK MAKEINTRESOURCEW(32516)
#define IDI_WINLOGO MAKEINTRESOURCEW(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK
// The same standard icons by number, for interfaces that take an icon id.
constexpr UINT OIC_HAND = 32513, OIC_QUES = 32514, OIC_BANG = 32515, OIC_NOTE = 32516;
constexpr UINT OIC_ERROR = OIC_HAND, OIC_WARNING = OIC_BANG, OIC_INFORMATION = OIC_NOTE;
// Icons and cursors loaded this way are shared: the same name gives the same handle, which is
// never to be destroyed. LoadCursorW (WinUser.h) also reads the program's cursors.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

// ---- images
constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0, LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20,
               LR_DEFAULTSIZE = 0x40, LR_LOADMAP3DCOLORS = 0x1000, LR_CREATEDIBSECTION = 0x2000, LR_SHARED = 0x8000;
// cx, cy 0: the image's own size, or with LR_DEFAULTSIZE the system's icon or cursor size (for
// bitmaps it changes nothing). Other sizes pick the icon image nearest to them, then scale.
// LR_LOADTRANSPARENT turns the colour of a bitmap's first pixel into the window colour;
// LR_LOADMAP3DCOLORS turns the greys 128, 192 and 223 into the 3D shadow, face and light colours.
// LR_SHARED keeps one handle per resource (sizes apart); it applies to resources, not files.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);

inline HMENU LoadMenu(HINSTANCE instance, LPCWSTR name) { return LoadMenuW(instance, name); }
inline HMENU LoadMenuIndirect(const void* menuTemplate) { return LoadMenuIndirectW(menuTemplate); }
inline HACCEL LoadAccelerators(HINSTANCE instance, LPCWSTR name) { return LoadAcceleratorsW(instance, name); }
inline HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name) { return LoadBitmapW(instance, name); }
inline HICON LoadIcon(HINSTANCE instance, LPCWSTR name) { return LoadIconW(instance, name); }
inline HANDLE LoadImage(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    return LoadImageW(instance, name, type, cx, cy, flags);
}

namespace fln::user {
// A cursor of the program's resources, for LoadCursorW.
HCURSOR LoadResourceCursor(HINSTANCE instance, LPCWSTR name);
}
