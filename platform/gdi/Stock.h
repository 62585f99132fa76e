#pragma once
// Stock objects and the screen (internal to platform/gdi).

#include "platform/gdi/Objects.h"

namespace fln::gdi {

// The stock object with a GetStockObject index, or null for an unknown index.
std::shared_ptr<GdiObject> stockObject(int index);
// The 1 x 1 monochrome bitmap every new memory DC holds.
std::shared_ptr<BitmapObject> defaultBitmap();
const LOGFONTW& stockFont(int index);
SIZE screenSize();

} // namespace fln::gdi
