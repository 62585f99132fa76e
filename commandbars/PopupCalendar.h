#pragma once
// The drop-down month calendar: a popup window sized to its content and placed beside an anchor
// rectangle, inside the work area of the anchor's monitor. A double click picks a day; losing the
// activation closes it, and the owner always hears WM_CALENDAR_PICKED or WM_CALENDAR_DISMISS.

#include "commandbars/Calendar.h"

class SECPopupCalendar : public SECCalendar {
    DECLARE_DYNCREATE(SECPopupCalendar)
public:
    // Placement bit of CreatePopup's style: open below the anchor's left edge, else below its right edge.
    static constexpr DWORD AlignLeft = 0x1;
    static constexpr DWORD PopupFlags = DefaultFlags | PickOnDoubleClick;

    SECPopupCalendar();

    UINT GetClassStyle() const override { return CS_DBLCLKS | CS_SAVEBITS; }
    // Creates the popup anew beside `anchor` (screen coordinates), owned by `notify`, and gives it
    // the focus. The style's low bit chooses the side; the rest are window styles.
    virtual BOOL CreatePopup(DWORD style, const RECT& anchor, CWnd* notify, UINT id = 0);
    // Whether losing the activation with a day selected picks it (else it dismisses).
    void SetPickOnDeactivate(BOOL on) { m_bCloseWithPick = on; }
    // Where CreatePopup puts a popup of `size` for `anchor` in `workArea`.
    static CPoint PlaceBeside(DWORD style, const RECT& anchor, CSize size, const RECT& workArea);

protected:
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bCloseWithPick = TRUE; // losing the activation with a day selected picks it
};
