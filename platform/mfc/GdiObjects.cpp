#include "platform/mfc/GdiObjects.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/HandleMap.h"

#include <cmath>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

namespace {

std::vector<std::function<void()>>& Cleaners()
{
    static std::vector<std::function<void()>> cleaners;
    return cleaners;
}

CGdiObject* MakeWrapper(HGDIOBJ object)
{
    CGdiObject* wrapper = nullptr;
    switch (::GetObjectType(object)) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        wrapper = new CPen;
        break;
    case OBJ_BRUSH:
        wrapper = new CBrush;
        break;
    case OBJ_FONT:
        wrapper = new CFont;
        break;
    case OBJ_BITMAP:
        wrapper = new CBitmap;
        break;
    case OBJ_REGION:
        wrapper = new CRgn;
        break;
    case OBJ_PAL:
        wrapper = new CPalette;
        break;
    default:
        wrapper = new CGdiObject;
        break;
    }
    wrapper->m_hObject = object;
    return wrapper;
}

HandleMap<HGDIOBJ, CGdiObject>& ObjectMap()
{
    static HandleMap<HGDIOBJ, CGdiObject> map(MakeWrapper, [](CGdiObject* object) { object->m_hObject = nullptr; });
    return map;
}

} // namespace

void RegisterTemporaryCleaner(std::function<void()> cleaner)
{
    Cleaners().push_back(std::move(cleaner));
}

void DeleteAllTemporaries()
{
    for (auto& cleaner : Cleaners())
        cleaner();
}

void AfxDeleteTempObjects()
{
    DeleteAllTemporaries();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object)
{
    return ObjectMap().FromHandle(object);
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object || m_hObject)
        return FALSE;
    m_hObject = object;
    ObjectMap().SetPermanent(object, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    if (object && ObjectMap().Permanent(object) == this)
        ObjectMap().RemovePermanent(object);
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    HGDIOBJ object = Detach();
    return object ? ::DeleteObject(object) : FALSE;
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap)
{
    return Attach(::CreatePatternBrush(*bitmap));
}

BOOL CBrush::CreateSysColorBrush(int index)
{
    return CreateSolidBrush(::GetSysColor(index));
}

BOOL CFont::CreatePointFont(int tenthsOfPoint, LPCWSTR face)
{
    LOGFONTW font {};
    font.lfHeight = -static_cast<LONG>(std::lround(tenthsOfPoint * 96.0 / 720.0));
    font.lfWeight = 400;
    font.lfCharSet = 1; // DEFAULT_CHARSET
    if (face)
        wcsncpy(font.lfFaceName, face, std::size(font.lfFaceName) - 1);
    return CreateFontIndirect(&font);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height));
}
