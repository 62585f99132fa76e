#pragma once
// The fonts a view of the editor draws and measures with: an information context on the screen
// with the text font selected, its metrics, and the widths the view lays text out by.

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <memory>
#include <vector>

class SECEditFontInfo {
public:
    SECEditFontInfo();
    SECEditFontInfo(const SECEditFontInfo&) = delete;
    SECEditFontInfo& operator=(const SECEditFontInfo&) = delete;
    // Puts the stock font back into the context before the fonts go.
    virtual ~SECEditFontInfo();

    // Makes the text font from the requested face, size, weight and slant (a fixed-pitch font
    // over the stock GUI font's record), selects it into the context and measures it. The marker
    // is the character drawn at a tab when whitespace shows.
    BOOL Build(wchar_t tabMarker);
    // Measures the font selected into dc; the widths come from it, the line height adds the
    // external leading when asked (printers).
    void Measure(CDC& dc, wchar_t tabMarker, BOOL withExternalLeading);
    // Appends a font; entry 0 is the text font.
    void AddFont(std::unique_ptr<CFont> font) { m_fonts.push_back(std::move(font)); }
    void DeleteFonts();
    // The text font; an information without fonts is an invalid argument.
    CFont* GetTextFont() const;
    int GetFontCount() const { return static_cast<int>(m_fonts.size()); }
    // The text font's record: the stock GUI font's, with the face, height, weight and slant asked for.
    LOGFONTW MakeLogFont() const;
    CDC& GetInfoDC() { return m_dc; }
    const TEXTMETRICW& GetMetrics() const { return m_metrics; }

    // Asked for.
    CString m_strFaceName;
    int m_nPointSize = 0;
    int m_nWeight = 400;
    BOOL m_bItalic = FALSE;
    int m_nHeight = 0; // logical units of the screen, negative: character height
    // Measured.
    int m_nAveCharWidth = 0;
    int m_nLineHeight = 0;
    int m_nBlankWidth = 0;     // one space: tab stops and blank columns
    int m_nTabMarkerWidth = 0; // the tab marker's extent

private:
    CDC m_dc;
    TEXTMETRICW m_metrics {};
    std::vector<std::unique_ptr<CFont>> m_fonts;
};
