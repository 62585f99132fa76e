#include "UserTestSupport.h"

namespace {

using MessageBoxes = UserTest;

TEST_F(MessageBoxes, TheModalHookAnswersThroughTheButtons)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    std::wstring seenCaption;
    bool ownerDisabledMeanwhile = false;
    SetModalLoopHook([&](HWND box) {
        wchar_t caption[64];
        GetWindowTextW(box, caption, 64);
        seenCaption = caption;
        ownerDisabledMeanwhile = !IsWindowEnabled(owner);
        SendMessageW(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(MessageBoxW(owner, L"Save the changes?", L"Formulon", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seenCaption, L"Formulon");
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(MessageBoxes, KeysPickTheDefaultOrCancel)
{
    struct Case {
        UINT type;
        unsigned key;
        std::wstring text;
        int expected;
    };
    const Case cases[] = {
        { MB_OK, VK_RETURN, L"", IDOK },
        { MB_OK, VK_ESCAPE, L"", IDOK },
        { MB_OKCANCEL, VK_ESCAPE, L"", IDCANCEL },
        { MB_YESNOCANCEL | MB_DEFBUTTON2, VK_RETURN, L"", IDNO },
        { MB_YESNO, 'Y', L"y", IDYES },
        { MB_RETRYCANCEL, VK_RIGHT, L"", 0 }, // moves the default; Enter follows
    };
    for (const Case& c : cases) {
        int presses = 0;
        SetModalLoopHook([&](HWND) {
            if (presses++ > 0) {
                headless->InjectKey(VK_RETURN, true, L"\r");
                headless->InjectKey(VK_RETURN, false);
                return;
            }
            headless->InjectKey(c.key, true, c.text);
            headless->InjectKey(c.key, false);
        });
        int answer = MessageBoxW(nullptr, L"Text", nullptr, c.type);
        EXPECT_EQ(answer, c.expected ? c.expected : IDCANCEL) << c.type << " " << c.key;
    }
}

// Alt with the underlined letter answers as the letter alone does.
TEST_F(MessageBoxes, AltWithAnUnderlinedLetterAnswers)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    int presses = 0;
    SetModalLoopHook([&](HWND) {
        if (presses++ == 0) {
            headless->InjectKey(VK_MENU, true);
            headless->InjectKey('N', true, L"n");
        } else {
            headless->InjectKey(VK_ESCAPE, true);
        }
    });
    EXPECT_EQ(MessageBoxW(owner, L"Save the changes?", nullptr, MB_YESNOCANCEL), IDNO);
    SetModalLoopHook(nullptr);
    SetFocus(owner);
    headless->InjectKey('N', false);
    headless->InjectKey(VK_MENU, false);
    Pump();
    EXPECT_GE(GetKeyState(VK_MENU), 0);
}

TEST_F(MessageBoxes, ClickingAButtonAnswers)
{
    SetModalLoopHook([&](HWND box) {
        RECT client;
        GetClientRect(box, &client);
        // OK and Cancel are centred along the bottom; Cancel is the right one.
        POINT cancel { client.right / 2 + 40, client.bottom - 12 - 11 };
        ClientToScreen(box, &cancel);
        headless->InjectMouseMove(cancel);
        headless->InjectButton(1, true, cancel);
        headless->InjectButton(1, false, cancel);
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Continue?", L"Question", MB_OKCANCEL), IDCANCEL);
}

// A box stands over the middle of its owner's window (the top-level one of a child owner), inside
// the work area even when the owner reaches past the screen's edge.
TEST_F(MessageBoxes, ABoxStandsOverItsOwnerInsideTheWorkArea)
{
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    struct Case {
        RECT ownerRect;
        bool childOwner;
        bool centred; // else pushed against the work area's edges
    };
    const Case cases[] = {
        { { 100, 100, 700, 500 }, false, true },
        { { 100, 100, 700, 500 }, true, true },
        { { work.right - 50, work.bottom - 30, work.right + 400, work.bottom + 300 }, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, c.ownerRect);
        HWND asked = c.childOwner ? Child(owner, { 10, 10, 100, 40 }) : owner;
        RECT box {};
        SetModalLoopHook([&](HWND window) {
            GetWindowRect(window, &box);
            SendMessageW(window, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(MessageBoxW(asked, L"A line of text", L"Placed", MB_OK), IDOK);
        RECT inside;
        IntersectRect(&inside, &box, &work);
        EXPECT_TRUE(EqualRect(&inside, &box)) << "inside the work area";
        if (c.centred) {
            EXPECT_NEAR((box.left + box.right) / 2, (c.ownerRect.left + c.ownerRect.right) / 2, 1);
            EXPECT_NEAR((box.top + box.bottom) / 2, (c.ownerRect.top + c.ownerRect.bottom) / 2, 1);
        } else {
            EXPECT_EQ(box.right, work.right);
            EXPECT_EQ(box.bottom, work.bottom);
        }
        DestroyWindow(owner);
    }
}

// However long or tall its text (a script error quotes a source line of any length), a box fits the
// work area with its buttons inside it: a long word breaks, and lines that do not fit are left out.
TEST_F(MessageBoxes, ALongOrTallTextStillFitsTheWorkArea)
{
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    std::wstring tall;
    for (int line = 0; line < 400; ++line)
        tall += L"line " + std::to_wstring(line) + L"\n";
    const std::pair<const char*, std::wstring> texts[] = {
        { "one long word", L"Line: 1\n" + std::wstring(2000, L'x') },
        { "a long line of words", std::wstring(300, L' ') + [] { std::wstring words; for (int i = 0; i < 400; ++i) words += L"word "; return words; }() },
        { "many lines", tall },
    };
    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        RECT box {}, ok {};
        SetModalLoopHook([&](HWND window) {
            GetWindowRect(window, &box);
            GetWindowRect(GetDlgItem(window, IDOK), &ok);
            SendMessageW(window, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(MessageBoxW(nullptr, text.c_str(), L"Long", MB_OK | MB_ICONERROR), IDOK);
        RECT inside;
        IntersectRect(&inside, &box, &work);
        EXPECT_TRUE(EqualRect(&inside, &box)) << box.left << "," << box.top << " " << box.right << "," << box.bottom;
        IntersectRect(&inside, &ok, &box);
        EXPECT_TRUE(EqualRect(&inside, &ok)) << "the OK button is inside the box";
        EXPECT_GT(ok.right - ok.left, 0);
    }
}

TEST_F(MessageBoxes, ItsButtonsAreButtonControlsAndSpacePressesTheFocusedOne)
{
    std::wstring className(16, L'\0');
    HWND no = nullptr, focused = nullptr;
    LRESULT noCodeAfterTab = 0;
    int waits = 0;
    SetModalLoopHook([&](HWND box) {
        if (waits++ == 0) {
            no = GetDlgItem(box, IDNO);
            className.resize(static_cast<size_t>(GetClassNameW(no, className.data(), 16)));
            focused = GetFocus();
            headless->InjectKey(VK_TAB, true);
            headless->InjectKey(VK_TAB, false);
            return;
        }
        noCodeAfterTab = SendMessageW(no, WM_GETDLGCODE, 0, 0);
        headless->InjectKey(VK_SPACE, true, L" ");
        headless->InjectKey(VK_SPACE, false);
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Save?", L"Question", MB_YESNOCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(className, L"Button");
    EXPECT_EQ(focused, no); // the default button has the focus
    // Tab moved the focus and the default frame on to Cancel.
    EXPECT_EQ(noCodeAfterTab, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST_F(MessageBoxes, LayersWithoutWindowsShowTheirBoxesAsWindows)
{
    TopLevel(); // the first window installs the windowed message box
    std::wstring text;
    SetModalLoopHook([&](HWND box) {
        text.resize(64);
        GetWindowTextW(box, text.data(), 64);
        text.resize(wcslen(text.c_str()));
        PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(AfxMessageBox(L"Division by zero", MB_OKCANCEL | MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(text, L"Formulon");
}

} // namespace
