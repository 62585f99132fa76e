// Loads arbitrary bytes as a picture or icon file (PNG, BMP, ICO, CUR), as pictures and icons
// are loaded from files: short or lying headers give an error, never a read outside the file or
// an allocation beyond what a picture may hold. Every file is loaded as a bitmap, an icon and a
// cursor; the input's length picks the flags and the size asked for.

#include "fuzz/FuzzSupport.h"
#include "fuzz/HeadlessWindow.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/ResourceHandles.h"


namespace {

void Load(const std::wstring& path, UINT type, std::size_t variant)
{
    const int requested = variant & 1 ? 16 << (variant >> 1) % 3 : 0;
    UINT flags = LR_LOADFROMFILE;
    if (variant & 8)
        flags |= type == IMAGE_BITMAP ? LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS : LR_DEFAULTSIZE;
    if (variant & 16)
        flags |= LR_LOADTRANSPARENT;
    HANDLE image = LoadImageW(nullptr, path.c_str(), type, requested, requested, flags);
    if (!image)
        return;
    if (type == IMAGE_BITMAP) {
        BITMAP bitmap {};
        if (!GetObjectW(image, sizeof bitmap, &bitmap) || bitmap.bmWidth <= 0 || bitmap.bmHeight <= 0)
            __builtin_trap();
        DeleteObject(image);
    } else {
        ICONINFO info {};
        if (!GetIconInfo(static_cast<HICON>(image), &info))
            __builtin_trap();
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(image));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::ScratchFolder scratch;
    fuzz::UseHeadlessDisplay();
    fuzz::ScratchFile file(scratch, "image", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::wstring path = NarrowToWide(file.path().string());
    for (UINT type : { IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR })
        Load(path, type, size);
    return 0;
}
