#include "diagrams/D2KSys.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <cwchar>

IMPLEMENT_DYNCREATE(CD2KSys, CObject)

CD2KSys::CD2KSys() = default;

CD2KSys::CD2KSys(const RECT& client) : m_client(client)
{
    FillPlaceholders();
    CreateFonts();
}

CD2KSys::~CD2KSys() = default;

void CD2KSys::CreateFonts()
{
    m_labelFont = {};
    m_labelFont.lfHeight = -11; // points
    m_labelFont.lfWeight = FW_NORMAL;
    std::wcscpy(m_labelFont.lfFaceName, L"Times New Roman");
    for (CString& title : m_titles)
        title.Empty();
}

void CD2KSys::SetPlotArea(int left, int top, int right, int bottom, double xmin, double xmax)
{
    m_client = { left, top, right, bottom };
    m_xmin = m_intervalA = xmin;
    m_xmax = m_intervalB = xmax;
    m_nSamples = SampleCount;
}

void CD2KSys::Draw(CDC* dc)
{
    UpdateRanges(false);
    DrawDiagram(dc);
}

void CD2KSys::UpdateRanges(bool onlyWithAxes)
{
    if (onlyWithAxes && !m_bDrawAxes)
        return;
    FitRangesToData();
}

void CD2KSys::DrawDiagram(CDC* dc)
{
    if (!LayOut(m_client))
        return;
    if (m_bDrawAxes) {
        if (m_nMode == DiagramMathematical)
            DrawMathematical(dc);
        else if (m_nMode == DiagramPolar)
            DrawPolar(dc);
        else
            DrawPhysical(dc, true, true, true, true, true);
    }
    if (m_bPointsFirst && m_bDrawPoints)
        DrawPoints(dc);
    if (m_bDrawCurve)
        DrawCurve(dc);
    if (!m_bPointsFirst && m_bDrawPoints)
        DrawPoints(dc);
}

CFont* SelectFontInPoints(CDC* dc, const LOGFONTW* logFont, COLORREF colour, CFont* font)
{
    LOGFONTW copy = *logFont;
    copy.lfHeight = -MulDiv(-logFont->lfHeight, dc->GetDeviceCaps(LOGPIXELSY), 72);
    constexpr COLORREF WindowColourIndex = 6;
    dc->SetTextColor(colour == WindowColourIndex ? GetSysColor(COLOR_WINDOW) : colour);
    font->DeleteObject();
    if (!font->CreateFontIndirect(&copy))
        return nullptr;
    return dc->SelectObject(font);
}
