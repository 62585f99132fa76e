#include "editor/EditFontInfo.h"

#include "platform/base/Exceptions.h"

#include <cwchar>

SECEditFontInfo::SECEditFontInfo()
{
    m_dc.Attach(::CreateICW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (m_dc.m_hDC)
        m_dc.SetMapMode(MM_TEXT);
}

SECEditFontInfo::~SECEditFontInfo()
{
    DeleteFonts();
}

void SECEditFontInfo::DeleteFonts()
{
    if (m_dc.m_hDC)
        m_dc.SelectStockObject(DEFAULT_GUI_FONT);
    m_fonts.clear();
}

CFont* SECEditFontInfo::GetTextFont() const
{
    if (m_fonts.empty())
        AfxThrowInvalidArgException();
    return m_fonts.front().get();
}

LOGFONTW SECEditFontInfo::MakeLogFont() const
{
    LOGFONTW font {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    std::wcsncpy(font.lfFaceName, m_strFaceName.GetString(), 31);
    font.lfFaceName[31] = 0;
    font.lfPitchAndFamily = FIXED_PITCH;
    font.lfItalic = m_bItalic ? 1 : 0;
    font.lfWeight = m_nWeight >= 700 ? 700 : 400;
    font.lfHeight = m_nHeight;
    font.lfWidth = 0;
    return font;
}

BOOL SECEditFontInfo::Build(wchar_t tabMarker)
{
    DeleteFonts();
    auto font = std::make_unique<CFont>();
    const LOGFONTW record = MakeLogFont();
    if (!m_dc.m_hDC || !font->CreateFontIndirect(&record))
        return FALSE;
    m_dc.SelectObject(font.get());
    AddFont(std::move(font));
    Measure(m_dc, tabMarker, FALSE);
    return TRUE;
}

void SECEditFontInfo::Measure(CDC& dc, wchar_t tabMarker, BOOL withExternalLeading)
{
    dc.GetTextMetrics(&m_metrics);
    m_nAveCharWidth = m_metrics.tmAveCharWidth;
    m_nLineHeight = m_metrics.tmHeight + (withExternalLeading ? m_metrics.tmExternalLeading : 0);
    m_nBlankWidth = dc.GetTextExtent(L" ", 1).cx;
    m_nTabMarkerWidth = withExternalLeading ? m_nBlankWidth : dc.GetTextExtent(&tabMarker, 1).cx;
}
