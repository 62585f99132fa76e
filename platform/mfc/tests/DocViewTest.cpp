#include "platform/base/Archive.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/HeadlessWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

constexpr UINT ID_VIEW_COMMAND = 500, ID_DOC_COMMAND = 501, ID_APP_COMMAND = 502;
std::vector<CString> routed;

class NoteDocument : public CDocument {
    DECLARE_DYNCREATE(NoteDocument)
public:
    int value = 0;
    static inline int alive = 0;
    NoteDocument() { ++alive; }
    ~NoteDocument() override { --alive; }
    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring())
            archive << value;
        else
            archive >> value;
    }
    void DeleteContents() override { value = 0; }

protected:
    void OnDocCommand() { routed.push_back(L"document"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(NoteDocument, CDocument)
BEGIN_MESSAGE_MAP(NoteDocument, CDocument)
    ON_COMMAND(ID_DOC_COMMAND, OnDocCommand)
    ON_COMMAND(ID_VIEW_COMMAND, OnDocCommand)
END_MESSAGE_MAP()

class NoteView : public CScrollView {
    DECLARE_DYNCREATE(NoteView)
public:
    int updates = 0;
    void OnDraw(CDC* dc) override
    {
        RECT all { 0, 0, 1000, 1000 };
        dc->FillSolidRect(&all, RGB(0, 128, 0));
    }
    void OnInitialUpdate() override
    {
        SetScrollSizes(MM_TEXT, CSize(1000, 1000));
        CScrollView::OnInitialUpdate();
    }
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override
    {
        ++updates;
        CScrollView::OnUpdate(sender, hint, object);
    }

protected:
    void OnViewCommand() { routed.push_back(L"view"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(NoteView, CScrollView)
BEGIN_MESSAGE_MAP(NoteView, CScrollView)
    ON_COMMAND(ID_VIEW_COMMAND, OnViewCommand)
END_MESSAGE_MAP()

// A view that cannot be made.
class RefusingView : public CView {
    DECLARE_DYNCREATE(RefusingView)
public:
    void OnDraw(CDC*) override {}

protected:
    int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RefusingView, CView)
BEGIN_MESSAGE_MAP(RefusingView, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class NoteApp : public CWinApp {
public:
    NoteApp() : CWinApp(L"DocViewTest") {}

protected:
    void OnAppCommand() { routed.push_back(L"application"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NoteApp, CWinApp)
    ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
    ON_COMMAND(ID_DOC_COMMAND, OnAppCommand)
END_MESSAGE_MAP()

// A bar along the top edge that takes 20 pixels of the frame's layout.
class TopBar : public CWnd {
protected:
    LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        RECT& room = layout->rect;
        layout->hDWP = DeferWindowPos(layout->hDWP, m_hWnd, nullptr, room.left, room.top, room.right - room.left, 20, SWP_NOZORDER);
        room.top += 20;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TopBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

class DocViewTest : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("fln-docview-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        routed.clear();
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return answer;
        });
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(NoteDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(NoteView)));
    }
    void TearDown() override
    {
        HeadlessWindowTest::TearDown();
        AfxDeleteTempObjects();
        SetMessageBoxHandler(std::move(previousHandler));
        std::filesystem::remove_all(folder);
    }
    CFrameWnd* Frame() { return dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); }
    NoteView* View() { return dynamic_cast<NoteView*>(Frame()->GetActiveView()); }

    NoteApp app;
    std::filesystem::path folder;
    MessageBoxHandler previousHandler;
    std::vector<CString> boxes;
    int answer = IDNO;
};

TEST_F(DocViewTest, ANewDocumentGetsAFrameAViewAndATitle)
{
    app.OnFileNew();
    ASSERT_NE(Frame(), nullptr);
    NoteView* view = View();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(Frame()->IsWindowVisible());
    auto* document = dynamic_cast<NoteDocument*>(view->GetDocument());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetTitle(), CString(L"Untitled"));
    EXPECT_EQ(Frame()->GetWindowText(), CString(L"Untitled"));
    EXPECT_EQ(view->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));

    document->UpdateAllViews(nullptr);
    EXPECT_GE(view->updates, 2) << "once at the initial update, once now";
}

TEST_F(DocViewTest, TheLayoutGivesBarsTheirRoomAndTheViewTheRest)
{
    app.OnFileNew();
    CFrameWnd* frame = Frame();
    TopBar bar;
    ASSERT_TRUE(bar.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_CONTROLBAR_FIRST));
    frame->RecalcLayout();
    RECT client, view;
    frame->GetClientRect(&client);
    View()->GetWindowRect(&view);
    frame->ScreenToClient(&view);
    EXPECT_EQ(CRect(view), CRect(0, 20, client.right, client.bottom));

    RECT query {};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &query);
    EXPECT_EQ(CRect(query), CRect(0, 20, client.right, client.bottom));
    bar.DestroyWindow();
}

TEST(DocViewFailures, AViewThatCannotBeMadeLeavesNoFrameAndNoDocument)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    NoteApp app;
    app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(NoteDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(RefusingView)));
    int before = NoteDocument::alive;
    app.OnFileNew();
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
    EXPECT_EQ(NoteDocument::alive, before);
    EXPECT_EQ(app.m_pDocManager->GetOpenDocumentCount(), 0);
}

TEST_F(DocViewTest, CommandsGoToTheViewThenTheDocumentThenTheApplication)
{
    app.OnFileNew();
    for (UINT id : { ID_VIEW_COMMAND, ID_DOC_COMMAND, ID_APP_COMMAND })
        Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(routed, (std::vector<CString> { L"view", L"document", L"application" }));
}

TEST_F(DocViewTest, AMenuAboutToOpenEnablesTheItemsSomeoneHandles)
{
    app.OnFileNew();
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING | MF_GRAYED, ID_VIEW_COMMAND, L"View");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING | MF_GRAYED, ID_APP_COMMAND, L"Application");
    popup.AppendMenu(MF_STRING, 999, L"Nobody");
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
    EXPECT_FALSE(popup.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(popup.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED) << "the application is on the route too";
    EXPECT_TRUE(popup.GetMenuState(3, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(DocViewTest, SavingAndOpeningRoundTripsAndNamesTheDocument)
{
    app.LoadStdProfileSettings(4);
    app.OnFileNew();
    auto* document = dynamic_cast<NoteDocument*>(View()->GetDocument());
    document->value = 42;
    document->SetModifiedFlag();
    auto path = (folder / "note.dat").wstring();
    ASSERT_TRUE(document->OnSaveDocument(path.c_str()));
    EXPECT_FALSE(document->IsModified());
    EXPECT_FALSE(std::filesystem::exists(folder / "note.dat.saving"));

    auto* opened = dynamic_cast<NoteDocument*>(app.OpenDocumentFile(path.c_str()));
    ASSERT_EQ(opened, document) << "one document at a time, reused";
    EXPECT_EQ(opened->value, 42);
    EXPECT_EQ(opened->GetTitle(), CString(L"note.dat"));
    EXPECT_EQ(Frame()->GetWindowText(), CString(L"note.dat"));
    ASSERT_FALSE(app.RecentFiles().empty());
    EXPECT_EQ(app.RecentFiles().front(), CString(path.c_str()));
}

TEST_F(DocViewTest, AFileThatCannotBeReadIsReportedAndTheDocumentNoLongerStandsForTheOldFile)
{
    app.OnFileNew();
    auto* document = dynamic_cast<NoteDocument*>(View()->GetDocument());
    auto good = (folder / "good.dat").wstring();
    document->value = 5;
    ASSERT_TRUE(document->OnSaveDocument(good.c_str()));
    ASSERT_EQ(app.OpenDocumentFile(good.c_str()), document);

    auto bad = folder / "bad.dat";
    { std::FILE* file = std::fopen(bad.c_str(), "wb"); std::fputc('x', file); std::fclose(file); }
    EXPECT_EQ(app.OpenDocumentFile(bad.wstring().c_str()), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find(L"bad.dat"), -1);
    EXPECT_EQ(document->value, 0);
    EXPECT_TRUE(document->GetPathName().IsEmpty()) << "saving now cannot overwrite good.dat";
    EXPECT_EQ(document->GetTitle(), CString(L"Untitled"));

    EXPECT_EQ(app.OpenDocumentFile((folder / "missing.dat").wstring().c_str()), nullptr);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(DocViewTest, ClosingAModifiedDocumentAsksAndCancelKeepsEverything)
{
    app.OnFileNew();
    CFrameWnd* frame = Frame();
    HWND frameWindow = frame->m_hWnd;
    View()->GetDocument()->SetModifiedFlag();
    answer = IDCANCEL;
    frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CString(L"Save changes to Untitled?"));
    EXPECT_TRUE(IsWindow(frameWindow));
    EXPECT_EQ(NoteDocument::alive, 1);

    answer = IDNO;
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(NoteDocument::alive, 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends with its main window";
}

TEST_F(DocViewTest, AScrollViewKeepsItsPositionInsideTheDrawingAndMovesTheOrigin)
{
    app.OnFileNew();
    NoteView* view = View();
    RECT client;
    view->GetClientRect(&client);
    view->ScrollToPosition(CPoint(50, 5000));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(50, 1000 - client.bottom));
    view->SendMessage(WM_VSCROLL, MAKEWPARAM(6, 0), 0); // to the top
    EXPECT_EQ(view->GetScrollPosition(), CPoint(50, 0));
    CClientDC dc(view);
    view->OnPrepareDC(&dc);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(-50, 0));
}

// The pages scroll through this view: a thumb dragged down a drawing 300,000 pixels high leaves it
// on release where the drag showed it, past the 65,536 positions a scroll request has room for.
TEST_F(DocViewTest, AScrollViewStaysWhereItsThumbWasLetGoPastSixteenBits)
{
    app.OnFileNew();
    NoteView* view = View();
    view->SetScrollSizes(MM_TEXT, CSize(1000, 300000));
    Pump();
    CRect window;
    view->GetWindowRect(&window);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL), arrowHeight = GetSystemMetrics(SM_CYVSCROLL);
    const POINT thumb { window.right - barWidth / 2, window.top + arrowHeight + 2 };
    const POINT to { thumb.x, thumb.y + (window.Height() - 3 * arrowHeight) * 3 / 4 };
    int whileDragged = -1;
    DragThumb(thumb, to, [&] { whileDragged = view->GetScrollPosition().y; });
    EXPECT_GT(whileDragged, 65536);
    EXPECT_EQ(view->GetScrollPosition().y, whileDragged);
    EXPECT_EQ(::GetScrollPos(view->m_hWnd, SB_VERT), whileDragged);
}

TEST_F(DocViewTest, MessageTextsGoToTheStatusBar)
{
    app.OnFileNew();
    CWnd status;
    ASSERT_TRUE(status.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), Frame(), AFX_IDW_STATUS_BAR));
    Frame()->SetMessageText(L"Ready");
    EXPECT_EQ(status.GetWindowText(), CString(L"Ready"));
    status.DestroyWindow();
}

} // namespace

TEST_F(DocViewTest, TheShellCommandMakesTheDocumentTheCommandLineAskedFor)
{
    CCommandLineInfo info;
    app.ParseCommandLine(info, { L"formulon", (folder / "missing.note").wstring().c_str() });
    EXPECT_FALSE(app.ProcessShellCommand(info)) << "a file that cannot be opened";
    EXPECT_EQ(boxes.size(), 1u) << "and the user was told";

    CCommandLineInfo none;
    app.ParseCommandLine(none, { L"formulon" });
    EXPECT_TRUE(app.ProcessShellCommand(none));
    ASSERT_NE(Frame(), nullptr);
    EXPECT_NE(View(), nullptr);
}
