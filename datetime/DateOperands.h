#pragma once
// The texts that the Date & Time page's keys and operand buttons build for the date parser:
// operands such as D<[24.01.1992] or T>[13:00:00], joined to the input with one operator between
// them, and the result span written as a text or converted to one unit.

#include "platform/base/CString.h"
#include "platform/base/Time.h"

#include <cstdint>
#include <optional>

enum class OperandKind { Date = 1, Time = 2, DateAndTime = 3 };
// The left operand sets the reference moment, the right one is measured from it.
enum class OperandSide { Left = 1, Right = 2 };

// The operand of a moment: letter (D, T or C), side marker (< or >), "[", value, "]". Dates are
// written in the page's date format (1 day.month.year, 2 day/month/year, 3 month/day/year), times
// always as hh:mm:ss, which the parser reads whatever the user's clock format.
CString OperandText(OperandKind kind, OperandSide side, const COleDateTime& moment, int dateFormat);

struct JoinedOperand {
    enum Outcome {
        Joined,         // text holds the new input
        NeedsLeftOfKind, // a right operand without a left one of the same kind in the input
        Unclosed,       // the operand of this side that would be replaced has no closing "]"
    };
    Outcome outcome = Joined;
    CString text;
};
// Puts the operand into the input: an operand of the same side already there is replaced; a left
// operand goes in front, a right one behind, with one operator between them (a right operand is
// always subtracted).
JoinedOperand JoinOperand(const CString& input, OperandKind kind, OperandSide side, const CString& operand);

// A span of seconds after a pattern: %D whole days with a sign, %H %M %S hours, minutes and
// seconds of its absolute value with two digits, %#H %#M %#S without a leading zero; "%" before any
// other character gives that character. Empty for the invalid span.
CString FormatSpan(std::int64_t seconds, const CString& pattern);

// The span units of the page: 2 days, 3 hours, 4 minutes, 5 seconds.
struct SpanInUnit {
    double value;
    const wchar_t* unitName; // "days", "hours", "minutes", "seconds"
};
// Nothing for the invalid span or a unit outside 2..5.
std::optional<SpanInUnit> ConvertSpan(std::int64_t seconds, int unit);
