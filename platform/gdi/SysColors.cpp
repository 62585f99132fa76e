#include "platform/gdi/SysColors.h"

#include "platform/gdi/Objects.h"

#include <array>
#include <mutex>

using namespace fln::gdi;

namespace {

constexpr int ColorCount = COLOR_MENUBAR + 1;

constexpr std::array<COLORREF, ColorCount> ClassicColors = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165), // desktop
    RGB(10, 36, 106), // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0), // window frame
    RGB(0, 0, 0), // menu text
    RGB(0, 0, 0), // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106), // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0), // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64), // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0), // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(181, 181, 181), // (unused slot 25)
    RGB(0, 0, 128), // hot-tracked item
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(49, 106, 197), // menu highlight
    RGB(212, 208, 200), // menu bar
};

struct SystemColors {
    std::mutex mutex;
    std::array<COLORREF, ColorCount> colors = ClassicColors;
    std::array<std::shared_ptr<BrushObject>, ColorCount> brushes;

    SystemColors()
    {
        for (int i = 0; i < ColorCount; ++i) {
            brushes[i] = std::make_shared<BrushObject>(BS_SOLID);
            brushes[i]->color = colors[i];
            brushes[i]->isStock = true;
            ObjectTable::add(brushes[i]);
        }
    }
};

SystemColors& systemColors()
{
    static SystemColors* instance = new SystemColors;
    return *instance;
}

} // namespace

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= ColorCount)
        return 0;
    SystemColors& s = systemColors();
    std::lock_guard lock(s.mutex);
    return s.colors[index];
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index >= ColorCount)
        return nullptr;
    return static_cast<HBRUSH>(systemColors().brushes[index]->handle());
}

BOOL SetSysColors(int count, const INT* indices, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!indices || !colors)))
        return FALSE;
    SystemColors& s = systemColors();
    std::lock_guard lock(s.mutex);
    for (int i = 0; i < count; ++i) {
        if (indices[i] < 0 || indices[i] >= ColorCount)
            continue;
        s.colors[indices[i]] = colors[i] & 0xFFFFFF;
        s.brushes[indices[i]]->color = colors[i] & 0xFFFFFF;
    }
    return TRUE;
}
