// The program on the headless display: start-up and its switches, the frame's size rules and menus,
// settings and last content across a restart, the close path, and the automation object in process.

#include "app/tests/ProgramTestSupport.h"

#include "app/Application.h"
#include "app/FlnDoc.h"
#include "app/FormulaPageFile.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchDriver.h"
#include "platform/com/LocalServerRegistration.h"
#include "res/Formulon.h"

#include <filesystem>

namespace {

TEST_F(ProgramTest, StartsWithItsFrameShownTitledAndReady)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(frame.m_bReady);
    EXPECT_EQ(frame.GetWindowText(), L"Formulon 4.2");
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    CString version = frame.m_wndStatusBar.GetPaneText(frame.m_wndStatusBar.CommandToIndex(ID_INDICATOR_VERSION));
    EXPECT_EQ(version.Left(10), L"V4.2.0.0  ") << version.GetString();
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    EXPECT_FALSE(frame.m_wndStatusBar.GetPaneStyle(frame.m_wndStatusBar.CommandToIndex(ID_INDICATOR_VERSION)) & SBPS_DISABLED)
        << "the version line shows";
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_BIG), 0);
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_SMALL), 0);
    ASSERT_NE(m_app->GetFlnView(), nullptr);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(GetFocus(), Field(kFormulaField)) << "the focus is on control " << GetDlgCtrlID(GetFocus());
}

// The window's first picture is already the one it settles on: what the first idle moment
// updates (the bars' command states) is up to date before it is painted.
TEST_F(ProgramTest, TheFirstPictureIsTheSettledOne)
{
    ASSERT_TRUE(Start());
    auto screen = [this] {
        cairo_surface_t* surface = m_display->Screen();
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        return std::vector<unsigned char>(data, data + static_cast<size_t>(cairo_image_surface_get_stride(surface)) * cairo_image_surface_get_height(surface));
    };
    auto first = screen();
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    Pump();
    EXPECT_TRUE(screen() == first);
}

TEST_F(ProgramTest, RegistersItsAutomationClassesAtItsFirstIdleMoment)
{
    ASSERT_TRUE(Start());
    const std::string service = ServiceFilePath(L"FLN.Application");
    EXPECT_FALSE(std::filesystem::exists(service)) << "the first picture waited for the registration";
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    EXPECT_TRUE(std::filesystem::exists(service));
    EXPECT_TRUE(std::filesystem::exists(ServiceFilePath(L"FLN.Document")));
}

TEST_F(ProgramTest, ReadsItsOwnSwitches)
{
    struct Case {
        std::vector<CString> arguments;
        BOOL noMinimizeBox, exitAfterFirstResult, formulaOnly;
    };
    const Case cases[] = {
        { {}, FALSE, FALSE, FALSE },
        { { L"-m" }, TRUE, FALSE, FALSE },
        { { L"-m", L"x", L"-e" }, TRUE, TRUE, FALSE },
        { { L"-f" }, FALSE, FALSE, TRUE },
        { { L"-5" }, FALSE, FALSE, FALSE },
        { { L"-M" }, FALSE, FALSE, FALSE },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Start(c.arguments));
        EXPECT_EQ(m_app->m_bNoMinimizeBox, c.noMinimizeBox);
        EXPECT_EQ(m_app->m_bExitAfterFirstResult, c.exitAfterFirstResult);
        EXPECT_EQ(m_app->m_bFormulaOnly, c.formulaOnly);
        EXPECT_EQ((Frame().GetStyle() & WS_MINIMIZEBOX) == 0, c.noMinimizeBox == TRUE);
        Stop();
    }
}

TEST_F(ProgramTest, TheFrameIsNeverTrackedBelow450By400)
{
    ASSERT_TRUE(Start());
    MINMAXINFO info {};
    Frame().SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 450);
    EXPECT_EQ(info.ptMinTrackSize.y, 400);
}

TEST_F(ProgramTest, FitsItselfToTheFormulaPageOnRequest)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.SetWindowPos(nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    Pump();
    EXPECT_TRUE(frame.m_bAutoResize);
    CRect client;
    Page().GetClientRect(&client);
    EXPECT_EQ(client.Size(), Page().GetTotalSize());

    // Maximised, the command restores the window and fits nothing; the next page switch fits it.
    frame.ShowWindow(SW_MAXIMIZE);
    Pump();
    ASSERT_EQ(frame.m_nWindowState, CMainFrame::WindowState::Maximised);
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    Pump();
    EXPECT_FALSE(frame.m_bAutoResize);
    EXPECT_FALSE(IsZoomed(frame.m_hWnd));
    frame.SetWindowPos(nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    frame.m_bAutoResize = TRUE;
    frame.SendMessage(WM_TABACTIVATED, 0);
    Pump();
    Page().GetClientRect(&client);
    EXPECT_EQ(client.Size(), Page().GetTotalSize());

    // On the Graph page the command changes nothing.
    frame.SendMessage(WM_TABACTIVATED, 2);
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    EXPECT_TRUE(frame.m_bAutoResize);
}

TEST_F(ProgramTest, AFormPageBringsBackItsMenuOnceStartUpHasFinished)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    // The Formula page is tab 0; the tabs after it are no form pages (the Graph page, or none).
    frame.SetMenuResource(IDR_GRAPHPAGE);
    frame.m_bReady = FALSE;
    frame.SendMessage(WM_TABACTIVATED, 0);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.m_bReady = TRUE;
    frame.SendMessage(WM_TABACTIVATED, 1);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.SendMessage(WM_TABACTIVATED, 3);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.SendMessage(WM_TABACTIVATED, 0);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    EXPECT_EQ(frame.m_nActivePage, 0);
}

TEST_F(ProgramTest, SettingsAndLastContentSurviveARestart)
{
    ASSERT_TRUE(Start());
    Calculate(L"x^2+A");
    SetFieldText(392, L"9"); // a new digit count shows the result again
    SetFieldText(kFieldA, L"2.50");
    SetFieldText(kFieldX, L"3");
    Frame().m_bSpeech = TRUE;
    Frame().m_bSharedMemory = FALSE;
    Frame().SetWindowPos(nullptr, 30, 40, 700, 600, SWP_NOZORDER);
    Pump();
    Stop();

    ASSERT_TRUE(Start());
    CRect placed;
    Frame().GetWindowRect(&placed);
    EXPECT_EQ(placed, CRect(30, 40, 730, 640));
    EXPECT_TRUE(Frame().m_bSpeech);
    EXPECT_FALSE(Frame().m_bSharedMemory);
    EXPECT_EQ(Page().m_strFormula, L"x^2+A");
    EXPECT_EQ(FieldText(kFormulaField), L"x^2+A");
    EXPECT_EQ(FieldText(kFieldA), L"2.50");
    EXPECT_EQ(FieldText(kFieldX), L"3");
    EXPECT_EQ(FieldText(392), L"9");
    std::string lastContent = TempSettingsFolder::ReadAll(m_settings.settings() + "/Fln.ini");
    EXPECT_NE(lastContent.find("f(x)=x^2+A"), std::string::npos) << lastContent;
}

// Settings that cannot be written (here: a folder stands where each file goes) are not lost
// without a word: the close says once why they could not be saved.
TEST_F(ProgramTest, SettingsThatCannotBeSavedAreReportedOnceAtTheClose)
{
    const std::string files[] = { "/registry.txt", "/Fln.ini" };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(Start());
        std::filesystem::remove(m_settings.settings() + file);
        std::filesystem::create_directories(m_settings.settings() + file + "/in the way");
        m_messages.clear();
        Stop();
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_NE(m_messages[0].find(L"The settings could not be saved."), std::wstring::npos);
        std::filesystem::remove_all(m_settings.settings() + file);
    }
}

TEST_F(ProgramTest, TheParameterFileCarriesThePageAsItWasTyped)
{
    ASSERT_TRUE(Start());
    Calculate(L"sin(x)*B");
    SetFieldText(kFieldA, L"1E-3");
    SetFieldText(kFieldX, L"0.250");
    CString path = CString((m_settings.root() + "/page.fm").c_str());
    CFormulaPageFile::Save(Page(), path);

    Calculate(L"cos(x)");
    SetFieldText(kFieldA, L"7");
    SetFieldText(kFieldX, L"1");
    ASSERT_TRUE(CFormulaPageFile::Load(Page(), path));
    EXPECT_EQ(FieldText(kFormulaField), L"sin(x)*B");
    EXPECT_EQ(FieldText(kFieldA), L"1E-3");
    EXPECT_EQ(FieldText(kFieldX), L"0.250");
    EXPECT_FALSE(CFormulaPageFile::Load(Page(), CString((m_settings.root() + "/missing.fm").c_str())));
    EXPECT_EQ(FieldText(kFieldA), L"1E-3");
}

TEST_F(ProgramTest, ClosingWithAChangedScriptAsksFirst)
{
    ASSERT_TRUE(Start());
    auto* document = dynamic_cast<CFlnDoc*>(Frame().GetActiveDocument());
    ASSERT_NE(document, nullptr);
    document->m_edit.SetModified(TRUE);
    HWND frame = Frame().m_hWnd;

    m_answer = IDCANCEL;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(IsWindow(frame));
    ASSERT_EQ(m_messages.size(), 1u);

    // Save, with no page that can save the script: the program stays.
    m_answer = IDYES;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(IsWindow(frame));

    int saved = 0;
    document->SetScriptSaver([&] {
        document->m_edit.SetModified(FALSE);
        return ++saved, TRUE;
    });
    Frame().SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(saved, 1);
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(ProgramTest, ClosingWithoutSavingTheScriptQuits)
{
    ASSERT_TRUE(Start());
    dynamic_cast<CFlnDoc*>(Frame().GetActiveDocument())->m_edit.SetModified(TRUE);
    HWND frame = Frame().m_hWnd;
    m_answer = IDNO;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(m_messages.size(), 1u) << "asked once";
    EXPECT_TRUE(std::filesystem::exists(m_settings.settings() + "/Fln.ini"));
}

TEST_F(ProgramTest, TheAboutBoxShowsTheVersionOverTheMainWindow)
{
    ASSERT_TRUE(Start());
    CString version;
    CRect box, frame;
    Frame().GetWindowRect(&frame);
    SetModalLoopHook([&](HWND dialog) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text, 256);
        version = text;
        GetWindowRect(dialog, &box);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
    SetModalLoopHook({});
    EXPECT_EQ(version.Left(10), L"V4.2.0.0  ");
    EXPECT_LE(std::abs(box.CenterPoint().x - frame.CenterPoint().x), 1);
    EXPECT_LE(std::abs(box.CenterPoint().y - frame.CenterPoint().y), 1);
}

class Automation : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        ASSERT_EQ(CoCreateInstance(CLSID_FlnApplication, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(m_object.Receive())), S_OK);
        m_driver.AttachDispatch(m_object.get(), FALSE);
    }
    void TearDown() override { m_driver.DetachDispatch(); }

    double Result(double x)
    {
        double result = 0;
        static const BYTE params[] = VTS_R8;
        m_driver.InvokeHelper(5, DISPATCH_METHOD, VT_R8, &result, params, x);
        return result;
    }

    ComPtr<IDispatch> m_object;
    COleDispatchDriver m_driver;
};

TEST_F(Automation, SetsAndEvaluatesTheFormulaPagesFormula)
{
    static const BYTE text[] = VTS_BSTR;
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, L"x^2+1");
    EXPECT_EQ(FieldText(kFormulaField), L"x^2+1");
    CString formula;
    m_driver.GetProperty(1, VT_BSTR, &formula);
    EXPECT_EQ(formula, L"x^2+1");
    EXPECT_EQ(Result(2), 5);
    EXPECT_EQ(Result(-3), 10);

    m_driver.SetProperty(1, VT_BSTR, L"A*x");
    m_driver.InvokeHelper(3, DISPATCH_METHOD, VT_BSTR, &formula, nullptr);
    EXPECT_EQ(formula, L"A*x");
    SetFieldText(kFieldA, L"4");
    EXPECT_EQ(Result(2), 8);

    // A formula typed but not yet calculated is the one evaluated.
    SetFieldText(kFormulaField, L"x/2");
    EXPECT_EQ(Result(3), 1.5);

    CString name;
    m_driver.InvokeHelper(2, DISPATCH_METHOD, VT_BSTR, &name, nullptr);
    EXPECT_EQ(name, L"FLN");
    short count = 0;
    double scaled = 0;
    static const BYTE ex[] = VTS_R8 VTS_PI2;
    m_driver.InvokeHelper(6, DISPATCH_METHOD, VT_R8, &scaled, ex, 3.0, &count);
    EXPECT_EQ(scaled, 30);
    EXPECT_EQ(count, 10);
}

TEST_F(Automation, AFormulaTooLongForTheWindowIsRefusedWithAClearError)
{
    static const BYTE text[] = VTS_BSTR;
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, L"x+1");
    const std::wstring longest = L"1" + std::wstring(CApplication::MaxFormulaLength - 1, L'0');
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, longest.c_str());
    EXPECT_EQ(Page().m_strFormula.GetLength(), static_cast<int>(CApplication::MaxFormulaLength));

    CString message;
    try {
        m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, (longest + L"0").c_str());
    } catch (COleDispatchException* error) {
        message = error->m_strDescription;
        error->Delete();
    }
    EXPECT_NE(message.Find(L"too long"), -1) << message.GetString();
    EXPECT_EQ(Page().m_strFormula.GetLength(), static_cast<int>(CApplication::MaxFormulaLength)) << "nothing changed";
}

TEST_F(Automation, AnInvalidFormulaRaisesTheParsersMessage)
{
    SetFieldText(kFormulaField, L"2#3");
    CString message;
    try {
        Result(1);
    } catch (COleDispatchException* error) {
        message = error->m_strDescription;
        error->Delete();
    }
    EXPECT_EQ(message.Left(18), L"Error on position ") << message.GetString();
}

} // namespace
