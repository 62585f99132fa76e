#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Mdi.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDR_WORKBENCH = 160, IDR_SHEET = 161, ID_SHEET_MARK = 600;

class SheetDocument : public CDocument {
    DECLARE_DYNCREATE(SheetDocument)
};
IMPLEMENT_DYNCREATE(SheetDocument, CDocument)

class SheetView : public CView {
    DECLARE_DYNCREATE(SheetView)
public:
    int marks = 0;
    void OnDraw(CDC*) override {}

protected:
    void OnMark() { ++marks; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(SheetView, CView)
BEGIN_MESSAGE_MAP(SheetView, CView)
    ON_COMMAND(ID_SHEET_MARK, OnMark)
END_MESSAGE_MAP()

std::wstring TextOf(HWND window)
{
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

class MfcMdiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        sheets = new CMultiDocTemplate(IDR_SHEET, RUNTIME_CLASS(SheetDocument), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(SheetView));
        app.AddDocTemplate(sheets);
        frame = new CMDIFrameWnd;
        ASSERT_TRUE(frame->LoadFrame(IDR_WORKBENCH, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        app.m_pMainWnd = frame;
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
    }
    void TearDown() override
    {
        if (IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        app.m_pMainWnd = nullptr;
        Pump();
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CMDIChildWnd* NewSheet()
    {
        CDocument* document = sheets->OpenDocumentFile(nullptr);
        Pump();
        return document ? dynamic_cast<CMDIChildWnd*>(document->Views().front()->GetParentFrame()) : nullptr;
    }

    CWinApp app { L"MfcMdiTest" };
    CMultiDocTemplate* sheets = nullptr;
    CMDIFrameWnd* frame = nullptr;
};

TEST_F(MfcMdiTest, DocumentFramesAreChildrenOfTheClientAndBringTheirMenu)
{
    ASSERT_TRUE(frame->m_hWndMDIClient);
    EXPECT_EQ(GetDlgCtrlID(frame->m_hWndMDIClient), static_cast<int>(AFX_IDW_PANE_FIRST));
    HMENU own = GetMenu(frame->m_hWnd);
    EXPECT_EQ(own, frame->m_hMenuDefault);

    CMDIChildWnd* first = NewSheet();
    CMDIChildWnd* second = NewSheet();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(GetParent(first->m_hWnd), frame->m_hWndMDIClient);
    EXPECT_EQ(frame->MDIGetActive(), second);
    EXPECT_EQ(frame->GetActiveFrame(), second);
    EXPECT_EQ(TextOf(second->m_hWnd), L"Sheet2");
    EXPECT_EQ(TextOf(frame->m_hWnd), L"Sheet2 - Workbench");
    // The document's menu, with the window list in its Window menu.
    ASSERT_EQ(GetMenu(frame->m_hWnd), sheets->m_hMenuShared);
    HMENU windows = frame->GetWindowMenuPopup(sheets->m_hMenuShared);
    ASSERT_TRUE(windows);
    EXPECT_EQ(MenuText(windows, 3), L"&1 Sheet1");
    EXPECT_EQ(MenuText(windows, 4), L"&2 Sheet2");

    // A command reaches the active document's view; the window list activates the other.
    frame->SendMessage(WM_COMMAND, ID_SHEET_MARK, 0);
    EXPECT_EQ(static_cast<SheetView*>(second->GetActiveView())->marks, 1);
    frame->SendMessage(WM_COMMAND, AFX_IDM_FIRST_MDICHILD, 0);
    EXPECT_EQ(frame->MDIGetActive(), first);
    EXPECT_EQ(GetFocus(), first->GetActiveView()->m_hWnd);
    EXPECT_EQ(TextOf(frame->m_hWnd), L"Sheet1 - Workbench");

    // With no document left the frame shows its own menu again.
    first->SendMessage(WM_CLOSE);
    second->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(GetMenu(frame->m_hWnd), own);
    EXPECT_EQ(TextOf(frame->m_hWnd), L"Workbench");
}

TEST_F(MfcMdiTest, AMaximisedSheetShowsItsTitleInTheFramesCaption)
{
    NewSheet();
    CMDIChildWnd* second = NewSheet();
    frame->MDIMaximize(second);
    Pump();
    BOOL maximized = FALSE;
    EXPECT_EQ(frame->MDIGetActive(&maximized), second);
    EXPECT_TRUE(maximized);
    EXPECT_EQ(TextOf(frame->m_hWnd), L"Workbench - [Sheet2]");
    frame->MDIRestore(second);
    Pump();
    EXPECT_EQ(TextOf(frame->m_hWnd), L"Sheet2 - Workbench");
}

TEST_F(MfcMdiTest, TheActiveSheetsAcceleratorsAndTheMdiKeysComeFirst)
{
    CMDIChildWnd* first = NewSheet();
    CMDIChildWnd* second = NewSheet();
    auto press = [&](UINT key) {
        MSG message { second->GetActiveView()->m_hWnd, WM_KEYDOWN, key, 0, 0, {} };
        return frame->PreTranslateMessage(&message);
    };
    // Ctrl+K is the sheets' own key; Ctrl+F6 goes to the next sheet.
    auto* display = static_cast<HeadlessDisplay*>(&CurrentDisplay());
    display->InjectKey(VK_CONTROL, true);
    Pump();
    EXPECT_TRUE(press('K'));
    Pump();
    EXPECT_EQ(static_cast<SheetView*>(second->GetActiveView())->marks, 1);
    EXPECT_TRUE(press(VK_F6));
    EXPECT_EQ(frame->MDIGetActive(), first);
    display->InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_FALSE(press('K'));
}

TEST_F(MfcMdiTest, WindowCommandsArrangeTheSheets)
{
    CMDIChildWnd* first = NewSheet();
    CMDIChildWnd* second = NewSheet();
    frame->SendMessage(WM_COMMAND, ID_WINDOW_TILE_VERT, 0);
    CRect a, b;
    first->GetWindowRect(&a);
    second->GetWindowRect(&b);
    // Side by side, the active one first.
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.Height(), b.Height());
    EXPECT_EQ(b.right, a.left);
}

} // namespace
