#include "controls/RichMessageBox.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/comctl/RichEdit.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Runs a box; `look` sees it once it waits for input, then the keys are typed one per wait.
// A box that is still open when the keys are used up ends with -2.
class RichMessageBoxTest : public ControlTest {
protected:
    void TearDown() override
    {
        SetModalLoopHook({});
        ControlTest::TearDown();
    }
    INT_PTR Run(CNGMessageBox& box, std::function<void(HWND)> look, std::vector<unsigned> keys)
    {
        bool looked = false;
        size_t next = 0;
        // The loop calls the hook each time its queue is empty: what was typed has been handled.
        SetModalLoopHook([&](HWND dialog) {
            const bool first = !looked;
            looked = true;
            if (first && look)
                look(dialog);
            if (next < keys.size()) {
                headless->InjectKey(keys[next], true);
                headless->InjectKey(keys[next++], false);
            } else if (!first) {
                EndDialog(dialog, -2); // the keys did not close it
            }
        });
        return box.DoModal();
    }
    static CRect ClientRectOf(HWND window, HWND dialog)
    {
        CRect rect;
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static int Scale(HWND dialog, int units, bool vertical)
    {
        RECT base { 0, 0, 1000, 1000 };
        MapDialogRect(dialog, &base);
        return units * (vertical ? base.bottom : base.right) / 1000;
    }
};

TEST_F(RichMessageBoxTest, MessagesAreFormattedFromTextsAndResources)
{
    CNGMessageBox box(&main);
    box.FormatMessage(L"%d of %s", 3, L"four");
    EXPECT_EQ(std::wstring(box.Message()), L"3 of four");
    box.FormatMessageFromId(200, L"Ada", 7);
    EXPECT_EQ(std::wstring(box.Message()), L"Hello Ada, this is message 7.");
    box.FormatMessageFromId(999, L"x");
    EXPECT_EQ(std::wstring(box.Message()), L"Hello Ada, this is message 7.") << "a missing string changes nothing";
    box.FormatMessageFromResource(25150, L"RTF", L"4.2", L"4.1");
    EXPECT_EQ(std::wstring(box.Message()).rfind(L"{\\rtf1", 0), 0u);
    EXPECT_NE(std::wstring(box.Message()).find(L"Version {\\b 4.2} is out; you have 4.1."), std::wstring::npos);
    box.FormatMessageFromResource(25151, L"RTF", L"x");
    EXPECT_NE(std::wstring(box.Message()).find(L"4.2"), std::wstring::npos) << "a missing resource changes nothing";
}

TEST_F(RichMessageBoxTest, ButtonsIconAndTextAreLaidOutInDialogUnits)
{
    CNGMessageBox box(&main);
    box.SetCaption(L"Update");
    box.SetStandardIcon(32515);
    box.FormatMessageFromResource(25150, L"RTF", L"4.2", L"4.1");
    box.AddButton(10, TRUE, FALSE, L"&Download");
    box.AddButton(11, FALSE, TRUE, L"Later");
    box.AddButton(12, FALSE, FALSE, L"Never ask again");
    const INT_PTR result = Run(box, [&](HWND dialog) {
        wchar_t caption[32];
        GetWindowTextW(dialog, caption, 32);
        EXPECT_EQ(std::wstring(caption), L"Update");
        CRect client;
        GetClientRect(dialog, &client);
        const int left = Scale(dialog, 10, false), top = Scale(dialog, 10, true), bottom = Scale(dialog, 7, true);
        const int gap = Scale(dialog, 7, false);

        const CRect icon = ClientRectOf(box.IconWindow(), dialog);
        EXPECT_EQ(icon.TopLeft(), CPoint(left, top));
        EXPECT_EQ(icon.Width(), 32);

        const CRect text = ClientRectOf(box.TextWindow(), dialog);
        EXPECT_EQ(text.top, top);
        EXPECT_GE(text.left, icon.right + Scale(dialog, 10, false) - 1);
        EXPECT_GT(text.Width(), 100) << "the rich edit asked for its one line";

        std::vector<CRect> buttons;
        for (int i = 0; i < 3; ++i)
            buttons.push_back(ClientRectOf(box.ButtonWindow(i), dialog));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(buttons[i].Size(), buttons[0].Size()) << "every button has the same size";
            EXPECT_EQ(buttons[i].bottom, client.bottom - bottom);
            if (i) {
                EXPECT_EQ(buttons[i].left, buttons[i - 1].right + gap);
            }
        }
        // The widest text ("Never ask again") plus padding on both sides.
        EXPECT_GT(buttons[0].Width(), Scale(dialog, 40 + 14, false));
        EXPECT_NEAR(buttons[0].left, client.right - buttons[2].right, 1) << "the row is centred";
        EXPECT_EQ(GetFocus(), box.ButtonWindow(0)) << "the default button has the focus";
    }, { VK_RETURN });
    EXPECT_EQ(result, 10);
}

TEST_F(RichMessageBoxTest, KeysPickTheFocusedTheDefaultOrTheEscapeButton)
{
    struct Case {
        std::vector<unsigned> keys;
        bool withEscape;
        INT_PTR expected;
    };
    const Case cases[] = {
        { { VK_TAB, VK_RETURN }, true, 21 }, // Enter on the second of three buttons
        { { VK_RETURN }, true, 20 },
        { { VK_ESCAPE }, true, 22 },
        { { VK_CANCEL }, true, 22 },
        { { VK_ESCAPE, VK_ESCAPE }, false, -2 }, // no escape button: Escape does nothing
    };
    for (const Case& c : cases) {
        CNGMessageBox box(&main);
        box.FormatMessage(L"Choose");
        box.AddButton(20, TRUE, FALSE, L"One");
        box.AddButton(21, FALSE, FALSE, L"Two");
        box.AddButton(22, FALSE, c.withEscape, L"Three");
        EXPECT_EQ(Run(box, nullptr, c.keys), c.expected);
    }
}

TEST_F(RichMessageBoxTest, AClickOrTheCloseBoxEndsTheBox)
{
    CNGMessageBox box(&main);
    box.FormatMessage(L"Click me");
    box.AddButton(30, FALSE, FALSE, L"Yes");
    box.AddButton(31, FALSE, TRUE, L"No");
    EXPECT_EQ(Run(box, [&](HWND) {
        CRect button;
        GetWindowRect(box.ButtonWindow(0), &button);
        const POINT centre = button.CenterPoint();
        headless->InjectMouseMove(centre);
        headless->InjectButton(1, true, centre);
        headless->InjectButton(1, false, centre);
    }, {}), 30);
    EXPECT_EQ(Run(box, [&](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }, {}), 31);
}

TEST_F(RichMessageBoxTest, ABoxWithoutButtonsIsAsWideAsItsTextAndEscapeLeavesIt)
{
    CNGMessageBox box(&main);
    box.FormatMessage(L"{\\rtf1 A long line of rich text that needs a wide box to show it whole}");
    int textWidth = 0, clientWidth = 0;
    EXPECT_EQ(Run(box, [&](HWND dialog) {
        CRect client;
        GetClientRect(dialog, &client);
        clientWidth = client.Width();
        textWidth = ClientRectOf(box.TextWindow(), dialog).Width();
        EXPECT_EQ(clientWidth, textWidth - 2 + Scale(dialog, 20, false));
    }, { VK_ESCAPE }), -1);
    EXPECT_GT(textWidth, 250);
}

}
