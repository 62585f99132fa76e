#pragma once
// Bitmap resources whose greys follow the system colours, as tool-bar and button pictures do.

#include "platform/mfc/GdiObjects.h"

// Loads a bitmap resource into a bitmap of the screen's format; in a palette bitmap black, dark
// grey, light grey and white become the button text, shadow, face and highlight colours.
BOOL SECLoadSysColorBitmap(CBitmap& bitmap, LPCWSTR resource);
inline BOOL SECLoadSysColorBitmap(CBitmap& bitmap, UINT resourceId) { return SECLoadSysColorBitmap(bitmap, MAKEINTRESOURCEW(resourceId)); }
