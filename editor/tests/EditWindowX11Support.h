#pragma once
// The editor's window as the editor's tests on a real X server open it.

#include "editor/EditView.h"
#include "platform/mfc/WinApp.h"

namespace edittest {

// A frame of 420×240 at (40, 40), made the application's main window, holding a 400×200 editor
// view on the edit with the language and, when given, the text; the view has had its first update
// and paint. The frame owns the view. Null when a window cannot be made.
inline SECEditView* OpenEditorWindow(CWinApp& app, CWnd& frame, SECEdit& edit, SECEditLangConfig& language,
    const wchar_t* text = nullptr)
{
    edit.AttachLangConfig(&language);
    edit.ResetContent();
    if (text)
        edit.SetText(text);
    if (!frame.CreateEx(0, nullptr, L"Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 240, nullptr, nullptr))
        return nullptr;
    app.m_pMainWnd = &frame;
    auto* view = new SECEditView;
    view->SetEdit(&edit);
    if (!view->CreateEditWindow(&frame, CRect(0, 0, 400, 200), 1, WS_CHILD | WS_VISIBLE)) {
        delete view;
        return nullptr;
    }
    view->OnInitialUpdate();
    view->UpdateWindow();
    return view;
}

} // namespace edittest
