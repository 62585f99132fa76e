#pragma once
// Stock objects and the screen (internal to platform/gdi).

#include "platform/gdi/Objects.h"

namespace fln::gdi {

// The stock object with a GetStockObject index, or null for an unknown index.
std::shared_ptr<GdiObject> stockObject(int index);
// The 1 x 1 monochrome bitmap every new memory DC holds.
std::shared_ptr<BitmapObject> defaultBitmap();
// A stock font's description at the current DPI.
LOGFONTW stockFont(int index);
// The stock font objects take the current DPI's sizes.
void rescaleStockFonts();
SIZE screenSize();

} // namespace fln::gdi
