#pragma once
// The drop-down month calendar: a popup window sized to its content and placed beside an anchor
// rectangle, inside the work area of the anchor's monitor. A double click picks a day; losing the
// activation closes it, and the owner always hears WM_CALENDAR_PICKED or WM_CALENDAR_DISMISS.

#include "datetime/Calendar.h"

class FlPopupCalendar : public FlCalendar {
    DECLARE_DYNCREATE(FlPopupCalendar)
public:
    // Placement bit of OpenAt's style: open below the anchor's left edge, else below its right edge.
    static constexpr DWORD AlignLeft = 0x1;
    static constexpr DWORD PopupFlags = DefaultFlags | PickOnDoubleClick;

    FlPopupCalendar();

    UINT GetClassStyle() const override { return CS_DBLCLKS | CS_SAVEBITS; }
    // Creates the popup anew beside `anchor` (screen coordinates), owned by `parent`, and gives it
    // the focus. The style's low bit chooses the side; the rest are window styles.
    virtual BOOL OpenAt(DWORD style, const RECT& anchor, CWnd* parent);
    // Where OpenAt puts a popup of `size` for `anchor` in `workArea`.
    static CPoint PlaceBeside(DWORD style, const RECT& anchor, CSize size, const RECT& workArea);

protected:
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bCloseWithPick = TRUE; // losing the activation with a day selected picks it
};
