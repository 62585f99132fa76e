// The VBScript page in the program: its tab, tool bar and menu, running a script that drives the
// calculator through "FLN", its errors shown and marked at their place, the page's file commands with
// their save question, and a running script that the window keeps answering and Esc or Stop ends.

#include "app/tests/ProgramTestSupport.h"
#include "app/Application.h"
#include "app/FlnDoc.h"
#include "app/ScriptRecovery.h"
#include "app/VBScriptView.h"
#include "commandbars/StdBtn.h"
#include "platform/mfc/PreviewView.h"
#include "platform/mfc/Print.h"
#include "platform/print/PrintDialogs.h"
#include "platform/print/Printers.h"
#include "platform/print/tests/PdfFile.h"
#include "platform/user/tests/PixelChecks.h"
#include "res/Formulon.h"

#include <chrono>
#include <cwchar>
#include <filesystem>
#include <fstream>

namespace {

class ScriptPageTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        ASSERT_GT(ScriptTab(), 0);
        m_languageBeforeShow = Edit().GetLangConfig() != nullptr;
        ShowTab(ScriptTab());
        Script().SetFilePrompt([this](CString& fileName, UINT titleId, BOOL open) {
            m_prompts.push_back({ fileName, titleId, open });
            if (m_promptAnswer.IsEmpty())
                return FALSE;
            fileName = m_promptAnswer;
            return TRUE;
        });
    }

    // A test may leave the script changed: the program then ends without asking.
    void TearDown() override { m_answer = IDNO; }

    void ShowTab(int index)
    {
        Frame().m_wndTab.ActivateTab(index);
        Pump();
    }
    int ScriptTab()
    {
        for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index)
            if (dynamic_cast<CVBScriptView*>(Frame().m_wndTab.GetPage(index)))
                return index;
        return -1;
    }
    CVBScriptView& Script() { return *dynamic_cast<CVBScriptView*>(Frame().m_wndTab.GetPage(ScriptTab())); }
    SECEdit& Edit() { return *Script().GetEdit(); }
    CString Text()
    {
        CString text;
        Edit().GetAllText(text);
        return text;
    }
    // Types the text as the user would (the page's text is then modified).
    void Type(const wchar_t* text)
    {
        Edit().InsertText(Edit().GetLastLine(), Edit().GetLineLength(Edit().GetLastLine()), text);
    }
    void Command(UINT id)
    {
        Frame().SendMessage(WM_COMMAND, id);
        Pump();
    }
    void Run(const wchar_t* text)
    {
        Edit().SetText(text);
        Command(ID_SCRIPT_RUN);
    }
    std::string TempFile(const char* name) { return m_settings.root() + "/" + name; }
    // The text of a script file as the editor reads it.
    static std::wstring FileText(const std::string& path)
    {
        SECEdit file;
        CString text;
        if (file.LoadFile(CString(path.c_str())))
            file.GetAllText(text);
        return std::wstring(text);
    }

    struct Prompt {
        CString fileName;
        UINT titleId;
        BOOL open;
    };
    std::vector<Prompt> m_prompts;
    CString m_promptAnswer;
    bool m_languageBeforeShow = true;
};

TEST_F(ScriptPageTest, TheTabShowsItsToolBarAndMenuAndStartsWithOptionExplicit)
{
    // Start-up leaves the page's language and text to its first show.
    EXPECT_FALSE(m_languageBeforeShow);
    EXPECT_NE(Edit().GetLangConfig(), nullptr);

    CControlBar& bar = *Frame().GetControlBar(IDW_SCRIPT_BAR);
    CString title;
    bar.GetWindowText(title);
    EXPECT_EQ(title, CString(L"VBScriptEditor"));
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_SCRIPTPAGE));
    EXPECT_EQ(Text(), CString(L"Option Explicit\r\n"));
    EXPECT_FALSE(Edit().IsModified());
    EXPECT_FALSE(Frame().GetActiveDocument()->IsModified());
    // The prompts of the page's commands share their string block with the other pages' commands.
    for (UINT id : { ID_SCRIPT_RUN, ID_SCRIPT_STOP, ID_SCRIPT_SAVE_AS, ID_SCRIPT_INSERT_FORMULA, ID_FILE_LOAD_CONTENT }) {
        CString prompt;
        EXPECT_TRUE(prompt.LoadString(id)) << id;
    }

    ShowTab(0);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
}

TEST_F(ScriptPageTest, AScriptDrivesTheCalculatorThroughFln)
{
    Run(L"Option Explicit\r\n"
        L"FLN.Formula = \"2+3*4\"\r\n"
        L"FLN.SetFormulaString FLN.GetFormulaString() & \"+\" & FLN.GetFormulaResult(0)\r\n");
    EXPECT_TRUE(m_messages.empty()) << (m_messages.empty() ? "" : CString(m_messages.front().c_str()).ToUtf8());
    EXPECT_EQ(Page().m_strFormula, CString(L"2+3*4+14"));
    EXPECT_EQ(FieldText(kFormulaField), CString(L"2+3*4+14"));
    // The application's object is still the program's after the host has let it go.
    ASSERT_NE(m_app->m_pApplication, nullptr);
    Run(L"FLN.Formula = FLN.GetName()");
    EXPECT_EQ(Page().m_strFormula, CString(L"FLN"));
}

// The language as scripts write it, through the page and FLN: a function's name read in its body,
// On Error Resume Next into the branch whose condition failed, FLN's errors with their numbers,
// values handed to FLN and Me at script level as the global object. An invalid formula is no error
// of FLN's (its result is the parser's value); an argument FLN cannot take is.
TEST_F(ScriptPageTest, AScriptWrittenAsScriptsAreRuns)
{
    Run(L"Function SumTo(n)\r\n"
        L"    For i = 1 To n\r\n"
        L"        SumTo = SumTo + i\r\n"
        L"    Next\r\n"
        L"End Function\r\n"
        L"MsgBox \"own name \" & SumTo(4)\r\n"
        L"On Error Resume Next\r\n"
        L"FLN.Formula = \"2#3\"\r\n"
        L"MsgBox \"invalid \" & FLN.GetFormulaResult(0) & \" \" & Err.Number\r\n"
        L"entered = False\r\n"
        L"If FLN.GetFormulaResult(\"text\") > 0 Then entered = True\r\n"
        L"MsgBox \"branch \" & entered & \" \" & Err.Number & \" \" & Err.Description\r\n"
        L"Err.Clear\r\n"
        L"x = FLN.GetFormulaResult(\"text\")\r\n"
        L"MsgBox \"mapped \" & Err.Number\r\n"
        L"On Error GoTo 0\r\n"
        L"FLN.Formula = \"x*2\"\r\n"
        L"Set scope = Eval(\"Me\")\r\n"
        L"MsgBox \"values \" & FLN.GetFormulaResult(&h10&) & \" \" & (scope Is Me) & \" \" & scope.SumTo(3)\r\n");
    std::vector<std::wstring> expected = { L"own name 10", L"invalid 2 0", L"branch True 13 Type mismatch",
                                           L"mapped 13", L"values 32 True 6" };
    EXPECT_EQ(m_messages, expected);
}

// Errors of the engine's parser and of the run are shown with their line, position and a marker,
// and the failing character is selected.
TEST_F(ScriptPageTest, AnErrorIsShownAndMarkedAtItsPlace)
{
    struct Case {
        const wchar_t* script;
        const wchar_t* shown;  // what the message must contain
        int line, column;      // the selected character, from 0
    } cases[] = {
        { L"Option Explicit\r\nDim a\r\na = 1\r\n    b = 2\r\n", L"\r\nLine: 4\r\nChar: 5\r\nError: 500 'Variable is undefined: 'b''\r\n----v\r\n    b = 2", 3, 4 },
        { L"Option Explicit\r\nDim a\r\na = 1 + * 2\r\n", L"\r\nLine: 3\r\nChar: 9\r\nError: 1023 'Expected expression'\r\n--------v\r\na = 1 + * 2", 2, 8 },
        { L"x = 1 / 0", L"Line: 1\r\nChar: 1\r\nError: 11 'Division by zero'\r\nv\r\nx = 1 / 0", 0, 0 },
        // A failure inside text run by Execute is the Execute statement's.
        { L"Option Explicit\r\nSub S\r\n Dim a\r\n Execute \"a = 1 / 0\"\r\nEnd Sub\r\nS\r\n",
          L"Line: 4\r\nChar: 2\r\nError: 11 'Division by zero'\r\n-v\r\n Execute \"a = 1 / 0\"", 3, 1 },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        Run(c.script);
        ASSERT_EQ(m_messages.size(), 1u) << CString(c.script).ToUtf8();
        EXPECT_NE(m_messages[0].find(c.shown), std::wstring::npos) << CString(m_messages[0].c_str()).ToUtf8();
        EXPECT_EQ(m_messages[0].rfind(L"Source: '", 0), 0u);
        int startLine = -1, startCol = -1, endLine = -1, endCol = -1;
        Script().GetEditController()->GetSelection(startLine, startCol, endLine, endCol);
        EXPECT_EQ(startLine, c.line) << CString(m_messages[0].c_str()).ToUtf8();
        EXPECT_EQ(startCol, c.column);
        EXPECT_EQ(endLine, c.line);
        EXPECT_EQ(endCol, c.column + 1);
        EXPECT_EQ(::GetFocus(), Script().m_hWnd);
    }
}

TEST_F(ScriptPageTest, TheErrorMarkerAndALongSourceLine)
{
    EXPECT_EQ(CVBScriptView::ErrorMarker(0), CString());
    EXPECT_EQ(CVBScriptView::ErrorMarker(1), CString(L"v"));
    EXPECT_EQ(CVBScriptView::ErrorMarker(5), CString(L"----v"));
    EXPECT_EQ(CVBScriptView::ErrorMarker(254), CString(L'-', 253) + L"v");
    EXPECT_EQ(CVBScriptView::ErrorMarker(255), CString());

    // The message holds the whole source line, longer than a fixed buffer of 1024 characters would.
    const std::wstring line = L"x = \"" + std::wstring(1500, L'a') + L"\" + 1 / 0";
    Run(line.c_str());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(line), std::wstring::npos);
}

TEST_F(ScriptPageTest, InsertFormulaPutsTheFormulaPageTextAtTheCaret)
{
    SetFieldText(kFormulaField, L"SIN(x)*A");
    Edit().SetText(L"a = \r\nb = 2\r\n");
    Script().GetEditController()->SetCaretPosition(0, 4, FALSE);
    Command(ID_SCRIPT_INSERT_FORMULA);
    EXPECT_EQ(Text(), CString(L"a = SIN(x)*A\r\nb = 2\r\n"));
    EXPECT_EQ(::GetFocus(), Script().m_hWnd);
}

TEST_F(ScriptPageTest, SaveContentAsksForANameOnceThenSavesWithoutADialog)
{
    const std::string path = TempFile("first.vbs");
    m_promptAnswer = CString(path.c_str());
    Type(L"FLN.Formula = \"1\"\r\n");
    Command(ID_FILE_SAVE_CONTENT);
    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].titleId, static_cast<UINT>(IDS_SAVE_CONTENT_TITLE));
    EXPECT_FALSE(m_prompts[0].open);
    EXPECT_EQ(Script().m_strFileName, CString(path.c_str()));
    EXPECT_NE(FileText(path).find(L"FLN.Formula = \"1\""), std::string::npos);
    EXPECT_FALSE(Edit().IsModified());

    Type(L"' more\r\n");
    Command(ID_FILE_SAVE_CONTENT);
    EXPECT_EQ(m_prompts.size(), 1u);
    EXPECT_NE(FileText(path).find(L"' more"), std::string::npos);

    // Save Code As always asks, starting from the present name.
    m_promptAnswer = CString(TempFile("second.vbs").c_str());
    Command(ID_SCRIPT_SAVE_AS);
    ASSERT_EQ(m_prompts.size(), 2u);
    EXPECT_EQ(m_prompts[1].fileName, CString(path.c_str()));
    EXPECT_TRUE(std::filesystem::exists(TempFile("second.vbs")));
}

TEST_F(ScriptPageTest, AFailedSaveIsNotTakenForASave)
{
    // A folder cannot be written as a file: the close that asked for the save does not go on.
    m_promptAnswer = CString(m_settings.root().c_str());
    Type(L"' changed\r\n");
    EXPECT_FALSE(Script().SaveCodeAs());
    m_answer = IDYES;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(m_app->m_pMainWnd && IsWindow(m_app->m_pMainWnd->m_hWnd));
    EXPECT_TRUE(Edit().IsModified());
    m_answer = IDNO;
}

TEST_F(ScriptPageTest, LoadContentAsksToSaveAChangedTextFirst)
{
    const std::string path = TempFile("load.vbs");
    std::ofstream(path) << "FLN.Formula = \"7\"\r\n";
    m_promptAnswer = CString(path.c_str());

    // Not modified: no question, the file is loaded.
    Command(ID_FILE_LOAD_CONTENT);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].titleId, static_cast<UINT>(IDS_LOAD_CONTENT_TITLE));
    EXPECT_TRUE(m_prompts[0].open);
    EXPECT_EQ(Text(), CString(L"FLN.Formula = \"7\"\r\n"));
    EXPECT_EQ(Script().m_strFileName, CString(path.c_str()));

    // Modified, Cancel: nothing changes and no dialog opens.
    Type(L"' mine");
    m_answer = IDCANCEL;
    Command(ID_FILE_LOAD_CONTENT);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], L"Save changes to " + std::wstring(CString(path.c_str())) + L"?");
    EXPECT_EQ(m_prompts.size(), 1u);
    EXPECT_NE(Text().Find(L"' mine"), -1);

    // A file that cannot be read leaves the text and its name.
    m_answer = IDNO;
    m_promptAnswer = CString(TempFile("missing.vbs").c_str());
    Command(ID_FILE_LOAD_CONTENT);
    EXPECT_NE(Text().Find(L"' mine"), -1);
    EXPECT_EQ(Script().m_strFileName, CString(path.c_str()));
}

TEST_F(ScriptPageTest, DeleteAllAsksToSaveAndResetsThePage)
{
    Type(L"FLN.Formula = \"1\"\r\n");
    m_answer = IDCANCEL;
    Command(ID_EDIT_DELETE_ALL);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], L"Save changes to Untitled?");
    EXPECT_NE(Text().Find(L"FLN.Formula"), -1);

    // Yes with the save dialog cancelled stops too.
    m_answer = IDYES;
    Command(ID_EDIT_DELETE_ALL);
    EXPECT_EQ(m_prompts.size(), 1u);
    EXPECT_NE(Text().Find(L"FLN.Formula"), -1);

    Script().m_strFileName = L"/somewhere/kept.vbs";
    m_answer = IDNO;
    Command(ID_EDIT_DELETE_ALL);
    EXPECT_EQ(Text(), CString(L"Option Explicit\r\n"));
    EXPECT_TRUE(Script().m_strFileName.IsEmpty());
    EXPECT_FALSE(Edit().IsModified());
}

// A script loaded (or the page emptied) while the view is scrolled right along a long line, or down
// a long script, is shown from its first line and column, with the caret in view.
TEST_F(ScriptPageTest, LoadContentAndDeleteAllShowTheNewTextFromItsStart)
{
    const std::string shortScript = TempFile("short.vbs"), longScript = TempFile("long.vbs");
    std::ofstream(shortScript) << "x = 1\r\n";
    {
        std::ofstream file(longScript);
        for (int line = 0; line < 300; ++line)
            file << "' line " << line << "\r\n";
    }
    SECEditController& controller = *Script().GetEditController();
    SECEditViewport& viewport = Script().GetViewport();
    struct Case {
        const char* name;
        std::wstring before;
        SECEditLineCol caret;
        std::function<void()> replace;
    };
    const Case cases[] = {
        { "Load Content after End on a 500-character line", L"' " + std::wstring(500, L'a'), { 0, 502 }, [&] {
             m_promptAnswer = CString(shortScript.c_str());
             Command(ID_FILE_LOAD_CONTENT);
         } },
        { "Load Content at the end of a long script", FileText(longScript), { 300, 0 }, [&] {
             m_promptAnswer = CString(longScript.c_str());
             Command(ID_FILE_LOAD_CONTENT);
         } },
        { "Delete All after End on a 500-character line", L"' " + std::wstring(500, L'a'), { 0, 502 }, [&] { Command(ID_EDIT_DELETE_ALL); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit().SetText(c.before.c_str());
        Edit().SetModified(FALSE);
        controller.SetCaretPosition(c.caret.m_nLine, c.caret.m_nCol, FALSE);
        controller.EnsureCaretVisible();
        Pump();
        ASSERT_TRUE(viewport.GetLeftColumn() > 0 || viewport.GetTopLine() > 0);
        c.replace();
        EXPECT_EQ(viewport.GetTopLine(), 0);
        EXPECT_EQ(viewport.GetLeftColumn(), 0);
        EXPECT_EQ(::GetScrollPos(Script().m_hWnd, SB_HORZ), 0);
        EXPECT_EQ(::GetScrollPos(Script().m_hWnd, SB_VERT), 0);
        const SECEditLineCol caret = controller.GetCaretPos();
        EXPECT_LT(caret.m_nLine, viewport.GetVisibleLineCount());
        EXPECT_LT(caret.m_nCol, viewport.GetVisibleColumnCount());
        EXPECT_FALSE(controller.IsCaretHidden());
    }
}

TEST_F(ScriptPageTest, ClosingWithAChangedScriptAsksSaveDontSaveCancel)
{
    Type(L"' changed\r\n");
    m_answer = IDCANCEL;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(m_app->m_pMainWnd && IsWindow(m_app->m_pMainWnd->m_hWnd));
    ASSERT_EQ(m_messages.size(), 1u);

    // Save: the save dialog asks for a name, and the program ends once it is written.
    const std::string path = TempFile("atclose.vbs");
    m_promptAnswer = CString(path.c_str());
    m_answer = IDYES;
    HWND frame = Frame().m_hWnd;
    SendMessageW(frame, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_NE(FileText(path).find(L"' changed"), std::string::npos);
}

// The window keeps answering a script that never ends, also when what never ends is the
// terminator of the object its last line made, run as the script is closed: Esc, the Stop command
// and a close each end it promptly; a close then goes on once the script has unwound.
TEST_F(ScriptPageTest, EscStopAndCloseEndARunningScript)
{
    const wchar_t* endless = L"Dim n\r\nDo\r\n  n = n + 1\r\n  FLN.Formula = CStr(n)\r\nLoop\r\n";
    const wchar_t* endlessAtTheEnd = L"Class T\r\n Private Sub Class_Terminate()\r\n  Dim n\r\n  Do\r\n   n = n + 1\r\n"
                                     L"   FLN.Formula = CStr(n)\r\n  Loop\r\n End Sub\r\nEnd Class\r\nSet t = New T\r\n";
    struct Case {
        const char* name;
        std::function<void()> ask;
    } cases[] = {
        { "Esc", [&] { m_display->InjectKey(VK_ESCAPE, true); m_display->InjectKey(VK_ESCAPE, false); } },
        { "Stop", [&] { Frame().PostMessage(WM_COMMAND, ID_SCRIPT_STOP); } },
        { "close", [&] { Frame().PostMessage(WM_CLOSE); } },
    };
    for (const wchar_t* script : { endless, endlessAtTheEnd }) {
        for (const Case& c : cases) {
            if (c.name == std::string("close") && script == endless)
                continue;  // the close ends the program: it comes last
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(script);
            Page().m_strFormula.Empty();
            Edit().SetText(script);
            c.ask();
            // The page sets no step limit: only the request ends the endless script.
            Script().RunScript();
            EXPECT_FALSE(Script().IsRunning());
            EXPECT_TRUE(m_messages.empty());
            EXPECT_GE(std::wcstol(Page().m_strFormula, nullptr, 10), 1) << "the script ran";
        }
    }
    m_answer = IDNO;  // to the question about the changed script
    Pump();
    EXPECT_FALSE(m_app->m_pMainWnd && IsWindow(m_app->m_pMainWnd->m_hWnd));
}

// A run may hold the window until an end's last resort, which keeps the snapshot of the script: the
// run hands the text as it is run to the snapshot without waiting for the snapshot's interval.
TEST_F(ScriptPageTest, TheLastResortKeepsTheScriptAsItWasRun)
{
    Type(L"\r\nRem first\r\n");
    m_app->RefreshRecoverySnapshot();
    Type(L"Rem as run\r\n");
    m_app->RefreshRecoverySnapshot();  // within the interval: held back
    Script().RunScript();
    m_app->RecoveryCopy().KeepSnapshot();
    std::vector<std::filesystem::path> copies;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(RecoveryFolder(), error))
        copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(TempSettingsFolder::ReadAll(copies[0].string()).find("Rem first\r\nRem as run"), std::string::npos);
}

TEST_F(ScriptPageTest, TheWindowPaintsWhileAScriptRuns)
{
    // A script that runs for a twentieth of a second on its own: the page, invalidated before, has
    // been painted by the time it ends, with no message loop of the test's in between. The steps
    // after that time make sure the script looks at the clock again, however long a loaded machine
    // held the script's thread.
    Edit().SetText(L"Dim t, i\r\nt = Timer\r\nDo While Timer - t < 0.05 And Timer >= t\r\nLoop\r\nFor i = 1 To 1000\r\nNext\r\n");
    Pump();
    Script().Invalidate();
    ASSERT_TRUE(GetUpdateRect(Script().m_hWnd, nullptr, FALSE));
    Script().RunScript();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(GetUpdateRect(Script().m_hWnd, nullptr, FALSE));
}

// While a script runs (here inside its MsgBox) the tool bar offers Stop, not Run, and the page holds
// a reference to the automation object for the host; afterwards both are as before.
TEST_F(ScriptPageTest, WhileAScriptRunsStopIsOfferedAndFlnIsHeld)
{
    SECCustomToolBar& bar = Frame().m_wndScriptBar;
    auto disabled = [&](UINT id) {
        for (int index = 0; index < bar.GetButtonCount(); ++index)
            if (bar.GetButton(index)->m_nID == id)
                return (bar.GetButtonStyle(index) & TBBS_DISABLED) != 0;
        ADD_FAILURE() << "no button " << id;
        return false;
    };
    Pump();
    m_app->OnIdle(0);
    const LONG references = m_app->m_pApplication->m_dwRef;
    EXPECT_FALSE(disabled(ID_SCRIPT_RUN));
    EXPECT_TRUE(disabled(ID_SCRIPT_STOP));
    bool runDisabled = false, stopDisabled = true;
    LONG referencesDuringRun = 0;
    SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        m_messages.emplace_back(text);
        runDisabled = disabled(ID_SCRIPT_RUN);
        stopDisabled = disabled(ID_SCRIPT_STOP);
        referencesDuringRun = m_app->m_pApplication->m_dwRef;
        return IDOK;
    });
    Run(L"MsgBox \"Result: \" & (2 + 3 * 4)");
    SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
        m_messages.emplace_back(text);
        return m_answer;
    });
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], L"Result: 14");
    EXPECT_TRUE(runDisabled);
    EXPECT_FALSE(stopDisabled);
    EXPECT_GT(referencesDuringRun, references);
    EXPECT_EQ(m_app->m_pApplication->m_dwRef, references);
    EXPECT_FALSE(disabled(ID_SCRIPT_RUN));
    EXPECT_TRUE(disabled(ID_SCRIPT_STOP));
}

// Steps posted before a script runs, each taken while the script runs, from the messages the
// running script lets through: what a user does meanwhile.
class StepsWhileRunning : public CWnd {
public:
    explicit StepsWhileRunning(std::vector<std::function<void()>> steps) : m_steps(std::move(steps))
    {
        CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
        for (size_t step = 0; step < m_steps.size(); ++step)
            PostMessage(kStep, step);
    }
    ~StepsWhileRunning() override { DestroyWindow(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kStep)
            return CWnd::WindowProc(message, wParam, lParam);
        m_steps[wParam]();
        return 0;
    }

private:
    static constexpr UINT kStep = WM_APP + 50;
    std::vector<std::function<void()>> m_steps;
};

// A running script keeps its bar on another page, where Stop ends it; back on its page while it
// runs, the page has its menu and its bar offers Stop, not Run.
TEST_F(ScriptPageTest, StopOnAnotherPageEndsTheScriptAndThePageComesBackWhole)
{
    SECCustomToolBar& bar = Frame().m_wndScriptBar;
    auto enabled = [&](UINT id) {
        Frame().SendIdleUpdateCmdUI();
        for (int index = 0; index < bar.GetButtonCount(); ++index)
            if (bar.GetButton(index)->m_nID == id)
                return (bar.GetButtonStyle(index) & TBBS_DISABLED) == 0;
        ADD_FAILURE() << "no button " << id;
        return false;
    };
    bool stoppedByTheTest = false;
    Edit().SetText(L"Dim i\r\nDo\r\n  i = i + 1\r\nLoop\r\n");
    StepsWhileRunning steps({
        [&] {
            Frame().m_wndTab.ActivateTab(0);
            EXPECT_TRUE(bar.IsWindowVisible()) << "the bar stays while the script runs";
            EXPECT_TRUE(enabled(ID_SCRIPT_STOP)) << "on the Formula page";
            EXPECT_FALSE(enabled(ID_SCRIPT_RUN)) << "on the Formula page";
        },
        [&] {
            Frame().m_wndTab.ActivateTab(ScriptTab());
            EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_SCRIPTPAGE));
            EXPECT_TRUE(enabled(ID_SCRIPT_STOP)) << "back on the script page";
            EXPECT_FALSE(enabled(ID_SCRIPT_RUN)) << "back on the script page";
        },
        [&] { Frame().m_wndTab.ActivateTab(0); },
        [&] { Frame().SendMessage(WM_COMMAND, ID_SCRIPT_STOP); },
        // Taken only when Stop did not end the script: ended here, so that the test goes on.
        [&] { stoppedByTheTest = Script().StopScript(); },
    });
    Script().RunScript();
    EXPECT_FALSE(stoppedByTheTest) << "Stop on the Formula page ended the script";
    EXPECT_FALSE(Script().IsRunning());
    Pump();
    EXPECT_FALSE(bar.IsWindowVisible()) << "the end of the run hides the bar of a page that is not up";
    ShowTab(ScriptTab());
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_SCRIPTPAGE));
    EXPECT_TRUE(enabled(ID_SCRIPT_RUN));
    EXPECT_FALSE(enabled(ID_SCRIPT_STOP));
}

// Run on the bar floating in a frame of its own, which that click made the active window: the
// script's box belongs to the main window, as after Code > Run, and leaves the floating frame and
// its Stop enabled.
TEST_F(ScriptPageTest, AScriptStartedFromTheFloatingBarOwnsItsBoxByTheMainWindow)
{
    SECCustomToolBar& bar = Frame().m_wndScriptBar;
    Frame().FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    const HWND floating = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    ASSERT_NE(floating, Frame().m_hWnd);
    ::SetActiveWindow(floating);
    HWND owner = nullptr;
    bool floatingEnabled = false;
    SetMessageBoxHandler([&](const wchar_t*, const wchar_t*, UINT) {
        owner = ::GetActiveWindow();
        floatingEnabled = ::IsWindowEnabled(floating) && ::IsWindowEnabled(bar.m_hWnd);
        return IDOK;
    });
    Edit().SetText(L"MsgBox \"y\"\r\n");
    ::SendMessageW(Frame().m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SCRIPT_RUN, BN_CLICKED), reinterpret_cast<LPARAM>(bar.m_hWnd));
    Pump();
    SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
        m_messages.emplace_back(text);
        return m_answer;
    });
    EXPECT_EQ(owner, Frame().m_hWnd);
    EXPECT_TRUE(floatingEnabled);
    EXPECT_FALSE(Script().IsRunning());
}

// InputBox: a dialog with the script's title, prompt and proposed answer, modal to the main window
// but for the script bar, whose Stop stays reachable; OK gives the typed text, Cancel an empty one,
// and the editor has the focus again.
TEST_F(ScriptPageTest, AnInputBoxIsModalToTheWindowAndGivesTheTypedText)
{
    struct Case {
        const char* name;
        std::vector<unsigned> keys;
        const wchar_t* formula;
    } cases[] = {
        { "typed and OK", { 'X', '*', '2', VK_RETURN }, L"x*2" },
        { "proposed and OK", { VK_RETURN }, L"SIN(x)" },
        { "Cancel", { VK_ESCAPE }, L"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString title, prompt, text;
        bool pagesDisabled = false, barEnabled = false;
        SetModalLoopHook([&](HWND box) {
            if (!title.IsEmpty())
                return;
            CWnd::FromHandle(box)->GetWindowText(title);
            CWnd::FromHandle(::GetDlgItem(box, IDC_INPUT_BOX_PROMPT))->GetWindowText(prompt);
            CWnd::FromHandle(::GetDlgItem(box, IDC_INPUT_BOX_TEXT))->GetWindowText(text);
            pagesDisabled = !::IsWindowEnabled(Frame().m_wndTab.m_hWnd) && !::IsWindowEnabled(Frame().m_wndToolBar.m_hWnd);
            barEnabled = ::IsWindowEnabled(Frame().m_hWnd) && ::IsWindowEnabled(Frame().m_wndScriptBar.m_hWnd);
            if (c.keys.size() == 1 && c.keys[0] == VK_RETURN) {
                EXPECT_TRUE(pixel_checks::MatchesExpectedImage(box, "script_input_box.png"));
            }
            for (unsigned key : c.keys) {
                const bool letter = key == 'X' || key == '*' || key == '2';
                m_display->InjectKey(letter ? 0 : key, true, letter ? std::wstring(1, key == 'X' ? L'x' : wchar_t(key)) : std::wstring());
                m_display->InjectKey(letter ? 0 : key, false);
            }
        });
        Run(L"FLN.Formula = InputBox(\"Which formula?\", \"Formula\", \"SIN(x)\")");
        SetModalLoopHook({});
        EXPECT_EQ(title, CString(L"Formula"));
        EXPECT_EQ(prompt, CString(L"Which formula?"));
        EXPECT_EQ(text, CString(L"SIN(x)"));
        EXPECT_TRUE(pagesDisabled);
        EXPECT_TRUE(barEnabled) << "Stop stays reachable";
        EXPECT_TRUE(::IsWindowEnabled(Frame().m_wndTab.m_hWnd));
        EXPECT_EQ(::GetFocus(), Script().m_hWnd);
        EXPECT_EQ(Page().m_strFormula, CString(c.formula));
    }
}

TEST_F(ScriptPageTest, ThePageAsItLooks)
{
    Edit().SetText(L"Option Explicit\r\nDim r\r\nFLN.Formula = \"2+3*4\"\r\nr = FLN.GetFormulaResult(0)\r\n");
    Script().GetEditController()->SetCaretPosition(3, 0, FALSE);
    Pump();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(Script().m_hWnd, "script_page.png"));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(Frame().GetControlBar(IDW_SCRIPT_BAR)->m_hWnd, "script_page_bar.png"));
}

// The main bar's Print, clicked on this page, prints the script through the editor (a PDF file
// here), and Print Preview shows the editor's pages in the frame until it is closed.
TEST_F(ScriptPageTest, PrintOnTheMainBarAndPrintPreviewReachTheEditorsPrinting)
{
    const std::string output = TempFile("script.pdf");
    fln::print::ScopedPrinterList printers { { { fln::print::kPdfPrinterName, L"", true, true } } };
    AfxSelectPrinter(fln::print::NewDevNames(fln::print::kPdfPrinterName, std::wstring(output.begin(), output.end()), false), nullptr);
    Edit().SetText(L"Option Explicit\r\nMsgBox \"printed\"\r\n");
    SECCustomToolBar& bar = Frame().m_wndToolBar;
    int print = 0;
    while (print < bar.GetButtonCount() && bar.GetButton(print)->m_nID != ID_FILE_PRINT)
        ++print;
    ASSERT_LT(print, bar.GetButtonCount());
    m_app->OnIdle(0);
    ASSERT_FALSE(bar.GetButtonStyle(print) & TBBS_DISABLED);
    CRect button;
    bar.GetItemRect(print, &button);
    CPoint centre = button.CenterPoint();
    bar.ClientToScreen(&centre);
    bool dialogShown = false;
    SetModalLoopHook([&](HWND) {
        if (std::exchange(dialogShown, true))
            return;
        m_display->InjectKey(VK_RETURN, true);
        m_display->InjectKey(VK_RETURN, false);
    });
    m_display->InjectMouseMove(centre);
    m_display->InjectButton(1, true, centre);
    m_display->InjectButton(1, false, centre);
    Pump();
    SetModalLoopHook({});
    EXPECT_TRUE(dialogShown) << "the print dialog";
    const std::vector<std::string> pages = fln::print::testing::pdfPages(output);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("MsgBox \"printed\""), std::string::npos) << pages[0];
    EXPECT_NE(pages[0].find("Page: 1"), std::string::npos) << pages[0];

    Command(ID_FILE_PRINT_PREVIEW);
    auto* preview = dynamic_cast<CPreviewView*>(Frame().GetActiveView());
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(Script().IsWindowVisible());
    ASSERT_NE(Script().GetPrintInfo(), nullptr);
    EXPECT_EQ(Script().GetPrintInfo()->m_rows.size(), 3u);
    ::SendMessageW(::GetDlgItem(preview->m_hWnd, AFX_ID_PREVIEW_CLOSE), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Script().GetPrintInfo(), nullptr);
    EXPECT_TRUE(Script().IsWindowVisible());
    EXPECT_EQ(Frame().GetActiveView(), &Script());
    AfxSelectPrinter(nullptr, nullptr);
    EXPECT_TRUE(m_messages.empty());
}

} // namespace
