#include "framework/Tab3DRow.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SEC3DTab, SECTab)

SEC3DTab::~SEC3DTab()
{
    SetIcon(nullptr);
}

void SEC3DTab::SetIcon(HICON icon)
{
    if (m_icon && m_icon != icon)
        ::DestroyIcon(m_icon);
    m_icon = icon;
}

namespace tab_row {

namespace {

const CString kEllipsis = L"...";

// Labels shorter than this are never given "...".
bool TakesEllipsis(const CString& label) { return label.GetLength() >= 3; }

SEC3DTab* WidestLabel(std::span<SEC3DTab* const> tabs, const LabelWidth& width)
{
    SEC3DTab* widest = nullptr;
    int widestWidth = -1;
    for (SEC3DTab* tab : tabs) {
        if (int w = width(tab->m_label); w > widestWidth) {
            widest = tab;
            widestWidth = w;
        }
    }
    return widest;
}

// One letter less on a label, keeping a trailing "...".
void ShortenByOne(SEC3DTab& tab)
{
    CString label = tab.m_label;
    if (label == tab.m_fullLabel) {
        const int n = label.GetLength();
        label = label.Left(std::max(0, label.Find(kEllipsis) == 0 ? n - 3 : n - 4));
    } else {
        if (int at = label.Find(kEllipsis, 1); at > 0)
            label = label.Left(at);
        label = label.Left(std::max(0, label.GetLength() - 1));
    }
    if (TakesEllipsis(tab.m_fullLabel))
        label += kEllipsis;
    tab.m_label = label;
    tab.m_truncated = TRUE;
}

} // namespace

Measure MeasureRow(std::span<SEC3DTab* const> tabs, const LabelWidth& width, bool fullLabels)
{
    Measure measure;
    for (const SEC3DTab* tab : tabs) {
        measure.length += kLabelMargin + (tab->GetIcon() ? kIconLength : 0)
            + width(fullLabels ? tab->m_fullLabel : tab->m_label) + kLabelMargin;
        measure.thickness += kThickness;
    }
    return measure;
}

bool FitLabels(std::span<SEC3DTab* const> tabs, const LabelWidth& width, int fullLength, int thickness, int extent,
    bool showLabels)
{
    if (fullLength == 0)
        return showLabels;
    // Can the row fit at all with every label at its shortest, "..."?
    for (SEC3DTab* tab : tabs)
        if (TakesEllipsis(tab->m_fullLabel))
            tab->m_label = kEllipsis;
    bool canShorten = extent >= MeasureRow(tabs, width, false).length + kSlack;
    if (canShorten) {
        for (SEC3DTab* tab : tabs) {
            tab->m_label = tab->m_fullLabel;
            tab->m_truncated = FALSE;
        }
    }
    showLabels = extent > thickness;
    if (extent < 1)
        return showLabels;

    int length = fullLength;
    while (extent < length + kSlack && canShorten) {
        // The last tab decides whether another step will follow.
        for (const SEC3DTab* tab : tabs)
            canShorten = TakesEllipsis(tab->m_label) && tab->m_label != kEllipsis;
        ShortenByOne(*WidestLabel(tabs, width));
        const int shorter = MeasureRow(tabs, width, false).length;
        // A label down to "..." comes out longer again: shortening has run its course.
        if (shorter > length)
            canShorten = false;
        length = shorter;
    }
    while (extent < length + kSlack && showLabels && !canShorten) {
        for (SEC3DTab* tab : tabs)
            tab->m_truncated = TRUE;
        showLabels = !tabs.back()->m_label.IsEmpty();
        SEC3DTab* widest = WidestLabel(tabs, width);
        widest->m_label = widest->m_label.Left(std::max(0, widest->m_label.GetLength() - 1));
        length = MeasureRow(tabs, width, false).length;
    }
    return showLabels;
}

} // namespace tab_row
