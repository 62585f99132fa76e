#include "app/PageTooltips.h"

#include "controls/PPToolTip.h"

void BuildPageTooltips(CXSuperTooltip& tooltip, CWnd& page, std::span<const PageTip> tips)
{
    tooltip.RemoveAllTools();
    tooltip.SetDefaultSizes(TRUE);
    tooltip.SetSize(3, tooltip.GetSize(3) / 2);
    tooltip.SetBorder(RGB(105, 105, 107), 1, 1);
    tooltip.SetShadow(6, 5, 50, TRUE, 7, 7);
    tooltip.SetNotify(TRUE);
    tooltip.SetDelayTime(CPPToolTip::AutoPop, 60000);
    tooltip.SetSize(4, 20);
    tooltip.SetSize(5, 20);
    tooltip.SetColorBk(GetSysColor(COLOR_INFOBK));
    for (const PageTip& tip : tips) {
        // A tip stays while the pointer moves over its control, hides only when it leaves (or on a
        // click or a key), and shows again on the next hover; it stands above the pointer.
        ToolTipRecord record;
        record.text = tip.text;
        record.mask = ToolTipRecord::Direction | ToolTipRecord::Behaviour;
        record.behaviour = ToolTipRecord::MultipleShow | ToolTipRecord::CloseOnLeave | ToolTipRecord::StayOverTip | ToolTipRecord::NoAutoHide;
        record.direction = PPTIP_TAIL_BOTTOM;
        if (CWnd* control = page.GetDlgItem(tip.id))
            tooltip.AddTool(control, record);
    }
}
