#include "controls/Label.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/gdi/SysColors.h"
#include "platform/sys/Shell.h"

#include <string>
#include <vector>

namespace {

TEST(GradientBandsTest, BandCountWidthAndColoursFollowTheLimit)
{
    struct Case {
        int width;
        size_t bands;
        int bandWidth;
    };
    const Case cases[] = { { 50, 50, 1 }, { 300, 100, 3 }, { 250, 100, 2 }, { 1, 1, 1 } };
    for (const Case& c : cases) {
        auto bands = GradientBands({ 10, 0, 10 + c.width, 20 }, RGB(255, 0, 0), RGB(0, 0, 255));
        ASSERT_EQ(bands.size(), c.bands) << c.width;
        EXPECT_EQ(bands.front().colour, RGB(255, 0, 0));
        EXPECT_EQ(bands.front().rect.left, 10);
        EXPECT_EQ(bands.front().rect.right - bands.front().rect.left, c.bandWidth + 1) << "one pixel into the next band";
        EXPECT_EQ(bands.back().rect.right, 10 + c.width + 1) << "the last band reaches the right edge";
        for (size_t i = 1; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i].rect.left, bands[i - 1].rect.right - 1);
            EXPECT_LT(GetRValue(bands[i].colour), GetRValue(bands[i - 1].colour)) << "red falls every band";
            EXPECT_GT(GetBValue(bands[i].colour), GetBValue(bands[i - 1].colour));
        }
        // The fixed-point steps stop one step short of the end colour.
        const int step = 255 * 256 / static_cast<int>(c.bands);
        EXPECT_EQ(GetRValue(bands.back().colour), (255 * 256 - step * (static_cast<int>(c.bands) - 1)) / 256);
    }
    EXPECT_TRUE(GradientBands({ 5, 0, 5, 10 }, 0, 0xFFFFFF).empty());
    EXPECT_TRUE(GradientBands({ 5, 0, 3, 10 }, 0, 0xFFFFFF).empty());
}

TEST(LabelTextFormatTest, StaticStylesMapToDrawTextFormats)
{
    struct Case {
        DWORD style;
        const wchar_t* text;
        UINT format;
    };
    const Case cases[] = {
        { SS_LEFT, L"a", DT_WORDBREAK },
        { SS_CENTER, L"a", DT_CENTER | DT_WORDBREAK },
        { SS_RIGHT, L"a", DT_RIGHT | DT_WORDBREAK },
        { SS_LEFTNOWORDWRAP, L"a", DT_LEFT },
        { SS_LEFT, L"a\tb", DT_WORDBREAK | DT_EXPANDTABS },
        { SS_CENTER | SS_CENTERIMAGE, L"one line", DT_CENTER | DT_VCENTER | DT_SINGLELINE },
        { SS_CENTER | SS_CENTERIMAGE, L"two\r\nlines", DT_CENTER },
        { SS_RIGHT | SS_CENTERIMAGE | SS_NOTIFY, L"a\tb", DT_CENTER | DT_VCENTER | DT_SINGLELINE },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LabelTextFormat(c.style, c.text), c.format) << std::hex << c.style;
}

// A parent that records the WM_NOTIFY messages its children send.
class RecordingParent : public CWnd {
public:
    std::vector<NMHDR> notes;
    std::vector<WPARAM> ids;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            notes.push_back(*reinterpret_cast<const NMHDR*>(lParam));
            ids.push_back(wParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A label that counts its paints.
class CountingLabel : public CLabel {
public:
    int paints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
            ++paints;
        return CLabel::WindowProc(message, wParam, lParam);
    }
};

class LabelTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 500, 300, main.m_hWnd, nullptr));
        Create(SS_LEFT, L"Label");
    }
    void Create(DWORD style, const wchar_t* text, CRect rect = CRect(20, 20, 320, 60))
    {
        if (label.m_hWnd)
            label.DestroyWindow();
        HWND window = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.Width(), rect.Height(), parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(12)), nullptr, nullptr);
        ASSERT_TRUE(window);
        ASSERT_TRUE(label.SubclassWindow(window));
        Pump();
    }
    // The bounding box of pixels of the colour in the label's client area.
    RECT InkBox(COLORREF colour)
    {
        RECT client;
        label.GetClientRect(&client);
        RECT box { client.right, client.bottom, -1, -1 };
        HDC dc = GetDC(label);
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                if (GetPixel(dc, x, y) == colour) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
            }
        }
        ReleaseDC(label, dc);
        return box;
    }

    RecordingParent parent;
    CountingLabel label;
};

TEST_F(LabelTest, TheGradientIsDrawnBandByBand)
{
    Create(SS_LEFT, L"", CRect(0, 0, 50, 20));
    label.SetBkColor(RGB(255, 0, 0), RGB(0, 0, 255), 1);
    Pump();
    auto bands = GradientBands({ 0, 0, 50, 20 }, RGB(255, 0, 0), RGB(0, 0, 255));
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(PixelAt(label, x, 10), bands[x].colour) << x;

    Create(SS_LEFT, L"", CRect(0, 0, 300, 20));
    label.SetBkColor(RGB(255, 0, 0), RGB(0, 0, 255), 1);
    Pump();
    EXPECT_EQ(PixelAt(label, 0, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(label, 2, 5), RGB(255, 0, 0));
    EXPECT_NE(PixelAt(label, 3, 5), RGB(255, 0, 0)) << "bands of 3 pixels";
    EXPECT_EQ(PixelAt(label, 3, 5), PixelAt(label, 5, 5));
}

TEST_F(LabelTest, SolidBackgroundAndTextColour)
{
    EXPECT_EQ(PixelAt(label, 250, 30), GetSysColor(COLOR_BTNFACE)) << "the system face without an own colour";
    label.SetBkColor(RGB(0, 128, 0)).SetTextColor(RGB(255, 255, 0));
    Pump();
    EXPECT_EQ(PixelAt(label, 250, 30), RGB(0, 128, 0));
    RECT ink = InkBox(RGB(255, 255, 0));
    EXPECT_GE(ink.left, 0);
    EXPECT_LT(ink.right, 60) << "left-aligned text";
}

// A setter only invalidates the label: it paints once, with all the changes, when the waiting
// messages are done.
TEST_F(LabelTest, SettersPaintOnceWhenTheMessagesAreDone)
{
    label.SetBkColor(RGB(0, 128, 0));
    Pump();
    label.paints = 0;
    label.SetBkColor(RGB(0, 0, 200)).SetTextColor(RGB(255, 255, 0)).SetFontSize(14).SetText(L"Deferred");
    EXPECT_EQ(PixelAt(label, 250, 30), RGB(0, 128, 0)) << "no paint inside the setters";
    EXPECT_TRUE(GetUpdateRect(label, nullptr, FALSE)) << "invalidated, not yet painted";
    Pump();
    EXPECT_EQ(label.paints, 1);
    EXPECT_EQ(PixelAt(label, 250, 30), RGB(0, 0, 200));
    EXPECT_TRUE(AnyPixelOf(label, { 0, 0, 80, 40 }, RGB(255, 255, 0)));
}

TEST_F(LabelTest, CentreImageCentresAOneLineTextBothWaysAndATwoLineTextOnlyAcross)
{
    struct Case {
        const wchar_t* text;
        bool verticallyCentred;
    };
    for (const Case c : { Case { L"Mid", true }, Case { L"Mid\r\nMid", false } }) {
        Create(SS_CENTER | SS_CENTERIMAGE, c.text, CRect(0, 0, 200, 80));
        label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0));
        Pump();
        RECT ink = InkBox(RGB(0, 0, 0));
        ASSERT_LT(ink.left, ink.right) << "text drawn";
        EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
        if (c.verticallyCentred)
            EXPECT_NEAR((ink.top + ink.bottom) / 2, 40, 4);
        else
            EXPECT_LT(ink.top, 6);
    }
}

TEST_F(LabelTest, ThreeDTextDrawsASecondPassOffsetByOnePixel)
{
    Create(SS_LEFT, L"H", CRect(0, 0, 100, 40));
    label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0)).SetText3DColor(RGB(255, 0, 0));
    Pump();
    const RECT plain = InkBox(RGB(0, 0, 0));
    for (BOOL downRight : { TRUE, FALSE }) {
        label.SetText3D(TRUE, downRight);
        Pump();
        RECT second = InkBox(RGB(255, 0, 0));
        const int offset = downRight ? 1 : -1;
        // The second pass covers the first, so its box is the first moved by the offset.
        EXPECT_EQ(second.right, plain.right + offset);
        EXPECT_EQ(second.bottom, plain.bottom + offset);
    }
}

TEST_F(LabelTest, RotatedTextTurnsAboutTheCentre)
{
    Create(SS_LEFT, L"Rotated text", CRect(0, 0, 120, 120));
    label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0));
    Pump();
    RECT flat = InkBox(RGB(0, 0, 0));
    label.SetRotation(90);
    Pump();
    EXPECT_EQ(label.LogicalFont().lfEscapement, 900);
    RECT turned = InkBox(RGB(0, 0, 0));
    ASSERT_LT(turned.left, turned.right);
    EXPECT_GT(turned.bottom - turned.top, turned.right - turned.left) << "the text runs upwards";
    EXPECT_GT(flat.right - flat.left, flat.bottom - flat.top);
    EXPECT_NEAR((turned.top + turned.bottom) / 2, 60, 3);
    EXPECT_LE(turned.right, 62) << "the baseline passes through the centre";
}

TEST_F(LabelTest, FlashTextHidesAndShowsTheTextEveryHalfSecond)
{
    label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0));
    Pump();
    const RECT text { 0, 0, 60, 40 };
    ASSERT_TRUE(AnyPixelOf(label, text, RGB(0, 0, 0)));
    label.FlashText(TRUE);
    Pump();
    EXPECT_FALSE(AnyPixelOf(label, text, RGB(0, 0, 0))) << "hidden in the back colour";
    Advance(500);
    EXPECT_TRUE(AnyPixelOf(label, text, RGB(0, 0, 0)));
    Advance(500);
    EXPECT_FALSE(AnyPixelOf(label, text, RGB(0, 0, 0)));
    label.FlashText(FALSE);
    Pump();
    EXPECT_TRUE(AnyPixelOf(label, text, RGB(0, 0, 0)));
    Advance(2000);
    EXPECT_TRUE(AnyPixelOf(label, text, RGB(0, 0, 0))) << "no timer left";
}

TEST_F(LabelTest, FlashBackgroundAlternatesItsColourWithTheFace)
{
    label.SetBkColor(RGB(0, 0, 200)).FlashBackground(TRUE);
    Pump();
    EXPECT_EQ(PixelAt(label, 250, 30), GetSysColor(COLOR_BTNFACE));
    Advance(500);
    EXPECT_EQ(PixelAt(label, 250, 30), RGB(0, 0, 200));
}

TEST_F(LabelTest, FontSettersEditOnlyTheirPartOfTheLogicalFont)
{
    label.SetFontName(L"Arial").SetFontBold(TRUE).SetFontItalic(TRUE).SetFontUnderline(TRUE);
    label.SetFontSize(14);
    const LOGFONTW& font = label.LogicalFont();
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfHeight, -19) << "14 points at 96 DPI";

    // A face name of 32 characters or more is cut to 31 and stays terminated.
    label.SetFontName(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij");
    EXPECT_EQ(std::wstring(label.LogicalFont().lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST_F(LabelTest, ALabelMadeWithCreateStartsFromTheWindowsFont)
{
    LOGFONTW given {};
    given.lfHeight = -15;
    wcscpy(given.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&given);
    CLabel made;
    ASSERT_TRUE(made.Create(L"STATIC", L"x", WS_CHILD | WS_VISIBLE, CRect(0, 100, 100, 120), &parent, 13));
    made.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font));
    made.SetFontBold(TRUE);
    EXPECT_EQ(std::wstring(made.LogicalFont().lfFaceName), L"Arial");
    EXPECT_EQ(made.LogicalFont().lfHeight, -15);
    EXPECT_EQ(made.LogicalFont().lfWeight, FW_BOLD);
    made.DestroyWindow();
    DeleteObject(font);
}

TEST_F(LabelTest, ClicksOpenTheLinkTheMailAddressOrTellTheParent)
{
    std::vector<std::vector<std::string>> opened;
    auto previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        opened.push_back(arguments);
        return true;
    });
    struct Case {
        const wchar_t* text;
        const wchar_t* url;
        bool mail, notify;
        std::vector<std::string> expected; // empty: nothing opened, the parent told
    };
    const Case cases[] = {
        { L"https://example.org/", L"", false, false, { "xdg-open", "https://example.org/" } },
        { L"Home page", L"https://example.org/home", false, false, { "xdg-open", "https://example.org/home" } },
        { L"someone@example.org", L"", true, false, { "xdg-open", "mailto:someone@example.org" } },
        { L"https://example.org/", L"", false, true, {} },
    };
    for (const Case& c : cases) {
        opened.clear();
        label.SetText(c.text).SetLinkUrl(c.url);
        if (c.mail)
            label.SetMailLink(TRUE, c.notify);
        else
            label.SetLink(TRUE, c.notify);
        EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
        parent.notes.clear();
        Advance(1000); // not a double click
        Click(ScreenPoint(label, 10, 10));
        if (c.expected.empty()) {
            EXPECT_TRUE(opened.empty());
            ASSERT_EQ(parent.notes.size(), 1u);
            EXPECT_EQ(parent.notes[0].code, 0x8200u);
            EXPECT_EQ(parent.notes[0].hwndFrom, label.m_hWnd);
            EXPECT_EQ(parent.notes[0].idFrom, 12u);
            EXPECT_EQ(parent.ids[0], 12u);
        } else {
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0], c.expected);
            EXPECT_TRUE(parent.notes.empty());
        }
    }
    label.SetLink(FALSE, FALSE);
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(label.LinkMode(), CLabel::LinkNone);
    SetShellLauncher(std::move(previous));
}

TEST_F(LabelTest, TheLinkCursorShowsOverTheLabel)
{
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    label.SetLink(TRUE, FALSE).SetLinkCursor(hand);
    MoveMouse(ScreenPoint(label, 10, 10));
    EXPECT_EQ(GetCursor(), hand);
}

}
