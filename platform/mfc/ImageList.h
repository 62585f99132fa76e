#pragma once
// An image list as an object; it destroys the list it holds unless the list was detached.

#include "platform/base/RunTimeClass.h"
#include "platform/gdi/ImageList.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
    DECLARE_DYNAMIC(CImageList)
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() override { DeleteImageList(); }

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    int Add(CBitmap* image, CBitmap* mask);
    int Add(CBitmap* image, COLORREF maskColor);
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
    COLORREF SetBkColor(COLORREF color) { return ImageList_SetBkColor(m_hImageList, color); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
    BOOL Draw(CDC* dc, int index, POINT point, UINT style);
    HICON ExtractIcon(int index) { return ImageList_GetIcon(m_hImageList, index, ILD_NORMAL); }
    // The size of one image; 0 x 0 without a list.
    SIZE GetIconSize() const;
};
