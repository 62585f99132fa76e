#pragma once
// What a print or preview run of the editor's view knows: where each printed row begins, the
// printer's font, and the page's header, body and footer in the printer's device units.

#include "editor/EditFontInfo.h"
#include "editor/EditTypes.h"

#include <vector>

struct SECEditPrintInfo {
    std::vector<SECEditLineCol> m_rows; // the model position of each printed row's first character
    SECEditFontInfo m_font;             // the printer's font: row height and column width
    CRect m_rectBody;
    CRect m_rectHeader;
    CRect m_rectFooter;
    int m_nRowsPerPage = 1;
};

// Writes text at (x, y) with every character at the place the DC's own character widths give (each
// run between tabs in one call), tabs to the next multiple of tabWidth from tabOrigin, so that a
// preview puts every character where the printer does. Honours the DC's TA_UPDATECP, TA_CENTER and TA_RIGHT; the text's extent.
CSize PreviewTabbedTextOut(CDC& dc, int x, int y, const wchar_t* text, int count, int tabWidth, int tabOrigin);
