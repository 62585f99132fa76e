#include "platform/mfc/ImageList.h"

#include "platform/mfc/Dc.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

BOOL CImageList::Attach(HIMAGELIST list)
{
    if (!list || m_hImageList)
        return FALSE;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList()
{
    HIMAGELIST list = Detach();
    return list ? ImageList_Destroy(list) : FALSE;
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

int CImageList::Add(CBitmap* image, CBitmap* mask)
{
    return ImageList_Add(m_hImageList, image ? static_cast<HBITMAP>(*image) : nullptr, mask ? static_cast<HBITMAP>(*mask) : nullptr);
}

int CImageList::Add(CBitmap* image, COLORREF maskColor)
{
    return ImageList_AddMasked(m_hImageList, image ? static_cast<HBITMAP>(*image) : nullptr, maskColor);
}

BOOL CImageList::Draw(CDC* dc, int index, POINT point, UINT style)
{
    return ImageList_Draw(m_hImageList, index, dc->m_hDC, point.x, point.y, style);
}

SIZE CImageList::GetIconSize() const
{
    int cx = 0, cy = 0;
    if (m_hImageList)
        ImageList_GetIconSize(m_hImageList, &cx, &cy);
    return { cx, cy };
}
