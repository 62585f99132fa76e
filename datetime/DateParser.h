#pragma once
// The date expression parser of the Date & Time page: dates, times and spans joined with "+" and
// "-", written with bracket operators such as D<[24.01.1992]+d[10] (a date plus ten days) or
// D<[1.1.2000]+D>[24.12.2000] (the days from one date to another).
//
//   expression = operand { ("+" | "-") operand }
//   operand    = literal | "(" expression ")" | keyword operand
//   literal    = one or more of the digits, ".", ":", "|" and "-"
//   keyword    = D< T< C< (set the reference date, time, or both as date|time)
//              | D> T> C> (measure the span from the reference to a date, time, or both)
//              | Y M W d h m s (years, months, weeks, days, hours, minutes, seconds)
//
// The reference date and time start as "now" and are kept day.month.year and hh:mm:ss whatever
// the date format; month-first dates typed by the user are turned around when they are read.

#include "datecore/DateValue.h"
#include "datecore/JulianDay.h"
#include "platform/base/Array.h"
#include "platform/base/CString.h"

#include <cstdint>
#include <optional>
#include <vector>

struct DateParseResult {
    std::int64_t Seconds = kInvalidSpan;  // the span in seconds
    std::int64_t Count = 0;               // the integer of the operand's literal
    CString Text;                         // the operand's literal
    CString UnitText;                     // literal and unit letter (10d), or "None" for a measured span
    double JulianDay = -1.0;              // of a reference operand or of the last combination; < 0 is no date

    bool IsValid() const { return Seconds != kInvalidSpan; }
};

class CDateParser {
public:
    CDateParser();
    virtual ~CDateParser() = default;

    // Evaluates an expression. When it cannot be read to its end, errorPosition is the 1-based
    // position of the offending character in the text as typed (one past its end when the text
    // ends too early) and errorText "Error found on position %d!"; otherwise 0 and the warnings.
    // An empty expression returns an invalid result and leaves both untouched.
    DateParseResult Calculate(const CString& expression, int& errorPosition, CString& errorText, bool normalize);

    // Removes blanks, reads "," as "." and [ ] { } as ( ), drops enclosing brackets and leading
    // "+", takes doubled brackets ((…)) as single ones, and with a slash date format reads "/" as ".".
    // Returns the new length minus the old.
    int NormalizeExpression(CString& text);

    // Returns the part before the first unit letter and leaves the part after it in text;
    // without the letter returns the whole text and leaves text empty.
    static CString SplitAtUnit(CString& text, wchar_t unit);

    CString Warnings;
    CString ReferenceDate;
    CString ReferenceTime;
    CString TargetDate;
    CString TargetTime;
    int DateFormat = 1;  // 1 day.month.year, 2 day/month/year, 3 month/day/year

private:
    void Normalize(CString& text, std::vector<int>& origin);
    void NextChar(int& position, CString& token);
    DateParseResult ParseExpression(int& position, CString& token);
    DateParseResult ParseOperand(int& position, CString& token);
    void ApplyKeyword(int keyword, DateParseResult& result);
    std::optional<std::int64_t> MonthSpanSeconds(std::int64_t months);
    // The date and time the expression has reached moved by a unit operand (a Julian day; < 0 for
    // no date).
    double CombineWithReference(const DateParseResult& operand, bool plus) const;
    CString DayFirst(const CString& date) const;
    // Stores the text of a date, time or date|time operand in the date and time it names.
    void TakeDateTime(int keyword, const CString& text, CString& date, CString& time) const;
    // The span from the reference to the target date and/or time; invalid when one cannot be read.
    std::int64_t MeasuredSeconds(bool dates, bool times);
    void Fail(int position);

    CString m_expression;
    CStringArray m_keywords;
    CJulianDay m_julianDay;
    int m_depth = 0;
    int m_literalPosition = 0;
    std::optional<int> m_errorAt;
    // Where the chain of unit operands stands: the reference date and time, moved by each step.
    CString m_reachedDate;
    CString m_reachedTime;
    // A step of the chain reached no date: the expression has none, whatever steps follow.
    bool m_dateStepFailed = false;
};

// The application's date parser, whose date format the Date & Time page keeps equal to its own:
// the one the application object registers, else one built on first use that lives until exit.
CDateParser& GetDateParser();
// Registers the application's parser; null unregisters it.
void SetApplicationDateParser(CDateParser* parser);
