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
        ToolTipRecord record;
        record.text = tip.text;
        if (CWnd* control = page.GetDlgItem(tip.id))
            tooltip.AddTool(control, record);
    }
}
