#pragma once
// The tab record of the three-dimensional tab control and the row arithmetic it lays out with:
// measuring a row and fitting its labels into the length there is (shortening the widest label
// one letter at a time behind a "...", then cutting labels down to nothing).

#include "framework/TabControl.h"

#include <functional>
#include <span>

class SEC3DTab : public SECTab {
    DECLARE_DYNCREATE(SEC3DTab)
public:
    SEC3DTab() { m_width = 90; }
    ~SEC3DTab() override;
    SEC3DTab(const SEC3DTab&) = delete;
    SEC3DTab& operator=(const SEC3DTab&) = delete;

    // Takes the icon (destroying the one it had); null removes it.
    void SetIcon(HICON icon);
    HICON GetIcon() const { return m_icon; }

    CRect m_rect;
    BOOL m_enabled = TRUE;
    CString m_fullLabel; // as the caller gave it; m_label is what is displayed
    BOOL m_truncated = FALSE;

private:
    HICON m_icon = nullptr;
};

namespace tab_row {

// Pixels around a label and taken by an icon along the row, and the thickness counted per tab.
constexpr int kLabelMargin = 6, kIconLength = 19, kThickness = 19;
// What the row needs beyond the tabs' lengths to count as fitting.
constexpr int kSlack = 12;

using LabelWidth = std::function<int(const CString&)>;

struct Measure {
    int length = 0;    // of all tabs along the row
    int thickness = 0; // the sum of the tabs' thicknesses
};

Measure MeasureRow(std::span<SEC3DTab* const> tabs, const LabelWidth& width, bool fullLabels);

// Shortens the displayed labels of a row whose full labels take `fullLength` until it fits
// `extent`; returns whether labels are still to be shown.
bool FitLabels(std::span<SEC3DTab* const> tabs, const LabelWidth& width, int fullLength, int thickness, int extent,
    bool showLabels);

} // namespace tab_row
