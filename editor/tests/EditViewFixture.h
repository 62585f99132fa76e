#pragma once
// A plain frame with the editor's view in it, under the headless display: a model in the small
// test language, keys and mouse injected, the clipboard and message boxes captured.

#include "editor/EditRegExpSearch.h"
#include "editor/EditView.h"

#include "EditTestSupport.h"
#include "platform/base/tests/Printers.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"
#include "platform/user/tests/UserTestSupport.h"
#include "editor/EditResource.h"

#include <gtest/gtest.h>

// Positions print as (line, column).
inline void PrintTo(const SECEditLineCol& p, std::ostream* os) { *os << "(" << p.m_nLine << ", " << p.m_nCol << ")"; }

namespace edittest {

// count lines "line 0" ... each with its break (so count + 1 lines in the model).
inline std::wstring Lines(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"line " + std::to_wstring(i) + L"\r\n";
    return text;
}

enum Modifiers : unsigned { NoMods = 0, Ctrl = 1, Shift = 2, Alt = 4 };

// The model, noting the longest part of one line that anything has read from it at once.
class ReadNotingEdit : public SECEdit {
public:
    int longestRead = 0;
    BOOL GetText(CString& text, int startLine, int startCol, int endLine, int endCol) override
    {
        Note(startLine, startCol, endLine, endCol);
        return SECEdit::GetText(text, startLine, startCol, endLine, endCol);
    }
    int GetLinePointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol) override
    {
        Note(startLine, startCol, endLine, endCol);
        return SECEdit::GetLinePointer(text, startLine, startCol, endLine, endCol);
    }

private:
    void Note(int startLine, int startCol, int endLine, int endCol)
    {
        if (startLine == endLine)
            longestRead = std::max(longestRead, endCol - startCol);
    }
};

class EditViewTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        m_language->SetTabSize(4);
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
        ASSERT_TRUE(m_frame.CreateEx(0, nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 300, nullptr, nullptr));
        m_app.m_pMainWnd = &m_frame;
        m_view = new SECEditView;
        m_view->SetEdit(&m_edit);
        ASSERT_TRUE(m_view->CreateEditWindow(&m_frame, CRect(0, 0, m_width, m_height), 1, WS_CHILD | WS_VISIBLE));
        m_view->OnInitialUpdate();
        m_view->SetFocus();
        Pump();
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        m_edit.AttachLangConfig(nullptr);
        UserTest::TearDown();
        AfxDeleteTempObjects();
    }

    // Dispatches everything that is waiting; with m_preTranslate as the program's loop does, the
    // application seeing each message first (the keys of a modeless dialog).
    void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (m_preTranslate && m_app.PreTranslateMessage(&message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    SECEditController& C() { return *m_view->GetEditController(); }
    SECEditLineCol Caret() { return C().GetCaretPos(); }
    std::wstring Text() { return edittest::AllText(m_edit); }
    void SetText(const wchar_t* text)
    {
        m_edit.SetText(text);
        m_edit.ResetUndo();
        Pump();
    }
    void Press(unsigned key, unsigned mods = NoMods, std::wstring text = {})
    {
        if (mods & Ctrl)
            headless->InjectKey(VK_CONTROL, true);
        if (mods & Shift)
            headless->InjectKey(VK_SHIFT, true);
        if (mods & Alt)
            headless->InjectKey(VK_MENU, true);
        headless->InjectKey(key, true, std::move(text));
        headless->InjectKey(key, false);
        if (mods & Alt)
            headless->InjectKey(VK_MENU, false);
        if (mods & Shift)
            headless->InjectKey(VK_SHIFT, false);
        if (mods & Ctrl)
            headless->InjectKey(VK_CONTROL, false);
        Pump();
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            Press(ch == L' ' ? VK_SPACE : static_cast<unsigned>(towupper(ch)), NoMods, std::wstring(1, ch));
    }
    void Command(UINT id)
    {
        m_view->SendMessage(WM_COMMAND, id, 0);
        Pump();
    }
    // Puts the caret at a line and column as a click there does (the remembered x included).
    void Place(int line, int column)
    {
        C().SetCaretPosition(line, column, FALSE);
        C().EnsureCaretVisible();
        headless->Advance(2000); // no double click with an earlier one
        Click(At(line, column));
        ASSERT_EQ(Caret(), SECEditLineCol(line, column));
    }
    // The screen point of a line and column, half a line down.
    POINT At(int line, int column)
    {
        CPoint point = C().LineColToPoint({ line, column });
        point -= m_view->GetViewport().GetLogOrigin();
        return ScreenPoint(m_view->m_hWnd, point.x, point.y + m_view->GetLineHeight() / 2);
    }
    static _SEC_FIND_REPLACE_STATE& GetFindState() { return _SEC_FIND_REPLACE_STATE::ForThisThread(); }
    std::wstring Selected()
    {
        CString text;
        C().GetSelectionText(text);
        return text.GetString();
    }
    std::wstring ClipboardText()
    {
        CString text;
        if (::OpenClipboard(nullptr)) {
            if (HANDLE memory = ::GetClipboardData(CF_UNICODETEXT))
                text = static_cast<const wchar_t*>(::GlobalLock(memory));
            ::CloseClipboard();
        }
        return text.GetString();
    }

    bool m_preTranslate = false;
    int m_width = 400;
    int m_height = 200;
    CWinApp m_app { L"EditViewTest" };
    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    ReadNotingEdit m_edit;
    CWnd m_frame;
    SECEditView* m_view = nullptr;
    CapturedMessages m_messages;
};

} // namespace edittest
