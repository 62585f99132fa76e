#pragma once
// A view made from a dialog template: its controls are the dialog manager's, it scrolls over the
// template's size when the frame is smaller, and it exchanges its members with the controls
// (UpdateData) from OnInitialUpdate on. Keys go to the frame's accelerators first, then to the
// dialog manager (Tab, arrows, mnemonics).

#include "platform/mfc/View.h"

class CFormView : public CScrollView {
    DECLARE_DYNAMIC(CFormView)
public:
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CScrollView::CreateEx;

    void OnInitialUpdate() override;
    // A form keeps the control that had the focus: activating the view leaves the focus where it
    // is inside the form, and focusing the view gives it back to that control.
    void OnActivateView(BOOL activate, CView* activated, CView* deactivated) override;
    void OnDraw(CDC*) override {}
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    explicit CFormView(UINT templateId) : m_lpszTemplateName(MAKEINTRESOURCEW(templateId)) {}
    explicit CFormView(LPCWSTR templateName) : m_lpszTemplateName(templateName) {}

    int OnCreate(LPCREATESTRUCT create);
    void OnSetFocus(CWnd* old);
    DECLARE_MESSAGE_MAP()

    LPCWSTR m_lpszTemplateName;
    HWND m_hWndFocus = nullptr; // the control of the form that had the focus last

private:
    CCreateContext* m_pCreateContext = nullptr;
};
