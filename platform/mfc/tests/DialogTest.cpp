#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/FormView.h"
#include "platform/mfc/WinApp.h"

#include "ModalTestSupport.h"

namespace {

constexpr UINT IDD_VALUES = 200, IDD_FORM = 201;
constexpr int IDC_COUNT = 300, IDC_NAME = 301, IDC_WRAP = 302, IDC_RED = 303, IDC_GREEN = 304, IDC_UNIT = 306,
              IDC_BASE = 307;

class ValuesDialog : public CDialog {
public:
    explicit ValuesDialog(CWnd* parent = nullptr) : CDialog(IDD_VALUES, parent) {}
    int count = 0;
    CString name;
    int wrap = 0;
    int colour = -1;
    CString unit;
    int base = -1;
    std::vector<CString> events;

    BOOL OnInitDialog() override
    {
        events.push_back(L"init");
        // Items of the list box, before the members are shown in the controls.
        for (const wchar_t* item : { L"2", L"8", L"10", L"16" })
            ::SendDlgItemMessageW(m_hWnd, IDC_BASE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_COUNT, count);
        DDV_MinMaxInt(dx, count, 0, 99);
        DDX_Text(dx, IDC_NAME, name);
        DDV_MaxChars(dx, name, 8);
        DDX_Check(dx, IDC_WRAP, wrap);
        DDX_Radio(dx, IDC_RED, colour);
        DDX_CBString(dx, IDC_UNIT, unit);
        DDX_LBIndex(dx, IDC_BASE, base);
    }
    void OnOK() override
    {
        events.push_back(L"ok");
        CDialog::OnOK();
    }
};

class DialogTest : public ModalTest {
protected:
    void Key(UINT virtualKey)
    {
        auto& display = static_cast<HeadlessDisplay&>(CurrentDisplay());
        display.InjectKey(virtualKey, true);
        display.InjectKey(virtualKey, false);
    }
    void Type(const wchar_t* text)
    {
        auto& display = static_cast<HeadlessDisplay&>(CurrentDisplay());
        for (const wchar_t* p = text; *p; ++p) {
            display.InjectKey(static_cast<unsigned>(*p), true, std::wstring(1, *p));
            display.InjectKey(static_cast<unsigned>(*p), false);
        }
    }
    static CString Text(HWND dialog, int id)
    {
        wchar_t buffer[64] {};
        ::GetDlgItemTextW(dialog, id, buffer, 64);
        return buffer;
    }
};

TEST_F(DialogTest, ModalDialogShowsItsMembersAndOkReadsThemBack)
{
    auto* owner = new CFrameWnd; // a frame deletes itself with its window
    ASSERT_TRUE(owner->Create(nullptr, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    ValuesDialog dialog(owner);
    dialog.count = 7;
    dialog.name = L"pi";
    dialog.wrap = 1;
    dialog.colour = 1;
    dialog.unit = L"rad";
    dialog.base = 2;
    bool ownerWasDisabled = false;
    WhenWaiting({
        [&](HWND d) {
            ownerWasDisabled = !::IsWindowEnabled(owner->m_hWnd);
            EXPECT_EQ(Text(d, IDC_COUNT), CString(L"7"));
            EXPECT_EQ(Text(d, IDC_NAME), CString(L"pi"));
            EXPECT_EQ(::IsDlgButtonChecked(d, IDC_WRAP), BST_CHECKED);
            EXPECT_EQ(::IsDlgButtonChecked(d, IDC_GREEN), BST_CHECKED);
            EXPECT_EQ(::SendDlgItemMessageW(d, IDC_UNIT, CB_GETCOUNT, 0, 0), 2) << "filled from the dialog-init data";
            EXPECT_EQ(Text(d, IDC_UNIT), CString(L"rad"));
            EXPECT_EQ(::SendDlgItemMessageW(d, IDC_BASE, LB_GETCURSEL, 0, 0), 2);
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDC_COUNT)) << "the first control has the focus";
            // The user types a new count over the selected text, tabs on and picks red.
            Type(L"42");
            ::CheckRadioButton(d, IDC_RED, IDC_RED + 2, IDC_RED);
            ::CheckDlgButton(d, IDC_WRAP, BST_UNCHECKED);
        },
        [&](HWND) { Key(VK_RETURN); },
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner->m_hWnd)) << "the owner is enabled again";
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone";
    EXPECT_EQ(dialog.count, 42);
    EXPECT_EQ(dialog.wrap, 0);
    EXPECT_EQ(dialog.colour, 0);
    EXPECT_EQ(dialog.unit, CString(L"rad"));
    EXPECT_EQ(dialog.events, (std::vector<CString> { L"init", L"ok" }));
    owner->DestroyWindow();
}

TEST_F(DialogTest, OkStaysOpenUntilTheValuesAreRightAndEscCancelsWithoutReading)
{
    ValuesDialog dialog;
    dialog.count = 5;
    WhenWaiting({
        [&](HWND d) { ::SetDlgItemTextW(d, IDC_COUNT, L"100"); },
        [&](HWND) { Key(VK_RETURN); }, // refused: out of range
        [&](HWND d) {
            EXPECT_TRUE(::IsWindowVisible(d)) << "still open";
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDC_COUNT)) << "the refused control has the focus";
            ::SetDlgItemTextW(d, IDC_NAME, L"far too long");
        },
        [&](HWND d) {
            ::SetDlgItemTextW(d, IDC_COUNT, L"12");
            Key(VK_ESCAPE);
        },
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CString(L"Please enter an integer between 0 and 99."));
    EXPECT_EQ(dialog.count, 100) << "the refused OK had read the count before checking its range";
    EXPECT_EQ(dialog.name, CString()) << "Cancel reads nothing back";
}

TEST_F(DialogTest, AMissingTemplateFailsWithoutAWindow)
{
    CDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

TEST_F(DialogTest, AModelessDialogLivesUntilItsOwnerEndsIt)
{
    ValuesDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_VALUES));
    EXPECT_EQ(dialog.events, (std::vector<CString> { L"init" }));
    dialog.ShowWindow(SW_SHOW);
    dialog.GotoDlgCtrl(dialog.GetDlgItem(IDC_NAME));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.m_hWnd, IDC_NAME));
    dialog.NextDlgCtrl();
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.m_hWnd, IDC_WRAP));
    dialog.PrevDlgCtrl();
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.m_hWnd, IDC_NAME));
    dialog.SetDefID(IDCANCEL);
    EXPECT_EQ(LOWORD(dialog.GetDefID()), IDCANCEL);
    EXPECT_EQ(HIWORD(dialog.GetDefID()), DC_HASDEFID);

    // A key that reaches the dialog through the application's loop goes to the dialog manager.
    MSG tab { ::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {} };
    EXPECT_TRUE(app.PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.m_hWnd, IDC_WRAP));
    dialog.DestroyWindow();
}

TEST_F(DialogTest, AModalLoopOwnedByQuitEndsAndGivesTheOwnerBack)
{
    auto* owner = new CFrameWnd; // a frame deletes itself with its window
    ASSERT_TRUE(owner->Create(nullptr, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    ValuesDialog dialog(owner);
    WhenWaiting({ [&](HWND) { PostQuitMessage(3); } });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(::IsWindowEnabled(owner->m_hWnd));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the outer loop ends too";
    owner->DestroyWindow();
}

// ---- a form view inside a frame, made by a document template

class FormDocument : public CDocument {
    DECLARE_DYNCREATE(FormDocument)
};
IMPLEMENT_DYNCREATE(FormDocument, CDocument)

class CountForm : public CFormView {
    DECLARE_DYNCREATE(CountForm)
public:
    CountForm() : CFormView(IDD_FORM) {}
    static inline int initialCount = 0;
    int count = initialCount;
    CString name { L"x" };
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_COUNT, count);
        DDX_Text(dx, IDC_NAME, name);
    }
};
IMPLEMENT_DYNCREATE(CountForm, CFormView)

TEST_F(DialogTest, AFormViewIsMadeFromItsTemplateAndShowsItsMembers)
{
    CountForm::initialCount = 17;
    app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(FormDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CountForm)));
    app.OnFileNew();
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    ASSERT_NE(frame, nullptr);
    auto* form = dynamic_cast<CountForm*>(frame->GetActiveView());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_NE(form->GetDocument(), nullptr) << "the form joined its document";
    EXPECT_EQ(Text(form->m_hWnd, IDC_COUNT), CString(L"17"));
    EXPECT_EQ(Text(form->m_hWnd, IDC_NAME), CString(L"x"));

    // The template is 150 x 60 dialog units: 225 x 98 pixels with the 6 x 13 base units.
    EXPECT_EQ(form->GetTotalSize(), CSize(225, 98));

    // Tab moves between the form's controls through the view's PreTranslateMessage.
    ::SetFocus(::GetDlgItem(form->m_hWnd, IDC_COUNT));
    MSG tab { ::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {} };
    EXPECT_TRUE(app.PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(form->m_hWnd, IDC_NAME));

    ::SetDlgItemTextW(form->m_hWnd, IDC_COUNT, L"23");
    EXPECT_TRUE(form->UpdateData(TRUE));
    EXPECT_EQ(form->count, 23);
    frame->DestroyWindow();
}

} // namespace
