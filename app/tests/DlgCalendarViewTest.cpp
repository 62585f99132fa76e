// The Date & Time page in a small frame that stands in for the main window, with the clock fixed at
// Monday 15 April 2024, 12:30:00 in Central Europe (10:30:00 UTC) and the default date locale.

#include "app/DateFile.h"
#include "app/DlgCalendarView.h"
#include "app/FlnPageHost.h"
#include "app/tests/PageTestSupport.h"
#include "controls/BalloonHelp.h"
#include "datetime/CalendarAnswers.h"
#include "datetime/DateParser.h"
#include "datetime/MoonAstronomy.h"
#include "datecore/Clock.h"
#include "datecore/DateLocale.h"
#include "platform/base/tests/Printers.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/PrivateProfile.h"
#include "platform/user/WinUser.h"
#include "platform/user/tests/PixelChecks.h"
#include "res/DateTimePage.h"
#include "res/Formulon.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

class DatePageFrame : public CFrameWnd, public CFlnPageHost {
    DECLARE_DYNCREATE(DatePageFrame)
public:
    BOOL IsReady() const override { return TRUE; }
    BOOL QuitAfterCalculation() const override { return FALSE; }
    void SetMessageText(const CString& text) override { status = text; }
    using CFrameWnd::SetMessageText;
    CSharedMemory* GetSharedMemory() override { return nullptr; }
    BOOL& SharedMemorySwitch() override { return off; }
    IVTxtAuto* GetVoiceText() override { return nullptr; }
    BOOL& SpeechSwitch() override { return off; }

    CString status;
    BOOL off = FALSE;
};

class DatePageDocument : public CDocument {
    DECLARE_DYNCREATE(DatePageDocument)
};

IMPLEMENT_DYNCREATE(DatePageFrame, CFrameWnd)
IMPLEMENT_DYNCREATE(DatePageDocument, CDocument)

constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Cyan = RGB(0, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

COleDateTime Day(int year, int month, int day)
{
    COleDateTime date;
    date.SetDate(year, month, day);
    return date;
}

class DatePageTest : public PageTest<DatePageFrame, CDlgCalendarView> {
protected:
    DatePageTest()
        : PageTest(RUNTIME_CLASS(DatePageDocument), RUNTIME_CLASS(DatePageFrame), RUNTIME_CLASS(CDlgCalendarView))
        , clock(*SystemTimeToUnixSeconds(SYSTEMTIME { 2024, 4, 1, 15, 10, 30, 0, 0 }), CentralEuropeanZone())
        , locale(DateLocale::Default())
    {
    }

    void TearDown() override
    {
        PageTest::TearDown();
        GetDateParser().DateFormat = 1;
    }

    void SetInput(const wchar_t* text) { ::SetWindowTextW(Item(IDC_DATE_INPUT), text); }
    CString Input() const { return TextOf(IDC_DATE_INPUT); }
    CString Output() const { return TextOf(IDC_DATE_OUTPUT); }
    std::pair<int, int> Selection() const { return SelectionOf(IDC_DATE_INPUT); }
    void Calculate(const wchar_t* expression)
    {
        SetInput(expression);
        Command(IDC_DATE_KEY_EQUALS);
    }
    // "Display System Time" as a click on the box leaves it.
    void SetSystemTime(bool on)
    {
        ::SendMessageW(Item(IDC_SYSTEM_TIME), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        Command(IDC_SYSTEM_TIME);
    }
    // The title of the balloon that shows, or empty.
    CString BalloonTitle() const
    {
        for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
            if (::IsWindowVisible(window) && window != frame->m_hWnd) {
                wchar_t title[128] {};
                ::GetWindowTextW(window, title, 128);
                return title;
            }
        }
        return CString();
    }
    void CloseBalloons()
    {
        Advance(7000);
    }

    ScopedFixedClock clock;
    ScopedDateLocale locale;
};

TEST_F(DatePageTest, ANewPageShowsItsDefaults)
{
    EXPECT_TRUE(Checked(IDC_SET_LEFT));
    EXPECT_TRUE(Checked(IDC_OUTPUT_SPAN));
    EXPECT_TRUE(Checked(IDC_UNIT_SPAN));
    EXPECT_TRUE(Checked(IDC_SYSTEM_TIME));
    EXPECT_EQ(CheckOf(ID_DATE_FORMAT_DOTS), 1);
    EXPECT_EQ(CheckOf(ID_DATE_FORMAT_DAY_FIRST), 0);
    EXPECT_EQ(CheckOf(ID_FONT_SMALL), 1);
    EXPECT_EQ(CheckOf(ID_FONT_LARGE), 0);
    EXPECT_EQ(CheckOf(ID_FONT_BOLD), 1);
    EXPECT_EQ(CheckOf(ID_VIEW_TOOLTIPS), 1);
    EXPECT_EQ(GetDateParser().DateFormat, 1);
    EXPECT_EQ(::SendMessageW(Item(IDC_DATE_INPUT), EM_GETLIMITTEXT, 0, 0), 1024);
    // Today, from the fixed clock, in the calendar, the date-time field and the result field.
    EXPECT_EQ(view->Calendar().GetSelectedDate(), Day(2024, 4, 15));
    EXPECT_EQ(::GetDlgItem(view->m_hWnd, IDC_CALENDAR), view->Calendar().m_hWnd);
    EXPECT_EQ(view->GetDateTimeValue(), COleDateTime(2024, 4, 15, 12, 30, 0));
    EXPECT_EQ(TextOf(IDC_DATE_TIME), CString(L"Monday  15.04.2024  12:30:00 PM"));
    EXPECT_EQ(Output(), CString(L"15.04.2024")) << "today in the user's short date form";
    EXPECT_EQ(TextOf(IDC_YEAR_LABEL), CString(L"2007")) << "placeholders until the first tick";
}

TEST_F(DatePageTest, KeysBuildTheExpression)
{
    SetInput(L"");
    PressKeys({ IDC_DATE_KEY_DAY });
    EXPECT_EQ(Input(), CString(L"d[ ]"));
    EXPECT_EQ(Selection(), std::make_pair(2, 3)) << "the blank between the brackets waits for the count";
    PressKeys({ IDC_DATE_KEY_1, IDC_DATE_KEY_6 });
    EXPECT_EQ(Input(), CString(L"d[16]"));
    // A unit after a complete operand is added to it.
    PressKeys({ IDC_DATE_KEY_HOUR, IDC_DATE_KEY_2 });
    EXPECT_EQ(Input(), CString(L"d[16] + h[2]"));
    PressKeys({ IDC_DATE_KEY_MINUS, IDC_DATE_KEY_MINUTE, IDC_DATE_KEY_0 });
    EXPECT_EQ(Input(), CString(L"d[16] + h[2] - m[0]"));

    struct Case {
        UINT key;
        const wchar_t* text;
    } cases[] = { { IDC_DATE_KEY_YEAR, L"Y[ ]" }, { IDC_DATE_KEY_MONTH, L"M[ ]" }, { IDC_DATE_KEY_WEEK, L"W[ ]" },
        { IDC_DATE_KEY_SECOND, L"s[ ]" }, { IDC_DATE_KEY_PLUS, L" + " }, { IDC_DATE_KEY_CLOSE, L"]" }, { IDC_DATE_KEY_9, L"9" } };
    for (const Case& key : cases) {
        SetInput(L"");
        Command(key.key);
        EXPECT_EQ(Input(), CString(key.text)) << "key " << key.key;
    }
    EXPECT_EQ(::GetFocus(), Item(IDC_DATE_INPUT));
}

TEST_F(DatePageTest, OperandButtonsWriteTheChosenMoment)
{
    view->Calendar().SelectDate(Day(2024, 1, 24), TRUE);
    Pump();
    view->SetDateTimeValue(COleDateTime(2024, 1, 24, 13, 5, 9));
    SetInput(L"");
    Command(IDC_OPERAND_DATE);
    EXPECT_EQ(Input(), CString(L"D<[24.01.2024]"));
    Command(IDC_OPERAND_TIME);
    EXPECT_EQ(Input(), CString(L"T<[13:05:09]")) << "a new left operand takes the place of the old";
    Command(IDC_OPERAND_DATE_TIME);
    EXPECT_EQ(Input(), CString(L"C<[24.01.2024 | 13:05:09]"));

    // The right operand must be of the left one's kind.
    SetInput(L"D<[01.01.2024]");
    Command(IDC_SET_RIGHT);
    Command(IDC_OPERAND_TIME);
    EXPECT_EQ(Input(), CString(L"D<[01.01.2024]"));
    EXPECT_EQ(BalloonTitle(), CString(L"Time?"));
    CloseBalloons();
    Command(IDC_OPERAND_DATE);
    EXPECT_EQ(Input(), CString(L"D<[01.01.2024] - D>[24.01.2024]"));
    Command(IDC_DATE_KEY_EQUALS);
    EXPECT_EQ(Output(), CString(L"+23d 0h 0m 0s "));

    // Day/month/year and month/day/year dates.
    Command(ID_DATE_FORMAT_MONTH_FIRST);
    Command(IDC_SET_LEFT);
    SetInput(L"");
    Command(IDC_OPERAND_DATE);
    EXPECT_EQ(Input(), CString(L"D<[01/24/2024]"));
}

TEST_F(DatePageTest, EqualsShowsEachOutputModeAndUnit)
{
    struct Case {
        const wchar_t* expression;
        UINT mode;
        UINT unit;
        const wchar_t* output;
        COLORREF colour;
        const wchar_t* status;
    } cases[] = {
        { L"D<[1.1.2000] + D>[2.1.2000]", IDC_OUTPUT_SPAN, IDC_UNIT_SPAN, L"+1d 0h 0m 0s ", Yellow, L"" },
        { L"d[1] + h[2] + m[3] + s[4]", IDC_OUTPUT_SPAN, IDC_UNIT_SPAN, L"+1d 2h 3m 4s ", Yellow, L"" },
        { L"h[-1]", IDC_OUTPUT_SPAN, IDC_UNIT_SPAN, L"-0d 1h 0m 0s ", Yellow, L"" },
        { L"d[1] + h[12]", IDC_OUTPUT_SPAN, IDC_UNIT_DAYS, L"1.500000d ", Yellow, L"Result = 1.500000000 days" },
        { L"d[1] + h[12]", IDC_OUTPUT_SPAN, IDC_UNIT_HOURS, L"36.000000h ", Yellow, L"Result = 36.000000000 hours" },
        { L"h[1] + s[30]", IDC_OUTPUT_SPAN, IDC_UNIT_MINUTES, L"60.500000m ", Yellow, L"Result = 60.500000000 minutes" },
        { L"m[2]", IDC_OUTPUT_SPAN, IDC_UNIT_SECONDS, L"120.000000s ", Yellow, L"Result = 120.000000000 seconds" },
        { L"C<[1.1.2000|12:00:00] + d[10]", IDC_OUTPUT_DATE, IDC_UNIT_SPAN, L"11.01.2000 12:00:00 ", Green, L"" },
        { L"C<[1.1.2000|12:00:00]", IDC_OUTPUT_JD, IDC_UNIT_SPAN, L"2451545.000000 ", Cyan, L"" },
    };
    for (const Case& c : cases) {
        frame->status.Empty();
        SetInput(c.expression);
        Command(c.unit);
        Command(c.mode);
        EXPECT_EQ(Output(), CString(c.output)) << CString(c.expression).ToUtf8();
        EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, c.colour)) << CString(c.expression).ToUtf8();
        EXPECT_EQ(frame->status, CString(c.status)) << CString(c.expression).ToUtf8();
    }
    EXPECT_TRUE(beeps.empty());
    EXPECT_EQ(::GetFocus(), Item(IDC_DATE_INPUT));

    // Month first, the date comes out month first too.
    Command(ID_DATE_FORMAT_MONTH_FIRST);
    SetInput(L"C<[01/02/2000|12:00:00]");
    Command(IDC_OUTPUT_DATE);
    EXPECT_EQ(Output(), CString(L"01/02/2000 12:00:00 "));
}

// A step that reaches no date fails the chain as a date and as a Julian day: the steps after it
// show what the failed step alone shows, never a date.
TEST_F(DatePageTest, AFailedDateStepShowsAsTheFailureItIs)
{
    for (UINT mode : { IDC_OUTPUT_DATE, IDC_OUTPUT_JD }) {
        SCOPED_TRACE(mode);
        SetInput(L"D<[29.02.2024]+Y[1]");
        Command(mode);
        const CString failed = Output();
        for (const wchar_t* chain : { L"D<[29.02.2024]+Y[1]+d[1]", L"D<[29.02.2024]-Y[1]-d[1]" }) {
            SetInput(chain);
            Command(mode);
            EXPECT_EQ(Output().ToUtf8(), failed.ToUtf8()) << CString(chain).ToUtf8();
        }
        EXPECT_EQ(failed.ToUtf8(), "Error (No Date) ");
    }
}

// Texts that name no date (a span alone, a day the month lacks, a time past the day's end) give no
// Julian day: both date modes say so in red, and neither shows the number that stands for none.
TEST_F(DatePageTest, ATextWithoutADateIsNoDateAsADateAndAsAJulianDay)
{
    for (UINT mode : { IDC_OUTPUT_DATE, IDC_OUTPUT_JD }) {
        for (const wchar_t* expression : { L"d[5]", L"D<[31.02.2000]", L"C<[1.1.2000|25:61:61]+h[1]" }) {
            SCOPED_TRACE(testing::Message() << mode << " " << CString(expression).ToUtf8());
            SetInput(expression);
            Command(mode);
            EXPECT_EQ(Output().ToUtf8(), "Error (No Date) ");
            EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, Red));
        }
    }
}

TEST_F(DatePageTest, InputErrorsShowBalloonsAndRedTexts)
{
    const CString before = Output();
    Calculate(L"");
    EXPECT_EQ(BalloonTitle(), CString(L"Input?"));
    EXPECT_EQ(Output(), before) << "an empty input leaves the result alone";
    EXPECT_EQ(beeps, std::vector<UINT> { MB_ICONASTERISK });
    CloseBalloons();

    // Slashes in the day.month.year format are refused before parsing; dots in the others.
    Calculate(L"D<[24/01/1992]");
    EXPECT_EQ(BalloonTitle(), CString(L"Input?"));
    EXPECT_EQ(Output(), before);
    CloseBalloons();
    Command(ID_DATE_FORMAT_DAY_FIRST);
    EXPECT_EQ(GetDateParser().DateFormat, 2);
    EXPECT_EQ(CheckOf(ID_DATE_FORMAT_DAY_FIRST), 1);
    Calculate(L"D<[24.01.1992]");
    EXPECT_EQ(BalloonTitle(), CString(L"Input?"));
    CloseBalloons();
    Calculate(L"D<[24/01/1992] + D>[25/01/1992]");
    EXPECT_EQ(Output(), CString(L"+1d 0h 0m 0s "));
    Command(ID_DATE_FORMAT_DOTS);

    // A parse error selects the character and says where.
    Calculate(L"d[1] + x[2]");
    EXPECT_EQ(Output(), CString(L"Data Error 2 "));
    EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, Red));
    EXPECT_EQ(Selection(), std::make_pair(7, 8));
    EXPECT_EQ(BalloonTitle(), CString(L"Data Error 2"));
    EXPECT_EQ(Input(), CString(L"d[1] + x[2]")) << "the input stays as typed";
    CloseBalloons();

    // A warning of the parser without a position: "Data Error 1" in red, with a beep.
    beeps.clear();
    Calculate(L"D<[99.99.2000] + M[1]");
    EXPECT_EQ(Output(), CString(L"Data Error 1 "));
    EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, Red));
    EXPECT_EQ(beeps, std::vector<UINT> { MB_ICONASTERISK });

    // A span the parser could not compute is an error in every unit, not a number.
    for (UINT unit : { IDC_UNIT_SPAN, IDC_UNIT_DAYS, IDC_UNIT_SECONDS }) {
        SetInput(L"D<[1.1.2000] + D>[99.99.2000]");
        Command(unit);
        EXPECT_EQ(Output(), CString(L"Error (Invalid Time Span) ")) << unit;
        EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, Red)) << unit;
    }
}

// Every item of the eight answer menus shows its answer for the date of the date-time field.
TEST_F(DatePageTest, EveryAnswerMenuItemReachesItsAnswer)
{
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 12, 30, 0));
    SetSystemTime(false); // the moon clock shows the page's moment
    Advance(1000);
    ::UpdateWindow(Item(IDC_MOON_CLOCK));
    ASSERT_FALSE(view->MoonClock().GetInfoLines().IsEmpty());
    const UINT menus[] = { IDR_DAY_ANSWERS, IDR_MONTH_ANSWERS, IDR_WEEK_ANSWERS, IDR_YEAR_ANSWERS, IDR_SEASON_ANSWERS,
        IDR_EPOCH_ANSWERS, IDR_FEAST_ANSWERS, IDR_MOON_ANSWERS };
    int items = 0;
    std::function<void(HMENU)> walk = [&](HMENU menu) {
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            if (HMENU sub = ::GetSubMenu(menu, i)) {
                walk(sub);
                continue;
            }
            const UINT id = ::GetMenuItemID(menu, i);
            if (id == 0 || id == static_cast<UINT>(-1))
                continue;
            ++items;
            const std::optional<CString> expected = CalendarAnswer(id, CDateValue(2024, 4, 15), &view->MoonClock().GetInfoLines());
            ASSERT_TRUE(expected) << id;
            SetInput(L"");
            ::SetWindowTextW(Item(IDC_DATE_OUTPUT), L"");
            Command(id);
            EXPECT_EQ(Output(), *expected + L" ") << id;
            EXPECT_TRUE(Shows(IDC_DATE_OUTPUT, White)) << id;
        }
    };
    for (UINT menuId : menus) {
        HMENU menu = ::LoadMenuW(nullptr, MAKEINTRESOURCEW(menuId));
        ASSERT_NE(menu, nullptr) << menuId;
        walk(::GetSubMenu(menu, 0));
        ::DestroyMenu(menu);
    }
    EXPECT_EQ(items, 63);
    Command(CalendarCommand::EasterSunday);
    EXPECT_NE(Output().Find(L"Easter Sunday: "), -1);
}

// An answer wider than the result field, cut there, is readable whole in the status bar; one that
// fits leaves the status bar alone.
TEST_F(DatePageTest, AnAnswerTooWideForTheResultFieldShowsWholeInTheStatusBar)
{
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 12, 30, 0));
    SetSystemTime(false);
    Advance(1000);
    ::UpdateWindow(Item(IDC_MOON_CLOCK));
    frame->status = L"(untouched)";
    Command(CalendarCommand::EasterSunday);
    EXPECT_EQ(frame->status, L"(untouched)") << Output().ToUtf8();
    Command(CalendarCommand::FullMoon);
    CString whole = Output();
    EXPECT_NE(whole.Find(L"Full moon: "), -1);
    EXPECT_EQ(frame->status, whole.Trim());
}

TEST_F(DatePageTest, TheCopyButtonPutsTheResultOnTheClipboard)
{
    Calculate(L"d[2]");
    Command(IDC_DATE_COPY_RESULT);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const auto* copied = static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)));
    EXPECT_EQ(CString(copied), CString(L"+2d 0h 0m 0s "));
    ::CloseClipboard();
    EXPECT_EQ(BalloonTitle(), CString(L"Clipboard!"));
    CloseBalloons();

    // A clipboard held by another window: the balloon says nothing was copied.
    ASSERT_TRUE(::OpenClipboard(frame->m_hWnd));
    ::EmptyClipboard();
    Command(IDC_DATE_COPY_RESULT);
    ::CloseClipboard();
    EXPECT_EQ(BalloonTitle(), CString(L"Clipboard Error"));
}

TEST_F(DatePageTest, EditCommandsWorkOnTheInput)
{
    SetInput(L"d[5]");
    Command(ID_EDIT_COPY);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_EQ(CString(static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)))), CString(L"d[5]"));
    ::CloseClipboard();
    Command(ID_EDIT_DELETE_ALL);
    EXPECT_EQ(Input(), CString());
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(Input(), CString(L"d[5]"));
    Command(ID_FONT_LARGE);
    EXPECT_EQ(view->m_nFontSize, 14);
    EXPECT_EQ(CheckOf(ID_FONT_LARGE), 1);
    Command(ID_VIEW_TOOLTIPS);
    EXPECT_EQ(CheckOf(ID_VIEW_TOOLTIPS), 0);
}

// Hovering a key shows its tip: "Y" is "Year", each digit names its own.
TEST_F(DatePageTest, EveryKeyHasItsTooltip)
{
    auto hover = [&](UINT id) {
        // Away first: a tip stays while the pointer is over it, and it may cover the next key.
        RECT page {};
        view->GetClientRect(&page);
        POINT away { page.right - 2, page.bottom - 2 };
        view->ClientToScreen(&away);
        headless->InjectMouseMove(away);
        Pump();
        Advance(500);
        RECT rect {};
        ::GetWindowRect(Item(id), &rect);
        const POINT centre { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
        headless->InjectMouseMove({ centre.x - 1, centre.y });
        Pump();
        headless->InjectMouseMove(centre);
        Pump();
        Advance(2000);
        return view->Tooltip().GetCurrentRecord().text;
    };
    EXPECT_EQ(hover(IDC_DATE_KEY_YEAR), CString(L"Year"));
    for (UINT digit = 0; digit <= 9; ++digit)
        EXPECT_EQ(hover(IDC_DATE_KEY_0 + digit), CString(L"Number ") + CString(static_cast<wchar_t>(L'0' + digit)));
    EXPECT_EQ(hover(IDC_ANSWERS_FEAST), CString(L"Info about Feast Days"));
    EXPECT_EQ(hover(IDC_SYSTEM_TIME), CString(L"Windows Clock or Adjusted Time"));
}

// ---- the date file

class DateFileTest : public DatePageTest {
protected:
    CString PathOf(const char* name) const { return CString((settings.root() + "/" + name).c_str()); }
    void Write(const CString& path, const std::string& text) { TempSettingsFolder::WriteAll(path.ToUtf8(), text); }
};

TEST_F(DateFileTest, SavingAndLoadingGiveBackTheContent)
{
    SetInput(L"D<[1.1.2000] + d[5]");
    view->UpdateData(TRUE);
    view->m_bViewTooltips = FALSE;
    view->SetDateFormat(CDlgCalendarView::DateFormat::MonthDayYearSlashes);
    const CString path = PathOf("round.fmd");
    ASSERT_TRUE(CDateFile::Save(*view, path));

    SetInput(L"");
    view->UpdateData(TRUE);
    view->m_bViewTooltips = TRUE;
    view->SetDateFormat(CDlgCalendarView::DateFormat::DayMonthYearDots);
    EXPECT_EQ(CDateFile::Load(*view, path), CDateFile::LoadResult::Loaded);
    EXPECT_EQ(Input(), CString(L"D<[1.1.2000] + d[5]"));
    EXPECT_FALSE(view->m_bViewTooltips);
    EXPECT_EQ(view->m_nDateFormat, CDlgCalendarView::DateFormat::MonthDayYearSlashes);
    EXPECT_EQ(GetDateParser().DateFormat, 3) << "the application's parser follows the loaded format";
}

TEST_F(DateFileTest, AFileWithOnlyTheFormatKeepsTheInput)
{
    SetInput(L"d[1]");
    view->UpdateData(TRUE);
    const CString path = PathOf("format.fmd");
    Write(path, "[FORMAT]\nDateFormat=3\n");
    EXPECT_EQ(CDateFile::Load(*view, path), CDateFile::LoadResult::Loaded);
    EXPECT_EQ(view->m_nDateFormat, CDlgCalendarView::DateFormat::MonthDayYearSlashes);
    EXPECT_FALSE(view->m_bViewTooltips);
    EXPECT_EQ(Input(), CString(L"d[1]"));
}

TEST_F(DateFileTest, DamagedAndForeignFilesLoadNothing)
{
    SetInput(L"d[1]");
    view->UpdateData(TRUE);
    view->SetDateFormat(CDlgCalendarView::DateFormat::DayMonthYearSlashes);
    struct Case {
        const char* name;
        std::string text;
        CDateFile::LoadResult result;
    } cases[] = {
        { "format.fmd", "[TAB_DATEFORMEL]\nf=d[9]\n[FORMAT]\nDateFormat=7\n", CDateFile::LoadResult::Damaged },
        { "tips.fmd", "[TAB_DATEFORMEL]\nf=d[9]\n[CHECKS]\nViewTooltips=yes\n", CDateFile::LoadResult::Damaged },
        { "long.fmd", "[TAB_DATEFORMEL]\nf=" + std::string(1100, '1') + "\n", CDateFile::LoadResult::Damaged },
        { "other.fm", "[TAB_FORMEL]\nf(x)=sin(x)\n", CDateFile::LoadResult::Foreign },
        { "binary.fmd", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), CDateFile::LoadResult::Foreign },
    };
    for (const Case& c : cases) {
        const CString path = PathOf(c.name);
        Write(path, c.text);
        EXPECT_EQ(CDateFile::Load(*view, path), c.result) << c.name;
        EXPECT_EQ(Input(), CString(L"d[1]")) << c.name;
        EXPECT_EQ(view->m_nDateFormat, CDlgCalendarView::DateFormat::DayMonthYearSlashes) << c.name;
        EXPECT_TRUE(view->m_bViewTooltips) << c.name;
    }
    // A missing file sets the date format back to 1 and keeps the input.
    EXPECT_EQ(CDateFile::Load(*view, PathOf("missing.fmd")), CDateFile::LoadResult::Missing);
    EXPECT_EQ(view->m_nDateFormat, CDlgCalendarView::DateFormat::DayMonthYearDots);
    EXPECT_EQ(Input(), CString(L"d[1]"));
}

TEST_F(DateFileTest, SavingKeepsTheOtherPagesSections)
{
    const CString path = PathOf("Fln.ini");
    Write(path, "[TAB_FORMEL]\nf(x)=sin(x)\n[CHECKS]\nViewTooltips=1\n");
    view->m_bViewTooltips = FALSE;
    ASSERT_TRUE(CDateFile::Save(*view, path));
    wchar_t formula[64] {};
    ::GetPrivateProfileStringW(L"TAB_FORMEL", L"f(x)", L"", formula, 64, path);
    EXPECT_EQ(CString(formula), CString(L"sin(x)"));
    EXPECT_EQ(::GetPrivateProfileIntW(L"CHECKS", L"ViewTooltips", 5, path), 0U);
}

// ---- the clock

TEST_F(DatePageTest, TheLabelsFollowTheCalendarAndTheFieldAtEachTick)
{
    Advance(1000);
    EXPECT_EQ(TextOf(IDC_YEAR_LABEL), CString(L"2024"));
    EXPECT_EQ(TextOf(IDC_TIME_LABEL), CString(L"12:30:00"));
    view->Calendar().SetDisplayDate(Day(1999, 12, 31), TRUE);
    view->Calendar().SelectDate(Day(1999, 12, 31), TRUE);
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 8, 5, 3));
    EXPECT_EQ(TextOf(IDC_YEAR_LABEL), CString(L"2024")) << "the labels change at the next tick";
    Advance(1000);
    EXPECT_EQ(TextOf(IDC_YEAR_LABEL), CString(L"1999"));
    EXPECT_EQ(TextOf(IDC_TIME_LABEL), CString(L"08:05:03"));
    view->SetClockTimer(0);
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 9, 0, 0));
    Advance(3000);
    EXPECT_EQ(TextOf(IDC_TIME_LABEL), CString(L"08:05:03")) << "a stopped clock changes nothing";
}

TEST_F(DatePageTest, PickingADayKeepsTheTimeOfDay)
{
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 8, 5, 3));
    view->Calendar().SelectDate(Day(2024, 4, 20), TRUE);
    Pump();
    EXPECT_EQ(view->GetDateTimeValue(), COleDateTime(2024, 4, 20, 8, 5, 3));
    Command(IDC_NOW);
    EXPECT_EQ(view->GetDateTimeValue(), COleDateTime(2024, 4, 15, 12, 30, 0));
    EXPECT_EQ(view->Calendar().GetSelectedDate(), Day(2024, 4, 15));
    view->SetDateTimeValue(COleDateTime(2023, 2, 1, 8, 0, 0));
    Command(IDC_DATE_TO_CALENDAR);
    EXPECT_EQ(view->Calendar().GetSelectedDate(), Day(2023, 2, 1));
}

// "Display System Time" ticked, the moon clock follows the clock; cleared, it shows the page's moment,
// converted to universal time with the daylight saving time of that moment.
TEST_F(DatePageTest, TheMoonClockFollowsTheFieldOrTheSystemTime)
{
    Advance(1000);
    EXPECT_FALSE(view->MoonClock().IsFixedMode());
    SetSystemTime(false);
    view->Calendar().SelectDate(Day(2008, 7, 1), TRUE);
    view->SetDateTimeValue(COleDateTime(2008, 7, 1, 14, 0, 0));
    Advance(1000);
    ::UpdateWindow(Item(IDC_MOON_CLOCK));
    EXPECT_TRUE(view->MoonClock().IsFixedMode());
    EXPECT_NE(view->MoonClock().GetInfoLines()[CMoonClock::UniversalTimeLine].Find(L"12:00"), -1)
        << view->MoonClock().GetInfoLines()[CMoonClock::UniversalTimeLine].ToUtf8();
    SetSystemTime(true);
    Advance(1000);
    EXPECT_FALSE(view->MoonClock().IsFixedMode());
}

TEST(MoonMoment, EachMomentIsConvertedWithItsOwnDaylightSavingTime)
{
    // It is April, daylight saving time, when the moments are converted.
    ScopedFixedClock clock(*SystemTimeToUnixSeconds(SYSTEMTIME { 2024, 4, 1, 15, 10, 30, 0, 0 }), CentralEuropeanZone());
    const auto hours = [](double days) { return days * 24.0; };
    const double summer = MoonJulianDayOfLocalMoment(COleDateTime(2008, 7, 1, 14, 0, 0));
    const double winter = MoonJulianDayOfLocalMoment(COleDateTime(2008, 1, 15, 14, 0, 0));
    EXPECT_NEAR(hours(summer - CMoonAstronomy::JulianFromCivil(2008, 6, 1, 12, 0, 0)), 0.0, 1e-6);
    EXPECT_NEAR(hours(winter - CMoonAstronomy::JulianFromCivil(2008, 0, 15, 13, 0, 0)), 0.0, 1e-6)
        << "a winter moment is an hour ahead of universal time, not two";
    // Before 1900 the moment stays local.
    EXPECT_DOUBLE_EQ(MoonJulianDayOfLocalMoment(COleDateTime(1850, 7, 1, 14, 0, 0)),
        CMoonAstronomy::JulianFromCivil(1850, 6, 1, 14, 0, 0));
}

// ---- the keyboard and the picture

TEST_F(DatePageTest, TheKeyboardTypesAndEnterCalculates)
{
    ::SetFocus(Item(IDC_DATE_INPUT));
    SetInput(L"");
    for (wchar_t ch : std::wstring(L"d[3]+h[4]")) {
        headless->InjectKey(0, true, std::wstring(1, ch));
        headless->InjectKey(0, false);
    }
    Pump();
    headless->InjectKey(VK_RETURN, true);
    headless->InjectKey(VK_RETURN, false);
    Pump();
    EXPECT_EQ(Input(), CString(L"d[3]+h[4]"));
    EXPECT_EQ(Output(), CString(L"+3d 4h 0m 0s "));
    // Tab walks from the input into the keys.
    headless->InjectKey(VK_TAB, true);
    headless->InjectKey(VK_TAB, false);
    Pump();
    EXPECT_NE(::GetFocus(), Item(IDC_DATE_INPUT));
    EXPECT_EQ(::GetParent(::GetFocus()), view->m_hWnd);

    // Alt and a key's letter press it: Alt+D writes the date operand, Alt+Y a year operand after it.
    auto alt = [&](unsigned key, const wchar_t* letter) {
        headless->InjectKey(VK_MENU, true);
        headless->InjectKey(key, true, letter);
        headless->InjectKey(key, false);
        headless->InjectKey(VK_MENU, false);
        Pump();
    };
    SetInput(L"");
    alt('D', L"d");
    EXPECT_EQ(Input(), CString(L"D<[15.04.2024]"));
    alt('Y', L"y");
    EXPECT_EQ(Input(), CString(L"D<[15.04.2024] + Y[ ]"));
}

// The date-time field holds all its fields without scrolling, a full number field moves on by itself
// and Tab walks the fields before it leaves the field.
TEST_F(DatePageTest, TheDateTimeFieldTakesFastEntry)
{
    SECDateTimeCtrl& field = view->DateTimeCtrl();
    RECT fieldRect {}, button {};
    ::GetWindowRect(field.m_hWnd, &fieldRect);
    ::GetWindowRect(Item(IDC_DATE_TO_CALENDAR), &button);
    EXPECT_LE(fieldRect.right, button.left) << "the field leaves the calendar button free";

    auto key = [&](unsigned code, const wchar_t* text = nullptr) {
        headless->InjectKey(code, true, text ? std::wstring(text) : std::wstring());
        headless->InjectKey(code, false);
        Pump();
    };
    auto backTab = [&](int times) {
        headless->InjectKey(VK_SHIFT, true);
        for (int i = 0; i < times; ++i)
            key(VK_TAB);
        headless->InjectKey(VK_SHIFT, false);
        Pump();
    };
    ::SetFocus(Item(IDC_DATE_TO_CALENDAR));
    Pump();
    backTab(1);
    ASSERT_EQ(::GetFocus(), field.m_hWnd);
    EXPECT_EQ(field.GetCurrentGadget()->GetID(), SECDateTimeCtrl::AmPm) << "Shift+Tab enters at the last field";
    EXPECT_EQ(field.GetScrollOffset(), 0) << "every field shows at once";
    backTab(6);
    ASSERT_EQ(field.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Day);
    key('2', L"2");
    key('0', L"0");
    EXPECT_EQ(field.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Month) << "a full day moves on to the month";
    key('7', L"7");
    key(VK_TAB);
    EXPECT_EQ(field.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Year4);
    EXPECT_EQ(view->GetDateTimeValue(), COleDateTime(2024, 7, 20, 12, 30, 0));
}

// Tab reaches the calendar after "Display System Time", and its arrow keys move the selected day,
// which the date-time field follows.
TEST_F(DatePageTest, TabReachesTheCalendarAndItsArrowKeysPickDays)
{
    ::SetFocus(Item(IDC_SYSTEM_TIME));
    Pump();
    for (unsigned key : { unsigned(VK_TAB), unsigned(VK_RIGHT), unsigned(VK_DOWN) }) {
        headless->InjectKey(key, true);
        headless->InjectKey(key, false);
        Pump();
    }
    EXPECT_EQ(::GetFocus(), view->Calendar().m_hWnd);
    EXPECT_EQ(view->Calendar().GetSelectedDate(), Day(2024, 4, 23));
    EXPECT_EQ(view->GetDateTimeValue(), COleDateTime(2024, 4, 23, 12, 30, 0));
}

TEST_F(DatePageTest, ThePageLooksLikeItsPicture)
{
    view->SetDateTimeValue(COleDateTime(2024, 4, 15, 12, 30, 0));
    Advance(1000);
    Calculate(L"D<[1.1.2024] + D>[15.4.2024]");
    ::SetFocus(nullptr);
    Pump();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(Item(IDC_DATE_OUTPUT), "DatePageOutput.png"));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(view->m_hWnd, "DatePage.png"));
}

} // namespace
