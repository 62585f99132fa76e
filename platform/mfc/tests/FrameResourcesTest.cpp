#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDR_NOTES = 128, ID_NOTE_SAVE = 0xE103;
int saves = 0;

class SavingDocument : public CDocument {
    DECLARE_DYNCREATE(SavingDocument)
protected:
    void OnSave() { ++saves; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(SavingDocument, CDocument)
BEGIN_MESSAGE_MAP(SavingDocument, CDocument)
    ON_COMMAND(ID_NOTE_SAVE, OnSave)
END_MESSAGE_MAP()

class BlankView : public CView {
    DECLARE_DYNCREATE(BlankView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(BlankView, CView)

class FrameResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        saves = 0;
        app.AddDocTemplate(new CSingleDocTemplate(IDR_NOTES, RUNTIME_CLASS(SavingDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(BlankView)));
        app.OnFileNew();
        frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        AfxDeleteTempObjects();
    }
    // Dispatches what is waiting the way the application's loop does.
    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!app.PreTranslateMessage(&message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    CWinApp app { L"FrameResources" };
    HeadlessDisplay* headless = nullptr;
    CFrameWnd* frame = nullptr;
};

TEST_F(FrameResources, TheFrameTakesItsTitleMenuAndDocumentNamesFromItsResourceId)
{
    EXPECT_EQ(frame->GetTitle(), CString(L"Notes"));
    EXPECT_EQ(frame->GetWindowText(), CString(L"Note - Notes")) << "the document's default name, then the frame's title";
    CMenu* menu = frame->GetMenu();
    ASSERT_NE(menu, nullptr);
    CMenu* file = menu->GetSubMenu(0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetMenuItemID(0), ID_NOTE_SAVE);
    EXPECT_EQ(file->GetMenuItemCount(), 3u);

    CString prompt;
    frame->GetMessageString(ID_NOTE_SAVE, prompt);
    EXPECT_EQ(prompt, CString(L"Save the active document"));
    CString filter;
    app.m_pDocManager->Templates().front()->GetDocString(filter, CDocTemplate::filterExt);
    EXPECT_EQ(filter, CString(L".note"));
}

TEST_F(FrameResources, TheFramesAcceleratorsTurnKeysIntoCommands)
{
    Pump();
    ASSERT_TRUE(IsChild(frame->m_hWnd, GetFocus()) || GetFocus() == frame->m_hWnd);
    headless->InjectKey(VK_CONTROL, true);
    headless->InjectKey('S', true, L"\x13");
    headless->InjectKey('S', false);
    headless->InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(saves, 1);
}

} // namespace
