// The editor's window on a real X server: xdotool types, selects with Shift and the arrows and
// opens the Find dialog with Ctrl+F; xclip, another program, reads the PRIMARY selection, and
// another client offers text as CLIPBOARD and PRIMARY for Ctrl+V and the middle button.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "editor/EditView.h"

#include "EditTestSupport.h"
#include "EditWindowX11Support.h"
#include "editor/EditResource.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"
#include "platform/user/tests/SelectionTextOwner.h"

namespace {

class EditViewX11 : public RealServerTest {
protected:
    std::wstring Text() { return edittest::AllText(edit); }
    // The program's own loop: the application sees each message first (the dialog's keys).
    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (app.PreTranslateMessage(&message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    bool Until(const std::function<bool()>& condition)
    {
        return PumpUntil(condition, [this] { Pump(); });
    }
    void Run(const std::string& command)
    {
        ASSERT_EQ(RunCommand("env DISPLAY=" + server->Name() + " " + command).status, 0) << command;
    }
    static std::string FileText(const std::string& path)
    {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // A frame holding the editor's view on text, the focus and the caret at its start as a click
    // there gives them.
    void OpenEditor(CWnd& frame, const wchar_t* text, SECEditView*& view)
    {
        view = edittest::OpenEditorWindow(app, frame, edit, *language, text);
        ASSERT_NE(view, nullptr);
        SECEditController& controller = *view->GetEditController();
        CPoint start = controller.LineColToPoint({ 0, 0 });
        start.y += view->GetLineHeight() / 2;
        view->ClientToScreen(&start);
        ASSERT_TRUE(Until([&] { return ServerPixel(reader, start.x + 20, start.y) != CLR_INVALID && ::IsWindowVisible(view->m_hWnd); }));
        Run(xdotool + " mousemove " + std::to_string(start.x + 1) + " " + std::to_string(start.y) + " click 1");
        ASSERT_TRUE(Until([&] { return ::GetFocus() == view->m_hWnd && controller.GetCaretPos() == SECEditLineCol(0, 0); }));
    }

    CWinApp app { L"EditViewX11Test" };
    std::unique_ptr<SECEditLangConfig> language = edittest::MakeTestLanguage();
    SECEdit edit;
    ScopedSelectionWaitLimit waitLimit { kWaitLimit };
};

TEST_F(EditViewX11, TypingSelectingFindingAndTheTwoSelectionsWithAnotherClient)
{
    const std::string xclip = FindProgram("xclip");
    FLN_REQUIRE_PROGRAMS("xclip");
    CWnd frame;
    SECEditView* view = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenEditor(frame, L"hello world\r\nsecond line", view));
    SECEditController& controller = *view->GetEditController();
    controller.m_bModalFindDialog = FALSE;
    _SEC_FIND_REPLACE_STATE::ForThisThread() = {};

    Run(xdotool + " type 'Say '");
    EXPECT_TRUE(Until([&] { return Text() == L"Say hello world\r\nsecond line"; })) << "typing";

    Run(xdotool + " key shift+Right shift+Right shift+Right shift+Right shift+Right");
    EXPECT_TRUE(Until([&] {
        CString selected;
        controller.GetSelectionText(selected);
        return selected == L"hello";
    })) << "Shift+arrows select";

    // Another client reads the PRIMARY selection while the program answers it.
    const std::string primaryFile = (std::filesystem::temp_directory_path() / ("fln-editor-primary-" + std::to_string(::getpid()))).string();
    Run("sh -c '" + xclip + " -o -selection primary > " + primaryFile + " 2>/dev/null &'");
    EXPECT_TRUE(Until([&] { return FileText(primaryFile) == "hello"; })) << "PRIMARY as read by xclip";
    std::filesystem::remove(primaryFile);

    // CLIPBOARD from another client: Ctrl+V replaces the selection.
    const SelectionTextOwner clipboard(server->Name(), "CLIPBOARD", "pasted");
    ASSERT_TRUE(clipboard.Connected());
    Run(xdotool + " key ctrl+v");
    EXPECT_TRUE(Until([&] { return Text() == L"Say pasted world\r\nsecond line"; })) << "Ctrl+V";

    // PRIMARY from another client: the middle button pastes it where it is pressed.
    const SelectionTextOwner primary(server->Name(), "PRIMARY", "middle");
    ASSERT_TRUE(primary.Connected());
    CPoint lineTwo = controller.LineColToPoint({ 1, 0 });
    lineTwo.y += view->GetLineHeight() / 2;
    view->ClientToScreen(&lineTwo);
    Run(xdotool + " mousemove " + std::to_string(lineTwo.x + 1) + " " + std::to_string(lineTwo.y) + " click 2");
    EXPECT_TRUE(Until([&] { return Text() == L"Say pasted world\r\nmiddlesecond line"; })) << "middle-click paste";

    // Ctrl+F opens the Find dialog; the typed text and Enter select the match.
    Run(xdotool + " key ctrl+f");
    ASSERT_TRUE(Until([&] { return _SEC_FIND_REPLACE_STATE::ForThisThread().pDialog != nullptr; })) << "Ctrl+F";
    HWND dialog = _SEC_FIND_REPLACE_STATE::ForThisThread().pDialog->m_hWnd;
    ASSERT_TRUE(Until([&] { return ::IsChild(dialog, ::GetFocus()); }));
    Run(xdotool + " type world");
    Run(xdotool + " key Return");
    EXPECT_TRUE(Until([&] {
        CString selected;
        controller.GetSelectionText(selected);
        return selected == L"world" && controller.GetSelectionObject().GetFirst() == SECEditLineCol(0, 11);
    })) << "Enter finds";
    WriteServerScreenshot(reader, "fln-editor-x11", 480, 300);
    Run(xdotool + " key Escape");
    EXPECT_TRUE(Until([&] { return _SEC_FIND_REPLACE_STATE::ForThisThread().pDialog == nullptr && ::GetFocus() == view->m_hWnd; }))
        << "Esc closes the dialog and the text has the focus again";

    app.m_pMainWnd = nullptr;
    frame.DestroyWindow();
    edit.AttachLangConfig(nullptr);
}

// A keyboard with dead keys: the local compose handling turns a dead accent and a letter into one
// accented letter (and a dead accent and a space into the plain accent), typed between a
// composition's start and end, and the caret shows after it.
TEST_F(EditViewX11, DeadKeysComposeAccentedLetters)
{
    const std::string setxkbmap = FindProgram("setxkbmap");
    FLN_REQUIRE_PROGRAMS("setxkbmap");
    CWnd frame;
    SECEditView* view = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenEditor(frame, L"", view));
    Run(setxkbmap + " -layout us -variant intl");
    Run(xdotool + " key dead_acute e dead_grave a x dead_acute space");
    EXPECT_TRUE(Until([&] { return Text() == L"\u00E9\u00E0x'"; })) << "dead keys typed: " << Text();
    EXPECT_EQ(view->GetEditController()->GetCaretPos(), SECEditLineCol(0, 4));
    EXPECT_FALSE(view->GetEditController()->IsCaretHidden());
    frame.DestroyWindow();
    edit.AttachLangConfig(nullptr);
}

} // namespace
