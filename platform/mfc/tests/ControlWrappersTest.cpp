#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ControlWrappersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
    }
    void TearDown() override { parent.DestroyWindow(); }
    CRect At(int y, int height = 20) { return CRect(10, y, 210, y + height); }

    CWinApp app { L"ControlWrappersTest" };
    CWnd parent;
};

TEST_F(ControlWrappersTest, StandardControlsAnswerThroughTheirObjects)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, At(0), &parent, 1));
    edit.SetWindowText(L"2*pi");
    edit.SetSel(2, 4);
    int start = 0, end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 4);
    edit.ReplaceSel(L"e", TRUE);
    EXPECT_EQ(edit.GetWindowText(), CString(L"2*e"));
    EXPECT_TRUE(edit.CanUndo());
    edit.Undo();
    EXPECT_EQ(edit.GetWindowText(), CString(L"2*pi"));
    edit.LimitText(3);
    EXPECT_EQ(edit.GetLimitText(), 3u);

    CButton check;
    ASSERT_TRUE(check.Create(L"&Wrap", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, At(30), &parent, 2));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, BS_AUTOCHECKBOX);

    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, At(60, 80), &parent, 3));
    for (const wchar_t* item : { L"sin", L"cos", L"tan" })
        list.AddString(item);
    EXPECT_EQ(list.GetCount(), 3);
    list.SetCurSel(1);
    CString text;
    list.GetText(list.GetCurSel(), text);
    EXPECT_EQ(text, CString(L"cos"));
    EXPECT_EQ(list.FindStringExact(-1, L"TAN"), 2);
    list.SetItemData(2, 42);
    EXPECT_EQ(list.GetItemData(2), 42u);

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, At(150, 100), &parent, 4));
    combo.AddString(L"deg");
    combo.AddString(L"rad");
    EXPECT_EQ(combo.SelectString(-1, L"ra"), 1);
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_EQ(text, CString(L"rad"));

    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, At(260, 16), &parent, 5));
    bar.SetScrollRange(0, 50);
    bar.SetScrollPos(20);
    EXPECT_EQ(bar.GetScrollPos(), 20);
}

TEST_F(ControlWrappersTest, CommonControlsRegisterThemselvesAndAnswer)
{
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE, At(0), &parent, 10));
    spin.SetRange32(-5, 500);
    spin.SetPos32(450);
    EXPECT_EQ(spin.GetPos32(), 450);
    int lower = 0, upper = 0;
    spin.GetRange32(lower, upper);
    EXPECT_EQ(lower, -5);
    EXPECT_EQ(upper, 500);

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, At(30, 100), &parent, 11));
    tabs.InsertItem(0, L"Formula");
    tabs.InsertItem(1, L"Graph");
    EXPECT_EQ(tabs.GetItemCount(), 2);
    tabs.SetCurSel(1);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    CRect display(0, 0, 200, 100);
    tabs.AdjustRect(FALSE, &display);
    EXPECT_GT(display.top, 0) << "the display area lies below the tabs";

    CStatusBarCtrl status;
    ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE, At(0), &parent, 12));
    int edges[] = { 100, -1 };
    EXPECT_TRUE(status.SetParts(2, edges));
    status.SetText(L"Ready", 1, SBT_POPOUT);
    int type = 0;
    EXPECT_EQ(status.GetText(1, &type), CString(L"Ready"));
    EXPECT_EQ(type, static_cast<int>(SBT_POPOUT));

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, At(150), &parent, 13));
    progress.SetRange32(0, 30);
    progress.SetStep(10);
    progress.StepIt();
    EXPECT_EQ(progress.GetPos(), 10);

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent));
    EXPECT_TRUE(tips.AddTool(&spin, L"Step the value"));
    CRect area(0, 0, 50, 50);
    EXPECT_TRUE(tips.AddTool(&parent, L"Corner", &area, 7));
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.DelTool(&spin);
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.DestroyWindow();
}

TEST_F(ControlWrappersTest, RichEditStreamsRtfIn)
{
    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE, At(0, 100), &parent, 20));
    static const char rtf[] = "{\\rtf1\\ansi {\\b Formulon} 4.2\\par}";
    struct Source {
        const char* data;
        size_t left;
    } source { rtf, std::strlen(rtf) };
    EDITSTREAM stream { reinterpret_cast<DWORD_PTR>(&source), 0, [](DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) -> DWORD {
        auto* from = reinterpret_cast<Source*>(cookie);
        size_t count = std::min<size_t>(from->left, static_cast<size_t>(size));
        std::memcpy(buffer, from->data, count);
        from->data += count;
        from->left -= count;
        *written = static_cast<LONG>(count);
        return 0;
    } };
    rich.StreamIn(SF_RTF, stream);
    EXPECT_EQ(stream.dwError, 0u);
    EXPECT_EQ(rich.GetWindowText().Left(12), CString(L"Formulon 4.2"));
    rich.SetSel(0, 8);
    long start = 0, end = 0;
    rich.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 8);
}

} // namespace

namespace {

// An edit that colours itself, and an owner-drawn button that draws itself.
class RedEdit : public CEdit {
public:
    CBrush red { RGB(255, 0, 0) };
    HBRUSH CtlColor(CDC* dc, UINT kind)
    {
        lastKind = kind;
        dc->SetBkColor(RGB(255, 0, 0));
        return red;
    }
    UINT lastKind = 0;

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RedEdit, CEdit)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class GreenButton : public CButton {
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT item)
    {
        ++draws;
        CBrush green(RGB(0, 160, 0));
        ::FillRect(item->hDC, &item->rcItem, green);
    }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(GreenButton, CButton)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

TEST_F(ControlWrappersTest, ControlsAnswerTheirOwnColourAndDrawingMessages)
{
    RedEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, At(0), &parent, 1));
    GreenButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, At(40), &parent, 2));
    parent.UpdateWindow();
    edit.UpdateWindow();
    button.UpdateWindow();
    EXPECT_EQ(edit.lastKind, CTLCOLOR_EDIT);
    EXPECT_GE(button.draws, 1);
    HDC dc = ::GetDC(parent.m_hWnd);
    EXPECT_EQ(::GetPixel(dc, 150, 10), RGB(255, 0, 0)) << "the edit's own brush";
    EXPECT_EQ(::GetPixel(dc, 150, 50), RGB(0, 160, 0)) << "the button drew itself";
    ::ReleaseDC(parent.m_hWnd, dc);
}

} // namespace

namespace {

// A window whose controls show tips, with their texts given when asked.
class TippedWindow : public CWnd {
public:
    std::vector<int> askedFor;

protected:
    BOOL OnToolTipText(UINT, NMHDR* header, LRESULT* result)
    {
        auto* text = reinterpret_cast<NMTTDISPINFOW*>(header);
        int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
        askedFor.push_back(id);
        wcscpy(text->szText, id == 1 ? L"Calculate" : L"Clear");
        *result = 0;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TippedWindow, CWnd)
    ON_NOTIFY_EX(TTN_NEEDTEXT, 0, OnToolTipText)
END_MESSAGE_MAP()

HWND VisibleTip()
{
    HWND found = nullptr;
    ::EnumWindows([](HWND window, LPARAM data) -> BOOL {
        wchar_t name[32];
        ::GetClassNameW(window, name, 32);
        if (std::wstring(name) == TOOLTIPS_CLASSW && ::IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(ToolTipFilterTest, AWindowThatEnablesTipsShowsItsControlsTipsWhenThePointerRests)
{
    auto display = std::make_unique<HeadlessDisplay>();
    HeadlessDisplay& screen = *display;
    SetCurrentDisplay(std::move(display));
    CWinApp app(L"ToolTipFilterTest");
    TippedWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr, nullptr));
    CButton calculate, clear;
    ASSERT_TRUE(calculate.Create(L"=", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), &window, 1));
    ASSERT_TRUE(clear.Create(L"C", WS_CHILD | WS_VISIBLE, CRect(100, 10, 150, 40), &window, 2));
    window.EnableToolTips(TRUE);

    auto pump = [&] {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!app.PreTranslateMessage(&message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    };
    screen.InjectMouseMove({ 130, 125 });
    pump();
    EXPECT_EQ(VisibleTip(), nullptr) << "not before the pointer has rested";
    screen.Advance(1000);
    pump();
    EXPECT_NE(VisibleTip(), nullptr);
    ASSERT_FALSE(window.askedFor.empty());
    EXPECT_EQ(window.askedFor.back(), 1);

    screen.InjectMouseMove({ 230, 125 });
    pump();
    screen.Advance(1000);
    pump();
    EXPECT_EQ(window.askedFor.back(), 2) << "the tip follows the pointer to the next control";
    window.DestroyWindow();
    EXPECT_EQ(VisibleTip(), nullptr) << "a window that goes takes its tip along";
}

} // namespace
