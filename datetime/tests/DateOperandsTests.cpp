#include "datetime/DateOperands.h"

#include "datecore/DateValue.h"
#include "platform/base/tests/Printers.h"

#include <gtest/gtest.h>

namespace {


TEST(DateOperands, OperandTextsByKindSideAndDateFormat)
{
    struct Case {
        OperandKind kind;
        OperandSide side;
        int dateFormat;
        const wchar_t* text;
    } cases[] = {
        { OperandKind::Date, OperandSide::Left, 1, L"D<[24.01.1992]" },
        { OperandKind::Date, OperandSide::Right, 2, L"D>[24/01/1992]" },
        { OperandKind::Date, OperandSide::Left, 3, L"D<[01/24/1992]" },
        // Times are hh:mm:ss in every locale: "01:05:09 PM" would not parse.
        { OperandKind::Time, OperandSide::Left, 1, L"T<[13:05:09]" },
        { OperandKind::Time, OperandSide::Right, 3, L"T>[13:05:09]" },
        { OperandKind::DateAndTime, OperandSide::Left, 1, L"C<[24.01.1992 | 13:05:09]" },
        { OperandKind::DateAndTime, OperandSide::Right, 3, L"C>[01/24/1992 | 13:05:09]" },
    };
    const COleDateTime moment(1992, 1, 24, 13, 5, 9);
    for (const Case& c : cases)
        EXPECT_EQ(OperandText(c.kind, c.side, moment, c.dateFormat).ToUtf8(), CString(c.text).ToUtf8());
}

TEST(DateOperands, JoiningKeepsOneOperatorBetweenOperands)
{
    struct Case {
        const wchar_t* input;
        OperandKind kind;
        OperandSide side;
        const wchar_t* operand;
        const wchar_t* joined;
    } cases[] = {
        { L"", OperandKind::Date, OperandSide::Left, L"D<[1.1.2000]", L"D<[1.1.2000]" },
        { L"d[5]  ", OperandKind::Date, OperandSide::Left, L"D<[1.1.2000]", L"D<[1.1.2000] + d[5]" },
        { L"- d[5]", OperandKind::Date, OperandSide::Left, L"D<[1.1.2000]", L"D<[1.1.2000] - d[5]" },
        // An operand of the same side is replaced, whatever its kind.
        { L"T<[08:00:00] + h[2]", OperandKind::Date, OperandSide::Left, L"D<[1.1.2000]", L"D<[1.1.2000] + h[2]" },
        { L"D<[1.1.2000]", OperandKind::Date, OperandSide::Right, L"D>[5.1.2000]", L"D<[1.1.2000] - D>[5.1.2000]" },
        { L"D<[1.1.2000] + ", OperandKind::Date, OperandSide::Right, L"D>[5.1.2000]", L"D<[1.1.2000] - D>[5.1.2000]" },
        { L"D<[1.1.2000] - D>[5.1.2000]", OperandKind::Date, OperandSide::Right, L"D>[9.1.2000]",
            L"D<[1.1.2000] - D>[9.1.2000]" },
    };
    for (const Case& c : cases) {
        const JoinedOperand joined = JoinOperand(c.input, c.kind, c.side, c.operand);
        EXPECT_EQ(joined.outcome, JoinedOperand::Joined) << CString(c.input).ToUtf8();
        EXPECT_EQ(joined.text, CString(c.joined)) << CString(c.input).ToUtf8();
    }
}

TEST(DateOperands, ARightOperandNeedsALeftOneOfItsKind)
{
    EXPECT_EQ(JoinOperand(L"D<[1.1.2000]", OperandKind::Time, OperandSide::Right, L"T>[10:00:00]").outcome,
        JoinedOperand::NeedsLeftOfKind);
    EXPECT_EQ(JoinOperand(L"", OperandKind::Date, OperandSide::Right, L"D>[1.1.2000]").outcome,
        JoinedOperand::NeedsLeftOfKind);
    EXPECT_EQ(JoinOperand(L"D<[1.1.2000", OperandKind::Date, OperandSide::Left, L"D<[2.1.2000]").outcome,
        JoinedOperand::Unclosed);
}

TEST(DateOperands, SpanTexts)
{
    const CString pattern = L"%Dd %#Hh %#Mm %#Ss";
    EXPECT_EQ(FormatSpan(93784, pattern), CString(L"+1d 2h 3m 4s"));
    EXPECT_EQ(FormatSpan(-3600, pattern), CString(L"-0d 1h 0m 0s")) << "the sign of a span under a day stays";
    EXPECT_EQ(FormatSpan(-93784, pattern), CString(L"-1d 2h 3m 4s"));
    EXPECT_EQ(FormatSpan(0, pattern), CString(L"+0d 0h 0m 0s"));
    EXPECT_EQ(FormatSpan(3725, L"%H:%M:%S %x %%"), CString(L"01:02:05 x %"));
    EXPECT_EQ(FormatSpan(kInvalidSpan, pattern), CString());
}

TEST(DateOperands, SpansInUnits)
{
    const std::int64_t span = 93784; // 1 d 2 h 3 m 4 s
    EXPECT_DOUBLE_EQ(ConvertSpan(span, 2)->value, span / 86400.0);
    EXPECT_DOUBLE_EQ(ConvertSpan(span, 3)->value, span / 3600.0);
    EXPECT_DOUBLE_EQ(ConvertSpan(span, 4)->value, span / 60.0);
    EXPECT_DOUBLE_EQ(ConvertSpan(-span, 5)->value, -93784.0);
    EXPECT_STREQ(ConvertSpan(span, 4)->unitName, L"minutes");
    EXPECT_FALSE(ConvertSpan(kInvalidSpan, 2)) << "an invalid span has no value in any unit";
    EXPECT_FALSE(ConvertSpan(span, 1));
}

} // namespace
