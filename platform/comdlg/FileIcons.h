#pragma once
// The small pictures of the file dialog's list: a folder and a document, 16 by 16 pixels.

#include "platform/gdi/GdiTypes.h"

namespace fln::comdlg {

constexpr int kFileIconSize = 16;

enum class FileIcon {
    Folder,
    Document,
};

void DrawFileIcon(HDC dc, int x, int y, FileIcon icon);

} // namespace fln::comdlg
