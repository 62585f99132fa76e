#pragma once
// A control bar whose contents come from a dialog template: the template's controls in a bar
// as large as the template.

#include "framework/ControlBar.h"

class SECDialogBar : public SECControlBar {
    DECLARE_DYNCREATE(SECDialogBar)
public:
    ~SECDialogBar() override;

    // Makes the bar from the template, as a child of `parent` with that CBRS_ and window style;
    // FALSE when the template is missing or cannot be made.
    BOOL Create(CWnd* parent, LPCWSTR templateName, UINT style, UINT id);
    BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id);

    LPCWSTR GetTemplateName() const { return m_lpszTemplateName; }
    // The template's id goes with the bar's saved place, so a restored layout makes the bar again.
    void GetBarInfo(SECControlBarInfo* info) const override;
    BOOL CreateFromBarInfo(CFrameWnd* frame, const SECControlBarInfo& info) override;
    // The template's size: the bar's size in every placement to begin with.
    CSize m_sizeDefault;

private:
    LPCWSTR m_lpszTemplateName = nullptr;
};
