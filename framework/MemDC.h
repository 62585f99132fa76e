#pragma once
// A DC that draws into a bitmap the size of a rectangle of a target DC and copies it onto the
// target in one blit when it goes: whatever is drawn through it appears at once, without flicker.
// The rectangle is in the target's logical coordinates; drawing through this DC uses the same
// coordinates.

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

namespace divuzura::foundation {

class SECMemDC : public CDC {
public:
    // A null target throws CInvalidArgException; a DC or bitmap that cannot be made throws
    // CResourceException. With useTargetMapping the target's origins and extents are taken over.
    SECMemDC(CDC* target, const RECT& rect, BOOL create = TRUE, BOOL useTargetMapping = TRUE);
    SECMemDC(CDC* target, const RECT* rect, BOOL create = TRUE, BOOL useTargetMapping = TRUE);
    // Copies the drawing onto the target.
    ~SECMemDC() override;
    SECMemDC(const SECMemDC&) = delete;
    SECMemDC& operator=(const SECMemDC&) = delete;

    void Create();

private:
    void ApplyTargetMapping();

    CDC* m_pTarget;
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CRect m_rect;
    CPoint m_viewportOrg, m_windowOrg;
    CSize m_viewportExt, m_windowExt;
    CPoint m_deviceTopLeft;
    BOOL m_bUseTargetMapping;
    BOOL m_bCreated = FALSE;
};

} // namespace divuzura::foundation
