#pragma once
// Control bars for docking tests: nothing inside, only the size a tool bar would have.

#include "platform/mfc/ControlBar.h"

// A bar shaped like a tool bar: a fixed content of 100 x 22 pixels, turned on its side when docked
// vertically, inside the borders of its style.
class ToolLikeBar : public CControlBar {
public:
    static constexpr int kLength = 100, kThickness = 22;

    BOOL Create(CWnd* parent, UINT id, LPCWSTR title, DWORD style = WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER)
    {
        if (!CreateBar(style, parent, id))
            return FALSE;
        SetWindowText(title);
        return TRUE;
    }
    using CWnd::Create;
    CSize CalcFixedLayout(BOOL, BOOL horz) override
    {
        CRect inside;
        CalcInsideRect(inside, horz);
        const CSize content = horz ? CSize(kLength, kThickness) : CSize(kThickness, kLength);
        return CSize(content.cx - inside.Width(), content.cy - inside.Height());
    }
};

// A bar that sizes dynamically: floating, it keeps the width and height its frame's edges commit.
class SizableBar : public ToolLikeBar {
public:
    CSize CalcDynamicLayout(int length, DWORD mode) override
    {
        if (mode & (LM_HORZDOCK | LM_VERTDOCK))
            return CalcFixedLayout(FALSE, (mode & LM_HORZDOCK) != 0);
        if (mode & LM_COMMIT)
            ((mode & LM_LENGTHY) ? floating.cy : floating.cx) = length;
        return floating;
    }
    CSize floating { 120, 60 };
};
