#include "controls/HtmlMarkup.h"
#include "controls/HtmlStaticCtrl.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/gdi/SysColors.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <string>
#include <vector>

namespace {

TEST(HtmlMarkupTest, TagsSwitchTheStyleOfTheRuns)
{
    const auto runs = ParseHtmlMarkup(
        L"plain <b>bold <i>both</i></b><U>under</U><strike>gone</strike><br>"
        L"<font color=\"red\" bgcolor=\"#00FF00\" face=\"Arial\" size=\"4\">big</font>"
        L"<a href=\"https://example.org\">link</a> end");
    struct Expected {
        const wchar_t* text;
        bool bold, italic, underline, strike, lineBreak;
    };
    const Expected expected[] = {
        { L"plain ", false, false, false, false, false },
        { L"bold ", true, false, false, false, false },
        { L"both", true, true, false, false, false },
        { L"under", false, false, true, false, false },
        { L"gone", false, false, false, true, false },
        { L"", false, false, false, false, true },
        { L"big", false, false, false, false, false },
        { L"link", false, false, false, false, false },
        { L" end", false, false, false, false, false },
    };
    ASSERT_EQ(runs.size(), std::size(expected));
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(std::wstring(runs[i].text), expected[i].text) << i;
        EXPECT_EQ(runs[i].style.bold, expected[i].bold) << i;
        EXPECT_EQ(runs[i].style.italic, expected[i].italic) << i;
        EXPECT_EQ(runs[i].style.underline, expected[i].underline) << i;
        EXPECT_EQ(runs[i].style.strike, expected[i].strike) << i;
        EXPECT_EQ(runs[i].lineBreak, expected[i].lineBreak) << i;
    }
    const HtmlStyle& font = runs[6].style;
    EXPECT_EQ(font.colour, RGB(255, 0, 0));
    EXPECT_EQ(font.background, RGB(0, 255, 0));
    EXPECT_EQ(std::wstring(font.face), L"Arial");
    EXPECT_EQ(font.size, 4);
    ASSERT_TRUE(runs[7].style.link);
    EXPECT_EQ(std::wstring(*runs[7].style.link), L"https://example.org");
    EXPECT_FALSE(runs[8].style.link) << "</a> ends the link";
    EXPECT_FALSE(runs[8].style.colour) << "</font> restores the control's colours";
}

TEST(HtmlMarkupTest, MixedCaseAndUnknownTagsAreText)
{
    struct Case {
        const wchar_t* markup;
        const wchar_t* text;
    };
    const Case cases[] = {
        { L"a<Br>b", L"a<Br>b" },
        { L"<Bold>x", L"<Bold>x" },
        { L"1 < 2", L"1 < 2" },
        { L"<fontx>y", L"<fontx>y" },
        { L"<a href=", L"<a href=" }, // unfinished
        { L"x<", L"x<" },
    };
    for (const Case& c : cases) {
        const auto runs = ParseHtmlMarkup(c.markup);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(std::wstring(runs[0].text), c.text);
    }
    EXPECT_EQ(HtmlAttribute(L" bgcolor=\"red\"", L"color"), std::nullopt) << "only whole names";
    EXPECT_EQ(HtmlAttribute(L" COLOR = \"Blue\"", L"color"), std::optional<CString>(L"Blue"));
    EXPECT_EQ(HtmlAttribute(L" Color=\"Blue\"", L"color"), std::nullopt);
}

TEST(HtmlMarkupTest, AFaceOf32CharactersOrMoreIsCutTo31)
{
    LOGFONTW base {};
    base.lfHeight = -11;
    wcscpy(base.lfFaceName, L"MS Sans Serif");
    HtmlStyle style;
    style.face = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    style.size = 3;
    style.bold = true;
    const LOGFONTW font = HtmlRunFont(base, style);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    style.face.Empty();
    EXPECT_EQ(std::wstring(HtmlRunFont(base, style).lfFaceName), L"MS Sans Serif");
}

class HtmlLayoutTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        dc = CreateCompatibleDC(nullptr);
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    }
    void TearDown() override
    {
        DeleteDC(dc);
        ControlTest::TearDown();
    }
    std::vector<HtmlLinkArea> Links(const wchar_t* markup, RECT rect)
    {
        return LayOutHtml(dc, ParseHtmlMarkup(markup), rect, base, { 0, 0xFF0000 }, false);
    }
    int LineHeight()
    {
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size {};
        GetTextExtentPoint32W(dc, L"abcdefgABCDEFG", 14, &size);
        SelectObject(dc, old);
        return size.cy;
    }
    HDC dc = nullptr;
    LOGFONTW base {};
};

TEST_F(HtmlLayoutTest, LinksAreFoundWhereTheWordsWrap)
{
    const int line = LineHeight();
    struct Case {
        const wchar_t* markup;
        int width;
        std::vector<int> linkLines; // the line of each link piece
    };
    const Case cases[] = {
        { L"Read <a href=\"x\">the notes</a> first", 400, { 0 } },
        { L"one<br><a href=\"x\">two</a>", 400, { 1 } },
        { L"one\r\n<a href=\"x\">two</a>", 400, { 1 } },
        // Too narrow for both words of the link on one line: one piece per line.
        { L"<a href=\"x\">wrapping words</a>", 60, { 0, 1 } },
        { L"plain text only", 400, {} },
    };
    for (const Case& c : cases) {
        const auto links = Links(c.markup, { 0, 0, c.width, 200 });
        ASSERT_EQ(links.size(), c.linkLines.size()) << c.width;
        for (size_t i = 0; i < links.size(); ++i) {
            EXPECT_EQ(links[i].rect.top, c.linkLines[i] * line);
            EXPECT_EQ(links[i].rect.bottom - links[i].rect.top, line);
            EXPECT_LE(links[i].rect.right, c.width);
            EXPECT_EQ(std::wstring(links[i].target), L"x");
        }
    }
    // Nothing is laid out below the rectangle.
    EXPECT_TRUE(Links(L"a<br>b<br><a href=\"x\">c</a>", { 0, 0, 400, 2 * line }).empty());
}

class HtmlStaticTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 80, main, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(51)), nullptr, nullptr);
        ASSERT_TRUE(control.SubclassWindow(window));
        control.SetBackColour(RGB(255, 255, 255));
        control.SetLinkColour(RGB(0, 0, 255));
        previousLauncher = SetShellLauncher([this](const std::vector<std::string>& arguments) {
            started.push_back(arguments);
            return arguments[0] != "xdg-open" || shellOpens;
        });
    }
    void TearDown() override
    {
        SetShellLauncher(std::move(previousLauncher));
        ControlTest::TearDown();
    }
    void Show(const wchar_t* markup)
    {
        control.SetWindowText(markup);
        Pump();
    }

    CNGHtmlStaticCtrl control;
    std::vector<std::vector<std::string>> started;
    bool shellOpens = true;
    ShellLauncher previousLauncher;
};

TEST_F(HtmlStaticTest, PaintsTheMarkupAndRebuildsTheLinksOnEveryChange)
{
    EXPECT_TRUE(control.GetStyle() & SS_NOTIFY);
    Show(L"<font color=\"#FF0000\">Red</font> and <a href=\"https://example.org\">a link</a>");
    EXPECT_EQ(PixelAt(control, 290, 70), RGB(255, 255, 255));
    EXPECT_TRUE(AnyPixelOf(control, { 0, 0, 40, 20 }, RGB(255, 0, 0)));
    ASSERT_EQ(control.LinkAreas().size(), 1u);
    const RECT link = control.LinkAreas()[0].rect;
    EXPECT_TRUE(AnyPixelOf(control, link, RGB(0, 0, 255)));
    EXPECT_TRUE(control.IsTimerOn());

    Show(L"No links <Br> here");
    EXPECT_TRUE(control.LinkAreas().empty());
    EXPECT_FALSE(AnyPixelOf(control, { 0, 0, 300, 80 }, RGB(0, 0, 255))) << "the whole control was repainted";
}

TEST_F(HtmlStaticTest, TextWithoutLinksNeverStartsTheTimer)
{
    Show(L"<b>Just</b> text");
    EXPECT_FALSE(control.IsTimerOn());
}

TEST_F(HtmlStaticTest, TheHandShowsOverALinkAndAClickOpensIt)
{
    Show(L"<a href=\"https://example.org/a\">first</a> <a href=\"https://example.org/b\">second</a>");
    ASSERT_EQ(control.LinkAreas().size(), 2u);
    const RECT second = control.LinkAreas()[1].rect;
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    MoveMouse(ScreenPoint(control, second.left + 2, second.top + 2));
    Advance(80);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    MoveMouse(ScreenPoint(control, second.left + 3, second.top + 2));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND)) << "kept while over the link";

    Advance(1000);
    Click(ScreenPoint(control, second.left + 2, second.top + 2));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (std::vector<std::string> { "xdg-open", "https://example.org/b" }));

    MoveMouse(ScreenPoint(control, 290, 70));
    Advance(80);
    EXPECT_EQ(GetCursor(), arrow);
    started.clear();
    Advance(1000);
    Click(ScreenPoint(control, 290, 70));
    EXPECT_TRUE(started.empty()) << "a click beside the links opens nothing";
}

TEST_F(HtmlStaticTest, WithoutTheShellTheRegisteredBrowserGetsTheTargetAsOneArgument)
{
    TempSettingsFolder settings;
    auto setDefault = [](const wchar_t* subKey, const std::wstring& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    };
    setDefault(L".htm", L"htmlfile");
    shellOpens = false;
    const CString target = L"https://example.org/?q=1\" & rm -rf ~";
    struct Case {
        const wchar_t* command;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        { L"\"/opt/My Browser/browser\" --new \"%1\"", { "/opt/My Browser/browser", "--new" } },
        { L"/usr/bin/browser %1", { "/usr/bin/browser" } },
        { L"/usr/bin/browser", { "/usr/bin/browser" } },
    };
    for (const Case& c : cases) {
        setDefault(L"htmlfile\\shell\\open\\command", c.command);
        started.clear();
        EXPECT_TRUE(OpenHtmlLink(std::wstring_view(target), SW_SHOW));
        ASSERT_EQ(started.size(), 2u) << "the shell first, then the browser";
        std::vector<std::string> expected = c.arguments;
        expected.push_back(WideToUtf8(std::wstring_view(target)));
        EXPECT_EQ(started[1], expected);
    }
    setDefault(L".htm", L"");
    started.clear();
    EXPECT_FALSE(OpenHtmlLink(std::wstring_view(target), SW_SHOW));
    EXPECT_EQ(started.size(), 1u);
}

}
