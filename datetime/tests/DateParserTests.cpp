#include "datetime/DateParser.h"

#include "datecore/Clock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int64_t kDay = 86400;

// "Now" is Wednesday 9 December 2026, 10:30:00, in a zone on UTC.
class DateParserTest : public ::testing::Test {
protected:
    DateParserTest() : m_clock(*SystemTimeToUnixSeconds(SYSTEMTIME{2026, 12, 0, 9, 10, 30, 0, 0}), FixedOffsetZone(0)) {}

    DateParseResult Run(const wchar_t* expression, bool normalize = true)
    {
        errorPosition = -1;
        errorText = L"untouched";
        return parser.Calculate(expression, errorPosition, errorText, normalize);
    }

    CDateParser parser;
    int errorPosition = -1;
    CString errorText;

private:
    ScopedFixedClock m_clock;
};

struct Case {
    const wchar_t* expression;
    std::int64_t seconds;
    const wchar_t* unitText;
    int errorPosition;
};

TEST_F(DateParserTest, ExpressionTable)
{
    const Case cases[] = {
        {L"d[10]", 10 * kDay, L"10d", 0},
        {L"h[2]+m[30]", 9000, L"2h", 0},
        {L"Y[1]", 365 * kDay + 6 * 3600, L"1Y", 0},
        {L"W[2]", 14 * kDay, L"2W", 0},
        {L"s[45] - m[1]", -15, L"45s", 0},
        {L"d[-5]", -5 * kDay, L"-5d", 0},
        {L"{d[1,5]}", kDay, L"1.5d", 0},  // 1.5 days count one day
        {L"+d[1]", kDay, L"1d", 0},
        {L"h[70000]", 70000LL * 3600, L"70000h", 0},  // no wrap at 65536
        {L"D<[1.1.2000]+D>[1.1.2001]", 366 * kDay, L"", 0},
        {L"D<[1.1.2001]-D>[1.1.2000]", 366 * kDay, L"", 0},  // measured spans are absolute
        {L"d[5]+D<[1.1.2000]+D>[3.1.2000]", 2 * kDay, L"", 0},  // and replace the running value
        {L"T<[12:00:00]+T>[18:00:00]", 6 * 3600, L"", 0},
        {L"C<[1.1.2000|12:00:00]+C>[2.1.2000|18:00:30]", kDay + 6 * 3600 + 30, L"", 0},
        // A time text that holds a date measures days of 24 hours, counted beyond 65535 hours.
        {L"T<[12:00:00]+T>[1.1.2500]", 172783 * kDay, L"", 0},
        {L"C<[1.1.2000|12:00:00]+C>[1.1.2001|1.1.2500]", (366 + 182622) * kDay, L"", 0},
        {L"D<[31.1.2001]+M[1]", 31 * kDay, L"", 0},
        {L"D<[15.3.2000]+M[12]", 365 * kDay, L"", 0},
        {L"D<[1.1.1500]+M[1200]", 36525 * kDay, L"", 0},  // a hundred Julian years
        {L"D<[1.1.2001]+M[4800]", 146097 * kDay, L"", 0},
        {L"M[2]", (31 + 31) * kDay, L"2M", 0},  // from December 2026
        {L"M[-1]", 0, L"-1M", 0},
        {L"D<[31.2.2000]+D>[1.1.2001]", kInvalidSpan, L"", 0},  // a date that cannot be read measures nothing
        {L"D<[1.1.2000]+D>[1.1.2001]x", 366 * kDay, L"", 26},
        {L"d[10]+x", kInvalidSpan, L"10d", 7},
        {L"+x", kInvalidSpan, L"", 2},   // counted in the text as typed
        {L"(d[5]", kInvalidSpan, L"5d", 6},  // missing closing bracket, at the end
        {L"[5d]", 0, L"", 3},
        {L"d[5] + y + d[ 1 ]", kInvalidSpan, L"5d", 8},  // blanks after the fault do not move it
        {L"x + d[5 ]", kInvalidSpan, L"", 1},
        {L"d[ 5 ]   ", 5 * kDay, L"5d", 0},
        {L"d[99999999999]", kInvalidSpan, L"99999999999d", 3},
        {L"s[9223372036854775808]", kInvalidSpan, L"9223372036854775808s", 3},
        {L"Y[68000000]", kInvalidSpan, L"68000000Y", 3},
        {L"M[100000000]", kInvalidSpan, L"100000000M", 3},
        {L"d[2147483647]", 2147483647LL * kDay, L"2147483647d", 0},
        {L"d", 0, L"d", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.expression).ToUtf8());
        DateParseResult result = Run(c.expression);
        EXPECT_EQ(result.Seconds, c.seconds);
        if (c.unitText[0]) {
            EXPECT_EQ(result.UnitText.str(), c.unitText);
        }
        EXPECT_EQ(errorPosition, c.errorPosition);
        if (c.errorPosition) {
            CString expected;
            expected.Format(L"Error found on position %d!", c.errorPosition);
            EXPECT_EQ(errorText.str(), expected.str());
        } else {
            EXPECT_EQ(errorText.str(), L"");
        }
    }
}

// Doubled brackets, round or square, read as single ones around every kind of operand.
TEST_F(DateParserTest, DoubledBracketsReadAsSingleOnes)
{
    struct Case {
        const wchar_t* doubled;
        const wchar_t* single;
    } cases[] = {
        {L"d((5))", L"d(5)"},
        {L"d[[5]]", L"d[5]"},
        {L"D<[10.1.2000]+d((5))", L"D<[10.1.2000]+d[5]"},
        {L"D<((10.1.2000))+h[[36]]", L"D<[10.1.2000]+h[36]"},
        {L"T<[[08:00:00]]+m((90))", L"T<[08:00:00]+m[90]"},
        {L"C<((1.1.2000|12:00:00))+s[[30]]", L"C<[1.1.2000|12:00:00]+s[30]"},
        {L"D<[[1.1.2000]]+D>((11.1.2000))", L"D<[1.1.2000]+D>[11.1.2000]"},
        {L"T<((08:00:00))+T>[[09:30:00]]", L"T<[08:00:00]+T>[09:30:00]"},
        {L"C<[[1.1.2000|00:00:00]]+C>[[2.1.2000|06:00:00]]", L"C<[1.1.2000|00:00:00]+C>[2.1.2000|06:00:00]"},
        {L"Y((1))+M[[2]]+W((3))", L"Y[1]+M[2]+W[3]"},
    };
    for (const Case& c : cases) {
        const DateParseResult single = Run(c.single);
        ASSERT_TRUE(single.IsValid()) << c.single;
        const DateParseResult doubled = Run(c.doubled);
        EXPECT_EQ(errorPosition, 0) << c.doubled;
        EXPECT_EQ(doubled.Seconds, single.Seconds) << c.doubled;
        EXPECT_DOUBLE_EQ(doubled.JulianDay, single.JulianDay) << c.doubled;
    }
    EXPECT_EQ(Run(L"d((5))").Seconds, 5 * kDay);
}

TEST_F(DateParserTest, EmptyExpressionLeavesTheOutputsAlone)
{
    DateParseResult result = Run(L"");
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(errorPosition, -1);
    EXPECT_EQ(errorText.str(), L"untouched");
}

TEST_F(DateParserTest, ReferenceOperandsGiveJulianDays)
{
    DateParseResult result = Run(L"D<[1.1.2000]");
    EXPECT_EQ(result.Seconds, 0);
    EXPECT_DOUBLE_EQ(result.JulianDay, 2451544.5 + 10.5 / 24);  // the date at the time of "now"
    EXPECT_EQ(parser.ReferenceDate.str(), L"1.1.2000");

    result = Run(L"C<[1.1.2000|12:00:00]+d[10]");
    EXPECT_DOUBLE_EQ(result.JulianDay, 2451555.0);
    EXPECT_EQ(result.Seconds, 10 * kDay);

    result = Run(L"C<[1.1.2000|10:00:00]-h[36]");
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"30.12.1999", L"22:00:00"));
    EXPECT_EQ(result.Seconds, -36 * 3600);

    // A negative count moves the date the way its span points.
    result = Run(L"D<[10.1.2000]+d[-5]");
    EXPECT_EQ(result.Seconds, -5 * kDay);
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"5.1.2000", L"10:30:00"));
    result = Run(L"D<[10.1.2000]-h[-36]");
    EXPECT_EQ(result.Seconds, 36 * 3600);
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"11.1.2000", L"22:30:00"));

    // The date moves by the span's own count, whatever else the literal holds.
    for (const wchar_t* expression : {L"D<[10.1.2000]+d[1-2]", L"D<[10.1.2000]+d[1|2]"}) {
        result = Run(expression);
        EXPECT_EQ(result.Seconds, kDay);
        EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"11.1.2000", L"10:30:00"));
    }
    Run(L"D<[99.99.2000]+M[-99999999999999999999]");  // the smallest count, turned round
    EXPECT_EQ(errorText.str(), L" Parser Error blocked!");

    result = Run(L"D<[31.1.2001]+M[1]");
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"28.2.2001", L"10:30:00"));

    // Without a reference operand the expression starts from now; a lone span is no date.
    EXPECT_LT(Run(L"d[1]").JulianDay, 0);
    result = Run(L"s[0]+d[1]");
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"10.12.2026", L"10:30:00"));
    EXPECT_EQ(parser.ReferenceDate.str(), L"09.12.2026");
    EXPECT_EQ(parser.ReferenceTime.str(), L"10:30:00");

    result = Run(L"D<[x]");
    EXPECT_EQ(errorPosition, 4);
}

// Each step of a chain goes on from the date the steps before it reached; a reference operand in
// the chain starts it again from its own date.
TEST_F(DateParserTest, ChainedStepsEachMoveTheDate)
{
    const struct {
        const wchar_t* expression;
        const wchar_t* date;
        const wchar_t* time;
    } chains[] = {
        {L"C<[01.01.2000|10:00:00]-d[1]-h[12]", L"30.12.1999", L"22:00:00"},
        {L"C<[01.01.2000|10:00:00]+d[1]+h[12]+m[30]+s[15]", L"02.01.2000", L"22:30:15"},
        {L"C<[28.02.2000|23:00:00]+h[1]+d[1]", L"01.03.2000", L"00:00:00"},
        {L"D<[31.01.2000]+M[1]+d[1]", L"01.03.2000", L"10:30:00"},
        {L"D<[28.02.2000]+Y[1]+W[1]", L"07.03.2001", L"10:30:00"},
        {L"D<[10.01.2000]+W[1]-d[2]+h[-3]", L"15.01.2000", L"07:30:00"},
        {L"D<[1.1.2000]+d[5]+D<[1.6.2000]+d[1]", L"02.06.2000", L"10:30:00"},
    };
    for (const auto& chain : chains) {
        SCOPED_TRACE(CString(chain.expression).ToUtf8());
        const DateParseResult result = Run(chain.expression);
        EXPECT_EQ(errorPosition, 0);
        EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(chain.date, chain.time));
    }
    EXPECT_EQ(Run(L"C<[01.01.2000|10:00:00]-d[1]-h[12]").Seconds, -(kDay + 12 * 3600)) << "the span adds every step as before";
}

// A step that reaches no date (29 February plus a year) fails the whole chain, whatever steps,
// operators and brackets follow it; a span that could not be measured stays failed as well.
TEST_F(DateParserTest, AFailedStepFailsTheWholeChain)
{
    const struct {
        const wchar_t* expression;
        bool date;  // whether the expression reaches a date
        bool span;  // whether its span is valid
    } chains[] = {
        {L"D<[29.02.2024]+Y[1]", false, true},
        {L"D<[29.02.2024]+Y[1]+d[1]", false, true},
        {L"D<[29.02.2024]+Y[1]-d[1]", false, true},
        {L"D<[29.02.2024]-Y[1]+d[1]", false, true},
        {L"D<[29.02.2024]-Y[1]-h[1]", false, true},
        {L"C<[29.02.2024|12:00:00]+Y[1]+m[30]", false, true},
        {L"(D<[29.02.2024]+Y[1])+d[1]", false, true},
        {L"D<[29.02.2024]+Y[4]+d[1]", true, true},
        {L"D<[1.1.2000]+D>[31.2.2000]+D>[1.1.2001]", true, false},
        {L"D<[1.1.2000]-D>[31.2.2000]-D>[1.1.2001]", true, false},
    };
    for (const auto& chain : chains) {
        SCOPED_TRACE(CString(chain.expression).ToUtf8());
        const DateParseResult result = Run(chain.expression);
        EXPECT_EQ(errorPosition, 0);
        EXPECT_EQ(result.JulianDay >= 0, chain.date) << result.JulianDay;
        EXPECT_EQ(result.IsValid(), chain.span);
    }
}

TEST_F(DateParserTest, SlashDateFormats)
{
    parser.DateFormat = 2;
    DateParseResult result = Run(L"D<[24/01/1992]");
    EXPECT_EQ(parser.ReferenceDate.str(), L"24.01.1992");
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"24.1.1992", L"10:30:00"));

    // Month first: typed dates are turned around, and now is kept day first like every date.
    parser.DateFormat = 3;
    result = Run(L"D<[01/31/2001]+M[1]");
    EXPECT_EQ(result.Seconds, 31 * kDay);
    EXPECT_DOUBLE_EQ(result.JulianDay, CJulianDay::DateTimeToJulianDay(L"28.2.2001", L"10:30:00"));
    EXPECT_EQ(Run(L"D<[12/24/2000]+D>[1/1/2001]").Seconds, 8 * kDay);
    EXPECT_EQ(Run(L"C<[5/1/2000|00:00:00]+C>[5/3/2000|00:00:00]").Seconds, 2 * kDay);
    EXPECT_EQ(Run(L"M[1]").Seconds, 31 * kDay);  // December 2026, read day first
    EXPECT_EQ(parser.ReferenceDate.str(), L"09.12.2026");
}

TEST_F(DateParserTest, UnreadableReferenceBlocksTheMonthRule)
{
    DateParseResult result = Run(L"D<[99.99.2000]+M[1]");
    EXPECT_EQ(errorPosition, 0);
    EXPECT_EQ(errorText.str(), L" Parser Error blocked!");
    EXPECT_EQ(result.Seconds, 0);
    // The warning is cleared by the next evaluation.
    Run(L"d[1]");
    EXPECT_EQ(errorText.str(), L"");
}

TEST_F(DateParserTest, WithoutNormalisationBracketsMustBeRound)
{
    Run(L"d[10]", false);
    EXPECT_EQ(errorPosition, 2);
    EXPECT_EQ(Run(L"d(10) + h(1)", false).Seconds, 10 * kDay + 3600);
    EXPECT_EQ(errorPosition, 0);
}

TEST_F(DateParserTest, Normalisation)
{
    struct NormalCase {
        const wchar_t* text;
        const wchar_t* normal;
    } cases[] = {
        {L"[5d]", L"5d"},
        {L"{5d}", L"5d"},
        {L"1,5", L"1.5"},
        {L" + +d [ 1 ] ", L"d(1)"},
        {L"((d[1]))", L"d(1)"},
        {L"(d[1])+(h[1])", L"(d(1))+(h(1))"},
        {L"d((5))", L"d(5)"},
        {L"d(((5)))", L"d(5)"},
        {L"d((5)+(6))", L"d((5)+(6))"},
        {L"((", L"(("},
        {L"))((", L"))(("},
        {L"24/01/1992", L"24/01/1992"},
    };
    for (const NormalCase& c : cases) {
        CString text = c.text;
        int change = parser.NormalizeExpression(text);
        EXPECT_EQ(text.str(), c.normal) << CString(c.text).ToUtf8();
        EXPECT_EQ(change, text.GetLength() - CString(c.text).GetLength());
    }
    parser.DateFormat = 3;
    CString text = L"D<[1/2/2000]";
    parser.NormalizeExpression(text);
    EXPECT_EQ(text.str(), L"D<(1.2.2000)");
    CString empty;
    EXPECT_EQ(parser.NormalizeExpression(empty), 0);
}

TEST_F(DateParserTest, SplitAtUnit)
{
    CString units = L"08h05m09s";
    EXPECT_EQ(CDateParser::SplitAtUnit(units, L'h').str(), L"08");
    EXPECT_EQ(units.str(), L"05m09s");
    EXPECT_EQ(CDateParser::SplitAtUnit(units, L'x').str(), L"05m09s");
    EXPECT_EQ(units.str(), L"");
}

TEST_F(DateParserTest, DeepAndLongInputEndsWithAnError)
{
    // Nesting deeper than the parser goes is reported, never a crash.
    std::wstring units(20000, L'd');
    Run((units + L"[1]").c_str());
    EXPECT_GT(errorPosition, 0);
    std::wstring brackets = L"d" + std::wstring(20000, L'[') + L"1";
    Run(brackets.c_str());
    EXPECT_GT(errorPosition, 0);
    std::wstring pairs;
    for (int i = 0; i < 2000; ++i) pairs += L"(d(1))+";
    pairs += L"s(1)";
    DateParseResult result = Run(pairs.c_str());
    EXPECT_EQ(errorPosition, 0);
    EXPECT_EQ(result.Seconds, 2000 * kDay + 1);
}

}
