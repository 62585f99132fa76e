#pragma once
// A message box made at run time: an optional system icon, a read-only rich edit holding the
// message (plain text or RTF, formatted from a format string, a string resource or a custom
// resource) and any number of buttons with texts of their own, laid out around the text.
// DoModal returns the id of the button that closed it.

#include "platform/base/Array.h"
#include "platform/base/CString.h"
#include "platform/mfc/Wnd.h"

#include <cstdarg>
#include <vector>

class CNGMessageBox : public CWnd {
public:
    explicit CNGMessageBox(CWnd* parent = nullptr);
    ~CNGMessageBox() override;

    // A system icon such as IDI_EXCLAMATION (32515) or IDI_ASTERISK (32516); 0 for none.
    void SetStandardIcon(UINT id);
    void SetMessage(const wchar_t* format, va_list arguments);
    void FormatMessage(const wchar_t* format, ...);
    // The string resource as the format; nothing changes when there is no such string.
    void FormatMessageFromId(UINT id, ...);
    // The custom resource (UTF-8 text, RTF for instance) as the format; nothing changes when it is missing.
    void FormatMessageFromResource(UINT id, const wchar_t* type, ...);
    void AddButton(UINT id, BOOL isDefault, BOOL isEscape, const wchar_t* text);
    void SetCaption(const CString& caption) { m_caption = caption; }

    INT_PTR DoModal();

    const CString& Message() const { return m_message; }
    // The windows while the box runs (tests and hooks look at them).
    HWND TextWindow() const { return m_textWindow; }
    HWND IconWindow() const { return m_iconWindow; }
    HWND ButtonWindow(int index) const { return m_buttonWindows[static_cast<size_t>(index)]; }

    // Layout constants in dialog units.
    struct Margins {
        int left = 10, right = 10, top = 10, bottom = 7, iconGap = 10, textToButtons = 7;
        int buttonPaddingX = 7, buttonPaddingY = 4, buttonGap = 7, minButtonWidth = 40;
    };

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    struct Button {
        UINT id;
        CString text;
    };

    static INT_PTR DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT MessageFilter(int code, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    // Keys of the modal loop; TRUE when the key was used.
    BOOL PreTranslateKey(const MSG& message);
    void CreateText();
    void CreateIcon();
    void CreateButtons();
    void LayOut();
    int ScaleX(int units) const { return units * m_baseX / 1000; }
    int ScaleY(int units) const { return units * m_baseY / 1000; }

    CWnd* m_parentWindow;
    Margins m_margins;
    int m_textWidth = 0, m_textHeight = 0;
    int m_buttonWidth = 0, m_buttonHeight = 0;
    int m_iconWidth = 0, m_iconHeight = 0;
    int m_baseX = 0, m_baseY = 0;
    int m_defaultId = -1;
    int m_escapeId = -1;
    HWND m_iconWindow = nullptr;
    HWND m_textWindow = nullptr;
    std::vector<HWND> m_buttonWindows;
    std::vector<Button> m_buttons;
    HICON m_icon = nullptr;
    CString m_message;
    CString m_caption;
};
