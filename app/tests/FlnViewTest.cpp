#include "app/tests/FlnViewTestSupport.h"

#include "app/tests/HeldResultMutex.h"
#include "controls/BalloonHelp.h"
#include "engine/FormulaEngine.h"
#include "platform/base/MessageBox.h"
#include "platform/speech/Synthesizer.h"

#include <unistd.h>

namespace {

TEST_F(FlnViewTest, TheControlsStandAtTheRectanglesOfTheForm)
{
    int children = 0;
    for (HWND child = ::GetWindow(view->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(children, 108);
    struct Place {
        UINT id;
        RECT dialogUnits;
    };
    const Place places[] = {
        { IDC_PAGE_TABS, { 5, 4, 5 + 286, 4 + 76 } }, { IDC_FORMULA, { 11, 20, 11 + 273, 20 + 44 } },
        { IDC_OUTPUT, { 92, 65, 92 + 194, 65 + 13 } }, { IDC_KEY_EQUALS, { 183, 137, 183 + 18, 137 + 40 } },
        { 237, { 166, 137, 166 + 12, 137 + 26 } }, { 213, { 124, 165, 124 + 26, 165 + 12 } },
        { 187, { 216, 94, 216 + 12, 94 + 12 } }, { IDC_PHYS_VALUE, { 230, 195, 230 + 58, 195 + 12 } },
    };
    for (const Place& place : places) {
        RECT expected = place.dialogUnits;
        ::MapDialogRect(view->m_hWnd, &expected);
        RECT actual {};
        ::GetWindowRect(Item(place.id), &actual);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_TRUE(::EqualRect(&expected, &actual)) << "control " << place.id;
    }
    // The up-downs of the variables join the right edge of their fields.
    RECT field {};
    RECT spin {};
    ::GetWindowRect(Item(IDC_VALUE_A), &field);
    ::GetWindowRect(Item(267), &spin);
    EXPECT_EQ(spin.left, field.right);
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_RETURN)));
    EXPECT_EQ(view->m_nNumberFormat, 1) << "a first run starts in Floating";

    // What the fields take.
    const std::pair<UINT, LRESULT> limits[] = { { IDC_FORMULA, 1024 }, { IDC_VALUE_A, 16 }, { IDC_VALUE_G, 16 }, { IDC_VALUE_X, 16 },
        { IDC_VALUE_XA, 8 }, { IDC_VALUE_XB, 8 } };
    for (const auto& [id, limit] : limits)
        EXPECT_EQ(::SendMessageW(Item(id), EM_GETLIMITTEXT, 0, 0), limit) << "field " << id;
    int lowest = 0;
    int highest = 0;
    ::SendMessageW(Item(IDC_SPIN_DIGITS), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lowest), reinterpret_cast<LPARAM>(&highest));
    EXPECT_EQ(std::make_pair(lowest, highest), std::make_pair(-15, 15));
    EXPECT_EQ(OutputText(), CString(L"0.0000"));
    EXPECT_EQ(::SendMessageW(Item(IDC_MODE_DEC), BM_GETCHECK, 0, 0), BST_CHECKED);
}

} // namespace

namespace {

constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

TEST_F(FlnViewTest, KeysPutTheirTextsIntoTheFormula)
{
    SetTextOf(IDC_FORMULA, L"2");
    ::SendMessageW(Item(IDC_FORMULA), EM_SETSEL, 1, 1);
    PressKeys({ 171, 109 });
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"2 * sin( )"));
    EXPECT_EQ(Selection(), std::make_pair(8, 9)) << "the blank between the brackets is selected";
    Command(IDC_KEY_X);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"2 * sin(x)"));

    struct Case {
        UINT key;
        const wchar_t* text;
    };
    const Case cases[] = { { 145, L"( )" }, { 1380, L")" }, { 125, L"10^" }, { 130, L"^2" }, { 227, L"d" },
        { IDC_KEY_E, L"_e" }, { IDC_KEY_ROOT, L"sqr( )" }, { IDC_KEY_PI, L"pi" }, { 237, L" + " }, { 117, L"tan( )" },
        { 219, L"6" }, { 213, L"0" } };
    for (const Case& key : cases) {
        SetTextOf(IDC_FORMULA, L"");
        Command(key.key);
        EXPECT_EQ(TextOf(IDC_FORMULA), CString(key.text)) << "key " << key.key;
    }

    // A selection is replaced.
    SetTextOf(IDC_FORMULA, L"abc");
    ::SendMessageW(Item(IDC_FORMULA), EM_SETSEL, 0, -1);
    Command(113);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"cos( )"));
    EXPECT_EQ(Selection(), std::make_pair(4, 5));
    EXPECT_EQ(::GetFocus(), Item(IDC_FORMULA));
}

TEST_F(FlnViewTest, AClickedKeyAndTheKeyboardBothTypeIntoTheFormula)
{
    SetTextOf(IDC_FORMULA, L"");
    ::SetFocus(Item(IDC_FORMULA));
    Type(L"1+");
    Click(CentreOf(216));
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"1+3"));
    Type(L"*2");
    Key(VK_RETURN);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"1+3*2")) << "the input takes no line breaks";
    EXPECT_NE(OutputText().Find(L"7"), -1) << "Enter is the default button, \"=\"";
}

TEST_F(FlnViewTest, EqualsShowsTheResultInTheStatusBarAndTheOutputLine)
{
    Calculate(L"2+3*4");
    EXPECT_EQ(frame->status, CString(L"Result = 1.400000000000000E+001"));
    EXPECT_EQ(OutputText(), CString(L"14.0000 "));
    EXPECT_TRUE(Shows(IDC_OUTPUT, Yellow));
    EXPECT_EQ(view->m_strLastFormula, CString(L"2+3*4"));

    SetTextOf(IDC_VALUE_X, L"0.0123");
    Calculate(L"exp(1)");
    EXPECT_EQ(frame->status, CString(L"f(0.012300) = 2.718281828459045E+000")) << "the x of exp counts";
    EXPECT_TRUE(beeps.empty());

    // Nothing happens before start-up has finished; "-e" ends the program after "=".
    frame->ready = FALSE;
    Calculate(L"1+1");
    EXPECT_EQ(OutputText(), CString(L"2.7183 "));
    frame->ready = TRUE;
    frame->quitAfterCalculation = TRUE;
    Calculate(L"1+1");
    EXPECT_TRUE(quitPosted);
}

TEST_F(FlnViewTest, AParseErrorMarksTheCharacterAndReturnBringsTheTypedTextBack)
{
    Calculate(L"{2 + 3} # 4");
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"(2+3)#4")) << "the input shows the normalised text";
    EXPECT_EQ(Selection(), std::make_pair(5, 6)) << "one character, at the error position";
    EXPECT_EQ(OutputText(), CString(L"Data Error 6 "));
    EXPECT_TRUE(Shows(IDC_OUTPUT, Red));
    EXPECT_NE(frame->status.Find(L"Error on position 6"), -1) << frame->status.GetString();
    EXPECT_EQ(beeps, std::vector<UINT>({ MB_ICONASTERISK }));
    EXPECT_TRUE(CBalloonHelp::IsLaunchedBalloonShown());
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_RETURN)));
    EXPECT_EQ(PixelOf(IDC_FORMULA, 2, 2), CFlnView::InputErrorColour);

    Command(IDC_RETURN);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"{2 + 3} # 4"));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_RETURN)));
    EXPECT_EQ(PixelOf(IDC_FORMULA, 2, 2), CFlnView::InputNormalColour);
}

TEST_F(FlnViewTest, AnEvaluationProblemShowsDataError5)
{
    Calculate(L"1/0");
    EXPECT_EQ(OutputText(), CString(L"Data Error 5 "));
    EXPECT_EQ(frame->status.Left(14), CString(L"Parser Error: "));
    EXPECT_EQ(beeps.size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_RETURN)));
}

TEST_F(FlnViewTest, VerificationShowsBothResultsWhenTheTreeDisagrees)
{
    // The tree reads a sign only at the start of a text: 2*-3 is 2*0 - 3 there.
    Calculate(L"2*-3");
    EXPECT_EQ(OutputText(), CString(L"-6.0000 != -3.0000 "));
    EXPECT_TRUE(Shows(IDC_OUTPUT, Red));
    EXPECT_EQ(frame->status, CString(L"Verify = -3.000000E+000"));
    EXPECT_TRUE(CBalloonHelp::IsLaunchedBalloonShown());
    EXPECT_TRUE(beeps.empty());

    Command(ID_VIEW_VERIFY);
    EXPECT_FALSE(view->m_bVerify);
    Calculate(L"2*-3");
    EXPECT_EQ(OutputText(), CString(L"-6.0000 "));

    // A long flat sum is read whole by both.
    Command(ID_VIEW_VERIFY);
    CString sum = L"X";
    for (int i = 1; i < 150; ++i)
        sum += L"+X";
    SetTextOf(IDC_VALUE_X, L"1");
    Calculate(sum);
    EXPECT_EQ(OutputText(), CString(L"150.0000 "));
}

// Formulas far longer than the input line takes come from parameter files and automation; "="
// verifies them like short ones and shows the same texts.
TEST_F(FlnViewTest, ALongChainFromAutomationVerifiesAndShowsItsResult)
{
    constexpr int Terms = 20000;
    struct Case {
        wchar_t op;
        double x;
        const wchar_t *output, *status;
    };
    for (Case c : { Case { L'+', 1.5, L"30,000.0000 ", L"f(1.500000) = 3.000000000000000E+004" },
                    { L'*', -1, L"1.0000 ", L"f(-1.000000) = 1.000000000000000E+000" } }) {
        SCOPED_TRACE(static_cast<char>(c.op));
        CString chain = L"X";
        for (int i = 1; i < Terms; ++i) {
            chain += c.op;
            chain += L'X';
        }
        view->m_dX = c.x;
        view->m_strFormula = chain; // as the automation object's Formula property does
        view->UpdateData(FALSE);
        Command(IDC_KEY_EQUALS);
        EXPECT_EQ(std::wstring(OutputText().GetString()), c.output);
        EXPECT_TRUE(Shows(IDC_OUTPUT, Yellow));
        EXPECT_EQ(std::wstring(frame->status.GetString()), c.status);
        EXPECT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());
        EXPECT_EQ(view->m_strLastFormula.GetLength(), chain.GetLength());
    }
}

TEST_F(FlnViewTest, NumberFormatsAndDigitsRecomputeAtOnce)
{
    Calculate(L"1234.5678");
    struct Case {
        UINT command;
        int format;
    };
    for (const Case& format : { Case { ID_FORMAT_SCIENTIFIC, 2 }, Case { ID_FORMAT_ENGINEERING, 3 },
             Case { ID_FORMAT_TECHNICAL, 4 }, Case { ID_FORMAT_WORDS, 8 }, Case { ID_FORMAT_FLOATING, 1 } }) {
        const CString before = OutputText();
        Command(format.command);
        EXPECT_EQ(view->m_nNumberFormat, format.format);
        EXPECT_NE(OutputText(), before) << "format " << format.format;
    }
    EXPECT_EQ(OutputText(), CString(L"1,234.5678 "));
    SetTextOf(IDC_DIGITS, L"2");
    Pump();
    EXPECT_EQ(view->m_nDigits, 2);
    EXPECT_EQ(OutputText(), CString(L"1,234.57 "));
}

TEST_F(FlnViewTest, EveryDisplayConversionHasItsTextAndColour)
{
    struct Case {
        UINT button;
        const wchar_t* formula;
        const wchar_t* shown;
        COLORREF colour;
    };
    const Case cases[] = {
        { IDC_MODE_HEX, L"-1", L"FFFFFFFF ", Green }, { IDC_MODE_HEX, L"-0.5", L"0 ", Green },
        { IDC_MODE_HEX, L"255.9", L"FF ", Green }, { IDC_MODE_OCT, L"64", L"100 ", Green },
        { IDC_MODE_BIN, L"8", L" 1000 ", Green }, { IDC_MODE_BIN, L"16", L"1 0000 ", Green },
        { IDC_MODE_FRAC, L"2.25", L"2 1/4 ", Yellow }, { IDC_MODE_FRAC, L"0.5", L"1/2 ", Yellow },
        { IDC_MODE_FRAC, L"3", L"3 ", Yellow }, { IDC_MODE_ROMAN_SHORT, L"1999", L"MIM ", Green },
        { IDC_MODE_ROMAN_LONG, L"1999", L"MCMXCIX ", Green }, { IDC_MODE_ROMAN_LONG, L"0.9", L"Data Error 8 ", Red },
        { IDC_MODE_ROMAN_SHORT, L"-3", L"Data Error 9 ", Red },
        // Beyond the int range there is no integer form.
        { IDC_MODE_HEX, L"10^10", L"Data Error ", Red }, { IDC_MODE_BIN, L"-3*10^9", L"Data Error ", Red },
        { IDC_MODE_ROMAN_LONG, L"10^12", L"Data Error ", Red }, { IDC_MODE_DEC, L"2.5", L"2.5000 ", Yellow },
    };
    Command(ID_VIEW_VERIFY);
    for (const Case& conversion : cases) {
        SetTextOf(IDC_FORMULA, conversion.formula);
        Command(conversion.button);
        EXPECT_EQ(OutputText(), CString(conversion.shown)) << conversion.formula;
        EXPECT_TRUE(Shows(IDC_OUTPUT, conversion.colour)) << conversion.formula;
    }
}

TEST_F(FlnViewTest, TheDerivativePageShowsTheDerivativeAndKeysAppendToIt)
{
    SetTextOf(IDC_VALUE_X, L"0.0123");
    Calculate(L"x^3");
    SelectPage(1);
    EXPECT_EQ(view->m_nShownPage, CFlnView::Tab::Derivative);
    EXPECT_EQ(TextOf(IDC_FORMULA), view->m_strDerivative);
    EXPECT_FALSE(view->m_strDerivative.IsEmpty());
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_KEY_EQUALS)));
    EXPECT_EQ(PixelOf(IDC_FORMULA, 2, 2), CFlnView::InputDerivativeColour);
    EXPECT_EQ(frame->status.Left(9), CString(L"f'(0.0123"));
    EXPECT_EQ(OutputText(), CString(L"0.0005 ")) << "3 x^2 at 0.0123";

    const CString derivative = view->m_strDerivative;
    ::SendMessageW(Item(IDC_FORMULA), EM_SETSEL, 0, 0);
    Command(237);
    EXPECT_EQ(TextOf(IDC_FORMULA), derivative + L" + ") << "appended wherever the caret stands";
    EXPECT_EQ(view->m_strDerivative, derivative + L" + ");

    // "=" does nothing here; back on the input page the formula returns.
    Command(IDC_KEY_EQUALS);
    SelectPage(0);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"x^3"));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_KEY_EQUALS)));
    EXPECT_EQ(PixelOf(IDC_FORMULA, 2, 2), CFlnView::InputNormalColour);
}

TEST_F(FlnViewTest, TheRootPageReportsTheRootSearch)
{
    SetTextOf(IDC_VALUE_XA, L"0");
    SetTextOf(IDC_VALUE_XB, L"2");
    Calculate(L"x^2-2");
    SelectPage(1);
    SelectPage(2);
    const CString report = TextOf(IDC_FORMULA);
    EXPECT_EQ(report.Left(20), CString(L"Formula: x^2-2\r\nRoot")) << "the formula of the input page, not the derivative";
    EXPECT_NE(report.Find(L"Root: x= 1.41421"), -1) << report.GetString();
    EXPECT_NE(report.Find(L"Return code: "), -1);
    EXPECT_EQ(OutputText().Left(6), CString(L"1.4142"));
    EXPECT_EQ(frame->status.Right(7), CString(L" == 0 ?"));
    Command(171);
    EXPECT_EQ(TextOf(IDC_FORMULA), report) << "keys insert nothing here";

    struct Case {
        const wchar_t* formula;
        const wchar_t* xa;
        const wchar_t* line;
        const wchar_t* code;
    };
    const Case cases[] = {
        { L"x^2+1", L"-1", L"Error: Term not fulfilled: f(x2) * f(x1) < 0\r\n", L"Return code: -1\r\n" },
        // A point where the formula has no value is no value, and is reported.
        { L"ln(x)", L"-1", L"Error: the formula has no value at x= -1.000000000000000: ", L"Return code: " },
    };
    for (const Case& root : cases) {
        SelectPage(0);
        SetTextOf(IDC_VALUE_XA, root.xa);
        Calculate(root.formula);
        const CString output = OutputText();
        SelectPage(2);
        const CString text = TextOf(IDC_FORMULA);
        EXPECT_NE(text.Find(root.line), -1) << text.GetString();
        EXPECT_NE(text.Find(root.code), -1) << text.GetString();
        EXPECT_EQ(text.Find(L"Root: x="), -1) << text.GetString();
        EXPECT_EQ(OutputText(), output) << "the output line stays";
    }
}

// x, A to G and the interval typed on the derivative or root page stay when the page changes,
// and the next page calculates with them; the input page gets its formula back.
TEST_F(FlnViewTest, NumbersTypedOnTheDerivativeAndRootPagesStay)
{
    struct Case {
        int from, to;
    };
    const Case switches[] = { { 1, 0 }, { 2, 0 }, { 2, 1 }, { 1, 2 } };
    for (const Case& change : switches) {
        SCOPED_TRACE(testing::Message() << change.from << " to " << change.to);
        SelectPage(0);
        SetTextOf(IDC_VALUE_X, L"3");
        SetTextOf(IDC_VALUE_A, L"2");
        SetTextOf(IDC_VALUE_G, L"1");
        SetTextOf(IDC_VALUE_XA, L"0");
        SetTextOf(IDC_VALUE_XB, L"5");
        Calculate(L"A*x^2-8");
        SelectPage(change.from);
        SetTextOf(IDC_VALUE_X, L"2");
        SetTextOf(IDC_VALUE_A, L"4");
        SetTextOf(IDC_VALUE_G, L"7");
        SetTextOf(IDC_VALUE_XA, L"1");
        SetTextOf(IDC_VALUE_XB, L"3");
        SelectPage(change.to);
        EXPECT_EQ(TextOf(IDC_VALUE_X), CString(L"2"));
        EXPECT_EQ(TextOf(IDC_VALUE_A), CString(L"4"));
        EXPECT_EQ(TextOf(IDC_VALUE_G), CString(L"7"));
        EXPECT_EQ(TextOf(IDC_VALUE_XA), CString(L"1"));
        EXPECT_EQ(TextOf(IDC_VALUE_XB), CString(L"3"));
        EXPECT_EQ(view->m_dX, 2.0);
        EXPECT_EQ(view->m_dA, 4.0);
        if (change.to == 0)
            EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"A*x^2-8"));
        else if (change.to == 1)
            EXPECT_EQ(OutputText().Left(2), CString(L"16")) << "2 A x at x 2 with A 4";
        else
            EXPECT_NE(TextOf(IDC_FORMULA).Find(L"Root: x= 1.41421"), -1) << "4 x^2 - 8 between 1 and 3";
    }
}

// A field that holds no number is refused with one message, and every other field keeps what the
// user typed: nothing is computed and no old value is put back, on "=", on a number format that
// recomputes, on the way to the derivative or root page, and on "Return".
TEST_F(FlnViewTest, ARefusedFieldLeavesWhatTheOtherFieldsHold)
{
    const std::pair<const char*, std::function<void()>> actions[] = {
        { "=", [&] { Command(IDC_KEY_EQUALS); } },
        { "a number format", [&] { Command(ID_FORMAT_SCIENTIFIC); } },
        { "the derivative page", [&] { SelectPage(1); } },
        { "the root page", [&] { SelectPage(2); } },
        { "Return", [&] { Command(IDC_RETURN); } },
    };
    std::vector<std::wstring> boxes;
    SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        boxes.clear();
        SelectPage(0);
        Command(ID_FORMAT_FLOATING);
        SetTextOf(IDC_VALUE_B, L"4");
        SetTextOf(IDC_VALUE_G, L"9");
        SetTextOf(IDC_DIGITS, L"4");
        Calculate(L"G");
        const CString output = OutputText();
        ASSERT_EQ(output.Left(1), CString(L"9"));
        SetTextOf(IDC_VALUE_B, L"");
        SetTextOf(IDC_VALUE_G, L"8");
        SetTextOf(IDC_VALUE_XB, L"7");
        action();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], L"Please enter a number.");
        EXPECT_EQ(TextOf(IDC_VALUE_B), CString(L""));
        EXPECT_EQ(TextOf(IDC_VALUE_G), CString(L"8"));
        EXPECT_EQ(TextOf(IDC_VALUE_XB), CString(L"7"));
        EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"G"));
        EXPECT_EQ(TextOf(IDC_DIGITS), CString(L"4"));
        EXPECT_EQ(OutputText(), output) << "nothing was computed";
        EXPECT_EQ(::SendMessageW(Item(IDC_PAGE_TABS), TCM_GETCURSEL, 0, 0), 0);
    }
    SetMessageBoxHandler({});
    // Mended, the field is taken with the others.
    SetTextOf(IDC_VALUE_B, L"2");
    Command(IDC_KEY_EQUALS);
    EXPECT_EQ(OutputText().Left(1), CString(L"8"));
}

TEST_F(FlnViewTest, AParseErrorOnAPageSwitchReturnsToTheInputPage)
{
    Calculate(L"2+3)");
    beeps.clear();
    SelectPage(1);
    EXPECT_EQ(::SendMessageW(Item(IDC_PAGE_TABS), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(beeps.size(), 2u) << "the parse error's beep and the page's";
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_KEY_EQUALS))) << "\"=\" works again on the input page";
}

TEST_F(FlnViewTest, AChosenConstantGoesToItsTarget)
{
    // The drop-down buttons choose the target and open the constants: the first is the speed of light.
    int menusOpened = 0;
    SetModalLoopHook([&](HWND) {
        if (menusOpened++ == 0) {
            headless->InjectKey(VK_DOWN, true);
            headless->InjectKey(VK_DOWN, false);
            headless->InjectKey(VK_RETURN, true);
            headless->InjectKey(VK_RETURN, false);
        } else {
            ::EndMenu();
        }
    });
    Click(CentreOf(210));
    SetModalLoopHook({});
    EXPECT_EQ(view->m_nInsertTarget, 1);
    EXPECT_GE(menusOpened, 1);
    EXPECT_EQ(TextOf(IDC_VALUE_A), CString(L" 2.997925E+008"));
    EXPECT_EQ(view->m_dA, 1.0) << "the variable changes at the next \"=\"";

    Command(IDC_PHYS_SELECT);
    Command(6033);
    EXPECT_EQ(TextOf(IDC_PHYS_NAME), CString(L"_g = "));
    EXPECT_EQ(TextOf(IDC_PHYS_VALUE), CString(L" 9.806650E+000"));
    SetTextOf(IDC_FORMULA, L"");
    Command(IDC_PHYS_NAME);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"_g"));

    Calculate(L"A");
    EXPECT_EQ(view->m_dA, 299792500.0);
}

TEST_F(FlnViewTest, EditCommandsWorkOnTheFormula)
{
    SetTextOf(IDC_FORMULA, L"sin(x)");
    ::SendMessageW(Item(IDC_FORMULA), EM_SETSEL, 2, 2);
    Command(ID_EDIT_CUT);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"")) << "with nothing selected, cut takes everything";
    Command(ID_EDIT_PASTE);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"sin(x)sin(x)"));
    Command(ID_EDIT_DELETE_ALL);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L""));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"sin(x)sin(x)"));
    ::SendMessageW(Item(IDC_FORMULA), EM_SETSEL, 0, 3);
    Command(ID_EDIT_COPY);
    SetTextOf(IDC_FORMULA, L"");
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"sin"));
}

TEST_F(FlnViewTest, TheInputFontFollowsTheFontCommands)
{
    auto font = [&] {
        LOGFONTW logFont {};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Item(IDC_FORMULA), WM_GETFONT, 0, 0)), sizeof logFont, &logFont);
        return logFont;
    };
    Command(ID_FONT_MEDIUM);
    EXPECT_EQ(font().lfHeight, -16);
    EXPECT_EQ(font().lfWeight, 700);
    EXPECT_EQ(CString(font().lfFaceName), CString(L"MS Sans Serif"));
    Command(ID_FONT_SMALL);
    Command(ID_FONT_BOLD);
    EXPECT_EQ(font().lfHeight, -13);
    EXPECT_EQ(font().lfWeight, 400);
    Command(ID_FONT_BOLD);
    EXPECT_EQ(font().lfWeight, 700);
    Command(ID_FONT_VERY_LARGE);
    EXPECT_EQ(font().lfHeight, -24);
    EXPECT_EQ(view->m_nFontSize, 18);

    // A stored size that no command sets (the settings take what the profile holds): "Font Bold"
    // still changes the input as its check mark says, at that size.
    view->SetInputFont(11);
    Command(ID_FONT_BOLD);
    EXPECT_EQ(font().lfHeight, -15);
    EXPECT_EQ(font().lfWeight, 400);
    EXPECT_EQ(view->m_nFontSize, 11);
}

TEST_F(FlnViewTest, TheOutputLineCutsLongTexts)
{
    const CString text38(L'1', 38);
    view->OutputResult(text38, Yellow, 11);
    EXPECT_EQ(OutputText(), text38 + L" ");
    const CString text39(L'2', 39);
    view->OutputResult(text39, Yellow, 11);
    EXPECT_EQ(OutputText(), text39 + L"...") << "39 characters, the last the blank... cut";
    EXPECT_EQ(view->m_strOutputText, text39);
}

TEST_F(FlnViewTest, TooltipsShowOnlyWhileSwitchedOn)
{
    auto tipShown = [] { return ::IsWindowVisible(::FindWindowW(L"XSuperTooltip", nullptr)) != FALSE; };
    const POINT sine = CentreOf(109);
    headless->InjectMouseMove({ sine.x - 1, sine.y });
    Pump();
    headless->InjectMouseMove(sine);
    Pump();
    Advance(2000);
    EXPECT_TRUE(tipShown());

    // Plain texts have tips too.
    headless->InjectMouseMove(CentreOf(IDC_OUTPUT));
    Pump();
    Advance(2000);
    EXPECT_TRUE(tipShown());

    Command(ID_VIEW_TOOLTIPS);
    headless->InjectMouseMove(CentreOf(113));
    Pump();
    Advance(2000);
    EXPECT_FALSE(tipShown());
}

// Every caption of the page's keys is drawn whole: a key shows as many caption pixels as the same
// key made 20 pixels wider on each side, where nothing can be cut. (The inside starts past the 3-D
// border and the default key's frame; only what lies on the page counts.)
TEST_F(FlnViewTest, EveryKeyCaptionFitsItsKey)
{
    RECT page;
    view->GetClientRect(&page);
    auto captionPixels = [&](HWND key, int border) {
        ::RedrawWindow(key, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT inside;
        ::GetWindowRect(key, &inside);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&inside), 2);
        const POINT origin { inside.left, inside.top };
        InflateRect(&inside, -border, -border);
        IntersectRect(&inside, &inside, &page);
        HDC dc = ::GetDC(key);
        int count = 0;
        for (int y = inside.top; y < inside.bottom; ++y)
            for (int x = inside.left; x < inside.right; ++x)
                count += ::GetPixel(dc, x - origin.x, y - origin.y) != ::GetSysColor(COLOR_BTNFACE);
        ::ReleaseDC(key, dc);
        return count;
    };
    int keys = 0;
    for (HWND key = ::GetWindow(view->m_hWnd, GW_CHILD); key; key = ::GetWindow(key, GW_HWNDNEXT)) {
        wchar_t className[16] {}, caption[32] {};
        ::GetClassNameW(key, className, 16);
        ::GetWindowTextW(key, caption, 32);
        const LONG style = ::GetWindowLongW(key, GWL_STYLE);
        const LONG kind = style & BS_TYPEMASK;
        const bool pushKey = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || (style & BS_PUSHLIKE);
        if (std::wstring_view(className) != L"Button" || !pushKey || !*caption || !::IsWindowVisible(key))
            continue;
        ++keys;
        RECT place;
        ::GetWindowRect(key, &place);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        const int border = kind == BS_DEFPUSHBUTTON ? 3 : 2;
        const int shown = captionPixels(key, border);
        ::MoveWindow(key, place.left - 20, place.top, place.right - place.left + 40, place.bottom - place.top, TRUE);
        const int whole = captionPixels(key, border);
        ::MoveWindow(key, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
        EXPECT_EQ(shown, whole) << "\"" << CString(caption).ToUtf8() << "\" is cut in its " << place.right - place.left << " pixels";
    }
    EXPECT_GT(keys, 40) << "the page's keys were found";
}

// Tabbing onto a key makes it look like the default key; a click into the formula gives the
// default frame back to "=".
TEST_F(FlnViewTest, TheDefaultFrameGoesBackToEqualsWhenTheFormulaTakesTheFocus)
{
    auto looksDefault = [&](HWND key) { return (::GetWindowLongW(key, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; };
    HWND equals = Item(IDC_KEY_EQUALS), formula = Item(IDC_FORMULA);
    Click(CentreOf(IDC_FORMULA));
    ASSERT_EQ(::GetFocus(), formula);
    ASSERT_TRUE(looksDefault(equals));
    HWND key = nullptr;
    for (int tab = 0; tab < 80 && !key; ++tab) {
        Key(VK_TAB);
        HWND focus = ::GetFocus();
        if (::GetParent(focus) == view->m_hWnd && (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) == 0
            && looksDefault(focus) && focus != equals)
            key = focus;
    }
    ASSERT_NE(key, nullptr) << "Tab reaches a key";
    EXPECT_FALSE(looksDefault(equals)) << "the focused key stands in for \"=\"";

    Advance(1000); // not a double click
    Click(CentreOf(IDC_FORMULA));
    EXPECT_EQ(::GetFocus(), formula);
    EXPECT_TRUE(looksDefault(equals));
    EXPECT_FALSE(looksDefault(key));
}

// A tip stays while the pointer wanders over its key, hides when the pointer leaves the key, and
// shows again on the next hover of the same key.
TEST_F(FlnViewTest, ATipStaysOverItsKeyAndShowsAgainOnTheNextHover)
{
    HWND tip = ::FindWindowW(L"XSuperTooltip", nullptr);
    ASSERT_NE(tip, nullptr);
    auto shownAfterHover = [&](POINT point) {
        headless->InjectMouseMove(point);
        Pump();
        Advance(2000);
        return ::IsWindowVisible(tip) != FALSE;
    };
    const POINT sine = CentreOf(109);
    headless->InjectMouseMove({ sine.x - 1, sine.y });
    Pump();
    ASSERT_TRUE(shownAfterHover(sine));
    for (POINT step : { POINT { 1, 0 }, POINT { 3, 1 }, POINT { -2, 2 } })
        EXPECT_TRUE(shownAfterHover({ sine.x + step.x, sine.y + step.y })) << "moved by " << step.x << ", " << step.y;
    EXPECT_TRUE(::IsWindowVisible(tip)) << "no auto-hide: still there a minute on";

    RECT page;
    view->GetClientRect(&page);
    POINT empty { page.right - 2, page.bottom - 2 }; // a corner of the page with no control
    view->ClientToScreen(&empty);
    EXPECT_FALSE(shownAfterHover(empty));
    EXPECT_TRUE(shownAfterHover(sine)) << "the same key shows its tip again";
    // A click hides it; the next move over the key brings it back.
    Click(sine);
    EXPECT_FALSE(::IsWindowVisible(tip));
    EXPECT_TRUE(shownAfterHover({ sine.x + 1, sine.y + 1 }));
}

// A block of this test process's own: tests running side by side must not see each other's results.
CString PageTestBlockName()
{
    return CString(L"FormulonPageTest") + std::to_wstring(::getpid()).c_str();
}

TEST_F(FlnViewTest, TheSharedBlockGetsTheFormulaTheShownTextAndTheVariables)
{
    frame->sharedMemory = std::make_unique<CSharedMemory>(CSharedMemory::ResultBlockSize, PageTestBlockName());
    Calculate(L"1+1");
    EXPECT_EQ(frame->sharedMemory->ReadText(), CString(L"")) << "written only while switched on";

    Command(ID_OUTPUT_SHARED_MEMORY);
    EXPECT_TRUE(frame->sharedMemorySwitch);
    SetTextOf(IDC_VALUE_B, L"2.5");
    Calculate(L"1+1");
    const CString ones = L"1.000000000000000E+000";
    EXPECT_EQ(frame->sharedMemory->ReadText(),
        L"1+1 = 2.0000  [" + ones + L"; 2.500000000000000E+000; " + ones + L"; " + ones + L"; " + ones + L"; " + ones
            + L"; " + ones + L"]");

    // The block holds the cut text, and a long formula is cut to the block.
    const CString longFormula = L"1" + CString(L'+', 1) + CString(L'0', 300);
    Calculate(longFormula);
    EXPECT_EQ(frame->sharedMemory->ReadText().GetLength(), 255);
    Calculate(L"1");
    view->OutputResult(CString(L'9', 45), RGB(255, 255, 0), 11);
    EXPECT_NE(frame->sharedMemory->ReadText().Find(CString(L'9', 39) + L"..."), -1);

    frame->sharedMemory.reset();
    int boxes = 0;
    SetMessageBoxHandler([&](const wchar_t*, const wchar_t*, UINT) {
        ++boxes;
        return IDOK;
    });
    Command(ID_OUTPUT_SHARED_MEMORY);
    SetMessageBoxHandler({});
    EXPECT_EQ(boxes, 1) << "without a block the command only tells the user";
    EXPECT_FALSE(frame->sharedMemorySwitch);
}

// Another program that holds the block's mutex does not freeze "=": the write gives up at once and
// the status bar says so; the result shows as always.
TEST_F(FlnViewTest, ABlockHeldByAnotherProgramIsSkippedAndTheStatusBarSaysSo)
{
    frame->sharedMemory = std::make_unique<CSharedMemory>(CSharedMemory::ResultBlockSize, PageTestBlockName());
    Command(ID_OUTPUT_SHARED_MEMORY);
    Calculate(L"1+1");
    const CString before = frame->sharedMemory->ReadText();

    {
        HeldResultMutex reader(PageTestBlockName());
        Calculate(L"2+2");
    }
    EXPECT_NE(frame->status.Find(L"not written to the shared memory"), -1) << frame->status.GetString();
    EXPECT_EQ(frame->sharedMemory->ReadText(), before);
    EXPECT_NE(OutputText().Find(L"4"), -1);
}

TEST_F(FlnViewTest, TheVoiceSaysTheShownText)
{
    RecordingVoice voice;
    frame->voice = &voice;
    Command(ID_OUTPUT_VOICE);
    EXPECT_TRUE(frame->speechSwitch);
    voice.said.clear(); // switching on tried the sound output with an empty text
    view->OutputResult(L"12:30", RGB(255, 255, 0), 11);
    view->OutputResult(L"Data Error 5", RGB(255, 0, 0), 11);
    ASSERT_EQ(voice.said.size(), 2u);
    EXPECT_EQ(voice.said[0].text, CString(L"12by30"));
    EXPECT_EQ(voice.said[0].flags, 32);
    EXPECT_EQ(voice.said[1].flags, 8) << "errors are said as warnings";
    Command(ID_STOP_SPEECH);
    EXPECT_EQ(voice.stops, 1);
    frame->voice = nullptr;
}

// Speech without a sound output: switching it on says so once and leaves it off; a voice that
// fails while it is on is switched off with one message, and the result stays on the line.
TEST_F(FlnViewTest, SpeechThatCannotBeHeardIsSwitchedOffWithOneMessage)
{
    std::vector<std::wstring> boxes;
    SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    RecordingVoice voice;
    frame->voice = &voice;
    voice.failWith = SPEECH_E_NOAUDIO;
    Command(ID_OUTPUT_VOICE);
    EXPECT_FALSE(frame->speechSwitch);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"No sound output"), std::wstring::npos) << boxes[0];

    boxes.clear();
    voice.failWith = S_OK;
    Command(ID_OUTPUT_VOICE);
    ASSERT_TRUE(frame->speechSwitch);
    voice.failWith = SPEECH_E_AUDIOFAILED;
    Calculate(L"1+1");
    Calculate(L"2+2");
    EXPECT_EQ(OutputText(), CString(L"4.0000 "));
    EXPECT_TRUE(Shows(IDC_OUTPUT, Yellow));
    EXPECT_FALSE(frame->speechSwitch);
    EXPECT_EQ(boxes.size(), 1u) << "said once";
    SetMessageBoxHandler({});
    frame->voice = nullptr;
}

TEST_F(FlnViewTest, TheCopyKeyPutsTheOutputOnTheClipboard)
{
    Calculate(L"6*7");
    Command(IDC_COPY_OUTPUT);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const auto* copied = static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)));
    EXPECT_EQ(CString(copied), CString(L"42.0000"));
    ::CloseClipboard();
    EXPECT_TRUE(CBalloonHelp::IsLaunchedBalloonShown());
}

TEST_F(FlnViewTest, ACopyThatCannotOpenTheClipboardSaysSo)
{
    Calculate(L"6*7");
    ASSERT_TRUE(::OpenClipboard(frame->m_hWnd));
    ::EmptyClipboard();
    Command(IDC_COPY_OUTPUT);
    ::CloseClipboard();
    HWND balloon = nullptr;
    for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
        if (::IsWindowVisible(window) && window != frame->m_hWnd)
            balloon = window;
    }
    ASSERT_NE(balloon, nullptr);
    wchar_t title[64] {};
    ::GetWindowTextW(balloon, title, 64);
    EXPECT_EQ(CString(title), CString(L"Clipboard Error"));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_EQ(::GetClipboardData(CF_UNICODETEXT), nullptr);
    ::CloseClipboard();
}

// The page as it looks after a calculation, pixel for pixel.
TEST_F(FlnViewTest, ThePageLooksLikeItsPicture)
{
    Command(ID_FONT_SMALL);
    SetTextOf(IDC_VALUE_X, L"0.0123");
    Calculate(L"{x^2 + exp[a * log(abs(x))]} * sin(x)");
    ::SetFocus(nullptr);
    Pump();
    ExpectWindowPicture(view->m_hWnd, "FormulaPage.png");
}

TEST_F(FlnViewTest, AWiderViewMovesEveryControlByHalfAndStretchesNone)
{
    RECT client {};
    ::GetClientRect(view->m_hWnd, &client);
    const SIZE form = view->GetTotalSize();
    // First at the form's size, then 100 pixels wider and 40 higher.
    auto resizeView = [&](int width, int height) {
        RECT frameRect {};
        ::GetWindowRect(frame->m_hWnd, &frameRect);
        frame->SetWindowPos(nullptr, 0, 0, frameRect.right - frameRect.left + width - client.right,
            frameRect.bottom - frameRect.top + height - client.bottom, SWP_NOZORDER | SWP_NOMOVE);
        Pump();
        ::GetClientRect(view->m_hWnd, &client);
    };
    auto rectOf = [&](UINT id) {
        CRect rect;
        ::GetWindowRect(Item(id), &rect);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    resizeView(form.cx, form.cy);
    const CRect input = rectOf(IDC_FORMULA);
    const CRect equals = rectOf(IDC_KEY_EQUALS);
    resizeView(form.cx + 100, form.cy + 40);
    CRect expected = input;
    expected.OffsetRect(50, 20);
    EXPECT_EQ(rectOf(IDC_FORMULA), expected);
    expected = equals;
    expected.OffsetRect(50, 20);
    EXPECT_EQ(rectOf(IDC_KEY_EQUALS), expected);
    resizeView(form.cx, form.cy);
    EXPECT_EQ(rectOf(IDC_FORMULA), input) << "back at its place";
}


// What the graph reads of the page: the fields as they stand, without an exchange that would
// complain about a field or normalise the formula.
TEST_F(FlnViewTest, TheCurrentInputsAreReadQuietlyFromTheFields)
{
    std::vector<std::wstring> boxes;
    SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    SetTextOf(IDC_FORMULA, L"2 #  sin( x )");
    SetTextOf(IDC_VALUE_X, L" 0.25 ");
    SetTextOf(IDC_VALUE_A, L"abc");
    SetTextOf(IDC_VALUE_B, L"2.5");
    SetTextOf(IDC_VALUE_C, L"");
    SetTextOf(IDC_VALUE_G, L"1e400");
    SetTextOf(IDC_VALUE_XA, L"-3");
    SetTextOf(IDC_VALUE_XB, L"7.5x");
    Pump();
    const CString formulaBefore = view->m_strFormula;

    const FormulaInputs inputs = view->CurrentInputs();
    SetMessageBoxHandler({});
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(inputs.formula, CString(L"2 #  sin( x )")) << "as typed";
    EXPECT_EQ(inputs.x, 0.25);
    EXPECT_EQ(inputs.constants, (std::array<double, 7> { 1, 2.5, 1, 1, 1, 1, 1 })) << "no number: the member's value";
    EXPECT_EQ(inputs.xa, -3.0);
    EXPECT_EQ(inputs.xb, 12.0);

    EXPECT_EQ(TextOf(IDC_FORMULA), CString(L"2 #  sin( x )"));
    EXPECT_EQ(view->m_strFormula, formulaBefore);
    EXPECT_EQ(view->m_dB, 1.0) << "the members stay as the last exchange left them";
}

// Counts the WM_PAINTs that the page and its controls get, sent at once (UpdateWindow) or taken
// from the queue.
class PagePaintCounter {
public:
    explicit PagePaintCounter(HWND page)
    {
        s_page = page;
        s_count = 0;
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &PagePaintCounter::OnSent, nullptr, 0);
    }
    ~PagePaintCounter() { ::UnhookWindowsHookEx(m_hook); }
    PagePaintCounter(const PagePaintCounter&) = delete;
    PagePaintCounter& operator=(const PagePaintCounter&) = delete;

    // Dispatches what waits, counting the paints among it.
    void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (message.message == WM_PAINT && OnPage(message.hwnd))
                ++s_count;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    int Count() const { return s_count; }

private:
    static bool OnPage(HWND window) { return window == s_page || ::IsChild(s_page, window); }
    static LRESULT OnSent(int code, WPARAM wParam, LPARAM lParam)
    {
        if (const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam); call->message == WM_PAINT && OnPage(call->hwnd))
            ++s_count;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND s_page = nullptr;
    static inline int s_count = 0;
    HHOOK m_hook = nullptr;
};

// The output line's colour, size and text change together: one "=" paints the line once, and the
// page only where the calculation changed it.
TEST_F(FlnViewTest, OneEqualsPaintsThePageAFewTimesOnly)
{
    SetTextOf(IDC_FORMULA, L"2+3*4");
    Pump();
    PagePaintCounter paints(view->m_hWnd);
    ::SendMessageW(view->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_KEY_EQUALS, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_KEY_EQUALS)));
    paints.Pump();
    EXPECT_EQ(OutputText(), CString(L"14.0000 "));
    EXPECT_TRUE(Shows(IDC_OUTPUT, Yellow));
    EXPECT_LE(paints.Count(), 4);
}

} // namespace
