#include "datetime/DateParser.h"

#include "datecore/Clock.h"
#include "platform/base/Exceptions.h"

#include <cwctype>
#include <exception>
#include <vector>

namespace {

enum Keyword {
    EndOfInput,
    SetDate,
    SetTime,
    SetDateTime,
    MeasureDate,
    MeasureTime,
    MeasureDateTime,
    Years,
    Months,
    Weeks,
    Days,
    Hours,
    Minutes,
    Seconds,
    KeywordCount
};
constexpr const wchar_t* kKeywordTexts[KeywordCount] = {L"", L"D<", L"T<", L"C<", L"D>", L"T>", L"C>", L"Y", L"M", L"W", L"d", L"h", L"m", L"s"};

// Brackets and units nest by recursion; deeper input is reported, never allowed to exhaust the stack.
constexpr int kMaxDepth = 200;
// A span's whole days must fit the 32-bit day count of a span.
constexpr std::int64_t kLargestSpan = (static_cast<std::int64_t>(INT32_MAX) + 1) * kSecondsPerDay - 1;

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }
bool IsLiteral(wchar_t ch) { return (ch >= L'0' && ch <= L'9') || ch == L'.' || ch == L':' || ch == L'|' || ch == L'-'; }

std::optional<std::int64_t> Span(std::int64_t count, std::int64_t unitSeconds)
{
    std::int64_t limit = kLargestSpan / unitSeconds;
    if (count > limit || count < -limit) return std::nullopt;
    return count * unitSeconds;
}

// Cuts "date|time" at its first "|"; without one the date is empty and the whole text the time.
void CutAtBar(const CString& text, CString& date, CString& time)
{
    int bar = text.Find(L'|');
    date = bar < 0 ? CString() : text.Left(bar);
    time = bar < 0 ? text : text.Mid(bar + 1);
}

}

CDateParser::CDateParser()
{
    for (const wchar_t* keyword : kKeywordTexts) m_keywords.Add(keyword);
}

CString CDateParser::SplitAtUnit(CString& text, wchar_t unit)
{
    int at = text.Find(unit);
    if (at < 0) {
        CString whole = text;
        text.Empty();
        return whole;
    }
    CString before = text.Left(at);
    text = text.Mid(at + 1);
    return before;
}

int CDateParser::NormalizeExpression(CString& text)
{
    std::vector<int> origin;
    int oldLength = text.GetLength();
    Normalize(text, origin);
    return text.GetLength() - oldLength;
}

void CDateParser::Normalize(CString& text, std::vector<int>& origin)
{
    // origin[i] is the index in the text as typed of character i of the normal form.
    std::wstring s;
    s.reserve(text.GetLength());
    origin.clear();
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t ch = text[i];
        if (IsBlank(ch)) continue;
        if (ch == L',') ch = L'.';
        if (ch == L'[' || ch == L'{') ch = L'(';
        if (ch == L']' || ch == L'}') ch = L')';
        s += ch;
        origin.push_back(i);
    }
    auto keep = [&](std::size_t first, std::size_t count) {
        s = s.substr(first, count);
        origin = std::vector<int>(origin.begin() + first, origin.begin() + first + s.size());
    };

    // Matching brackets, found once; unmatched ones stay -1.
    auto matchBrackets = [](const std::wstring& s) {
        std::vector<int> match(s.size(), -1);
        std::vector<int> open;
        for (int i = 0; i < static_cast<int>(s.size()); ++i) {
            if (s[i] == L'(') {
                open.push_back(i);
            } else if (s[i] == L')' && !open.empty()) {
                match[open.back()] = i;
                match[i] = open.back();
                open.pop_back();
            }
        }
        return match;
    };

    // Enclosing brackets: peel while the first "(" closes at the last character.
    std::vector<int> match = matchBrackets(s);
    int first = 0, last = static_cast<int>(s.size()) - 1;
    while (first < last && s[first] == L'(' && match[first] == last) {
        ++first;
        --last;
    }
    keep(first, last - first + 1);

    std::size_t signs = s.find_first_not_of(L'+');
    keep(signs == std::wstring::npos ? s.size() : signs, std::wstring::npos);
    std::size_t length = s.size();
    while (length > 0 && std::iswspace(s[length - 1])) --length;
    keep(0, length);

    match = matchBrackets(s);
    std::vector<int> inner;
    for (int i = 1; i < static_cast<int>(s.size()); ++i) {
        int close = s[i] == L'(' ? match[i] : -1;
        if (close > 0 && s[i - 1] == L'(' && close + 1 < static_cast<int>(s.size()) && match[i - 1] == close + 1) inner.push_back(i);
    }
    // Doubled brackets: a pair directly inside another, ((…)), is the same as one; the inner pair goes.
    std::vector<bool> drop(s.size(), false);
    for (int open : inner) {
        drop[open] = true;
        drop[match[open]] = true;
    }
    std::wstring single;
    std::vector<int> singleOrigin;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (drop[i]) continue;
        single += s[i];
        singleOrigin.push_back(origin[i]);
    }
    s = std::move(single);
    origin = std::move(singleOrigin);

    if (DateFormat == 2 || DateFormat == 3) {
        for (wchar_t& ch : s)
            if (ch == L'/') ch = L'.';
    }
    text = CString(std::move(s));
}

void CDateParser::NextChar(int& position, CString& token)
{
    int length = m_expression.GetLength();
    do {
        ++position;
    } while (position <= length && IsBlank(m_expression[position - 1]));
    if (position > length) {
        position = length + 1;
        token.Empty();
    } else {
        token = CString(m_expression[position - 1]);
    }
}

void CDateParser::Fail(int position)
{
    if (!m_errorAt) m_errorAt = position;
}

CString CDateParser::DayFirst(const CString& date) const
{
    if (DateFormat != 3) return date;
    CString swapped = date;
    m_julianDay.SwapDayMonth(swapped);
    return swapped;
}

DateParseResult CDateParser::ParseExpression(int& position, CString& token)
{
    DateParseResult result = ParseOperand(position, token);
    while (!m_errorAt && (token == L"+" || token == L"-")) {
        bool plus = token == L"+";
        NextChar(position, token);
        DateParseResult right = ParseOperand(position, token);
        if (m_errorAt) break;
        if (right.UnitText == L"None") {
            // A measured span replaces the running value, whatever the operator; a span that
            // failed before stays failed.
            if (result.IsValid())
                result.Seconds = right.Seconds;
            continue;
        }
        std::int64_t sum;
        if (!result.IsValid() || !right.IsValid() ||
            (plus ? __builtin_add_overflow(result.Seconds, right.Seconds, &sum) : __builtin_sub_overflow(result.Seconds, right.Seconds, &sum)))
            result.Seconds = kInvalidSpan;
        else
            result.Seconds = sum;
        result.JulianDay = CombineWithReference(right, plus);
        // The next step goes on from the date this one reached; after one that reached none,
        // the date stays failed, since the following steps would start from an earlier date.
        if (!right.UnitText.IsEmpty() && result.JulianDay >= 0)
            m_julianDay.ConvertDateTime(m_reachedDate, m_reachedTime, CString(), result.JulianDay);
        else if (!right.UnitText.IsEmpty())
            m_dateStepFailed = true;
    }
    return result;
}

double CDateParser::CombineWithReference(const DateParseResult& operand, bool plus) const
{
    CString unitText = operand.UnitText;
    if (!unitText.IsEmpty()) {
        // The date moves by the count the span was made of, so that the two agree even for
        // literals such as 1-2 or |5| whose digits the span readers would run together. Those
        // readers take no sign: a negative count turns the operator round instead.
        auto magnitude = static_cast<std::uint64_t>(operand.Count);
        if (operand.Count < 0) {
            magnitude = 0 - magnitude;
            plus = !plus;
        }
        CString unit(unitText[unitText.GetLength() - 1]);
        unitText.Format(L"%llu", static_cast<unsigned long long>(magnitude));
        unitText += unit;
    }
    return m_julianDay.CombineOperands(m_reachedDate, m_reachedTime, unitText, plus, false);
}

DateParseResult CDateParser::ParseOperand(int& position, CString& token)
{
    DateParseResult result;
    if (token.IsEmpty() || m_errorAt) return result;
    if (m_depth >= kMaxDepth) {
        Fail(position);
        return result;
    }
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
    } guard(m_depth);

    wchar_t ch = token[0];
    if (IsLiteral(ch)) {
        m_literalPosition = position;
        while (!token.IsEmpty() && IsLiteral(token[0])) {
            result.Text += token;
            NextChar(position, token);
        }
        result.Count = ReadLeadingInteger64(result.Text.view());
        result.Seconds = 0;
        return result;
    }
    if (ch == L'(') {
        NextChar(position, token);
        result = ParseExpression(position, token);
        if (m_dateStepFailed)
            result.JulianDay = -1.0;
        if (token == L")")
            NextChar(position, token);
        else if (token.IsEmpty())
            Fail(position);  // the closing bracket is missing at the end of the text
        return result;
    }

    int keyword = EndOfInput;
    for (int k = 1; k < KeywordCount; ++k) {
        const CString& text = m_keywords[k];
        if (m_expression.Mid(position - 1, text.GetLength()) == text) {
            keyword = k;
            break;
        }
    }
    if (keyword == EndOfInput) return result;
    int keywordPosition = position;
    position += m_keywords[keyword].GetLength() - 1;
    NextChar(position, token);
    m_literalPosition = keywordPosition;
    result = ParseOperand(position, token);
    if (!m_errorAt) ApplyKeyword(keyword, result);
    return result;
}

std::optional<std::int64_t> CDateParser::MonthSpanSeconds(std::int64_t months)
{
    CDateValue reference = ParseDateText(ReferenceDate.view(), L"dmy4.");
    if (!reference.IsValid()) return std::nullopt;
    if (months <= 0) return 0;
    // Every month has at least 28 days: more months than that allows cannot fit a span.
    if (months > kLargestSpan / (28 * kSecondsPerDay)) return kLargestSpan + 1;
    std::int64_t days = 0;
    std::int64_t year = reference.GetYear();
    int month = reference.GetMonth();
    std::int64_t left = months;
    while (left > 0) {
        if (month == 1) {
            // Whole calendar cycles at once: 400 Gregorian years, or four Julian ones.
            for (; year > 1582 && left >= 4800; year += 400, left -= 4800) days += 146097;
            for (; ((year >= 1 && year + 3 <= 1582) || year + 3 <= -1) && left >= 48; year += 4, left -= 48) days += 1461;
            if (left == 0) break;
        }
        days += CJulianDay::MonthLength(month, CJulianDay::IsLeapYear(static_cast<int>(year)));
        if (++month > 12) {
            month = 1;
            ++year;
        }
        --left;
    }
    return Span(days, kSecondsPerDay).value_or(kLargestSpan + 1);
}

void CDateParser::TakeDateTime(int keyword, const CString& text, CString& date, CString& time) const
{
    if (keyword == SetDate || keyword == MeasureDate) {
        date = DayFirst(text);
    } else if (keyword == SetTime || keyword == MeasureTime) {
        time = text;
    } else {
        CutAtBar(text, date, time);
        date = DayFirst(date);
    }
}

std::int64_t CDateParser::MeasuredSeconds(bool dates, bool times)
{
    // A date or time that cannot be read measures nothing.
    std::int64_t seconds = 0;
    if (dates) {
        double days = m_julianDay.CombineOperands(ReferenceDate, ReferenceTime, TargetDate, true, false);
        if (days < 0 || days > INT32_MAX) return kInvalidSpan;
        seconds = static_cast<std::int64_t>(days) * kSecondsPerDay;
    }
    if (times) {
        double fraction = m_julianDay.CombineOperands(ReferenceDate, ReferenceTime, TargetTime, true, false);
        CString units = fraction < 0 ? CString() : m_julianDay.JulianDayToTime(fraction, true);
        if (units.IsEmpty()) return kInvalidSpan;
        // Counted in 64 bits: a time text that holds a date may measure far more than 65535 hours.
        std::int64_t hours = ReadLeadingInteger64(SplitAtUnit(units, L'h').view());
        std::int64_t minutes = ReadLeadingInteger64(SplitAtUnit(units, L'm').view());
        seconds += (hours * 60 + minutes) * 60 + ReadLeadingInteger64(SplitAtUnit(units, L's').view());
    }
    return seconds > kLargestSpan ? kInvalidSpan : seconds;
}

void CDateParser::ApplyKeyword(int keyword, DateParseResult& result)
{
    auto setSpan = [&](std::optional<std::int64_t> seconds, wchar_t unit) {
        result.UnitText = result.Text + unit;
        if (!seconds || *seconds > kLargestSpan) {
            result.Seconds = kInvalidSpan;
            Fail(m_literalPosition);
            return;
        }
        result.Seconds = *seconds;
    };
    const std::int64_t n = result.Count;
    switch (keyword) {
    case Years: setSpan(Span(n, 365 * kSecondsPerDay + 6 * 3600), L'Y'); break;
    case Weeks: setSpan(Span(n, 7 * kSecondsPerDay), L'W'); break;
    case Days: setSpan(Span(n, kSecondsPerDay), L'd'); break;
    case Hours: setSpan(Span(n, 3600), L'h'); break;
    case Minutes: setSpan(Span(n, 60), L'm'); break;
    case Seconds: setSpan(Span(n, 1), L's'); break;
    case Months:
        if (auto seconds = MonthSpanSeconds(n)) {
            setSpan(seconds, L'M');
        } else {
            result.UnitText = result.Text + L"M";
            Warnings += L" Parser Error blocked!";
        }
        break;
    case SetDate:
    case SetTime:
    case SetDateTime:
        TakeDateTime(keyword, result.Text, ReferenceDate, ReferenceTime);
        result.JulianDay = m_julianDay.DateTimeToJulianDay(ReferenceDate, ReferenceTime);
        m_reachedDate = ReferenceDate;
        m_reachedTime = ReferenceTime;
        result.Seconds = 0;
        break;
    case MeasureDate:
    case MeasureTime:
    case MeasureDateTime:
        TakeDateTime(keyword, result.Text, TargetDate, TargetTime);
        result.UnitText = L"None";
        result.Seconds = MeasuredSeconds(keyword != MeasureTime, keyword != MeasureDate);
        break;
    default: break;
    }
}

DateParseResult CDateParser::Calculate(const CString& expression, int& errorPosition, CString& errorText, bool normalize)
{
    if (expression.IsEmpty()) return {};
    DateParseResult result;
    try {
        Warnings.Empty();
        SYSTEMTIME now;
        GetLocalTime(&now);
        // Kept day first and on the 24-hour clock: the form the Julian day conversions read.
        ReferenceDate.Format(L"%.02d.%.02d.%.04d", now.wDay, now.wMonth, now.wYear);
        ReferenceTime.Format(L"%.02d:%.02d:%.02d", now.wHour, now.wMinute, now.wSecond);
        TargetDate = ReferenceDate;
        TargetTime = ReferenceTime;
        m_reachedDate = ReferenceDate;
        m_reachedTime = ReferenceTime;
        m_depth = 0;
        m_errorAt.reset();
        m_dateStepFailed = false;

        CString text = expression;
        std::vector<int> origin;
        if (normalize) Normalize(text, origin);
        m_expression = text;
        int position = 0;
        CString token;
        NextChar(position, token);
        result = ParseExpression(position, token);
        if (m_dateStepFailed)
            result.JulianDay = -1.0;

        if (m_errorAt || !token.IsEmpty()) {
            // The position in the text as typed; past the end of the normal form is past its end.
            int at = m_errorAt ? *m_errorAt : position;
            if (normalize) at = at >= 1 && at <= static_cast<int>(origin.size()) ? origin[at - 1] + 1 : expression.GetLength() + 1;
            errorPosition = at;
            errorText.Format(L"Error found on position %d!", errorPosition);
            errorText += Warnings;
            if (m_errorAt) result.Seconds = kInvalidSpan;
        } else {
            errorPosition = 0;
            errorText = Warnings;
        }
    } catch (CException* e) {
        wchar_t message[256] = {};
        e->GetErrorMessage(message, 256);
        e->Delete();
        errorText = L"System Error: " + CString(message);
    } catch (const std::exception& e) {
        errorText = L"System Error: " + CString(std::string(e.what()).substr(0, 255).c_str());
    }
    return result;
}

namespace {
CDateParser* g_applicationDateParser = nullptr;
}

CDateParser& GetDateParser()
{
    if (g_applicationDateParser)
        return *g_applicationDateParser;
    static CDateParser fallback;
    return fallback;
}

void SetApplicationDateParser(CDateParser* parser)
{
    g_applicationDateParser = parser;
}
