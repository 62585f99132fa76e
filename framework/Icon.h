#pragma once
// An icon with the size it is drawn at.

#include "platform/base/RunTimeClass.h"
#include "platform/gdi/Gdi.h"

class SECIcon : public CObject {
public:
    ~SECIcon() override;

    // Takes the icon (owned from now on); its size is the icon's own, twice its centre.
    void SetIcon(HICON icon);
    HICON GetIcon() const { return m_hIcon; }
    // Loads the icon resource at that size; FALSE when there is none.
    virtual BOOL LoadIcon(UINT resourceId, int cx, int cy);
    virtual BOOL LoadIcon(LPCWSTR resourceName, int cx, int cy);
    // Draws at the given size, or at the icon's own; the brush paints behind it to avoid flicker.
    virtual void Draw(HDC dc, int x, int y, int cx, int cy, HBRUSH flickerFree = nullptr) const;
    virtual void Draw(HDC dc, int x, int y, HBRUSH flickerFree = nullptr) const;

    int m_cx = -1, m_cy = -1;

private:
    HICON m_hIcon = nullptr;
};
