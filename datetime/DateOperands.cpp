#include "datetime/DateOperands.h"

#include "datecore/DateValue.h"
#include "platform/base/StringFormat.h"

#include <cstdlib>
#include <utility>

namespace {

constexpr std::int64_t SecondsPerDay = 86400;

CString Printed(const wchar_t* format, auto... values)
{
    return CString(FormatWide(format, values...).c_str());
}

wchar_t KindLetter(OperandKind kind)
{
    switch (kind) {
    case OperandKind::Date:
        return L'D';
    case OperandKind::Time:
        return L'T';
    default:
        return L'C';
    }
}

wchar_t SideMarker(OperandSide side) { return side == OperandSide::Left ? L'<' : L'>'; }

CString DateText(const COleDateTime& moment, int dateFormat)
{
    const int day = moment.GetDay(), month = moment.GetMonth(), year = moment.GetYear();
    switch (dateFormat) {
    case 2:
        return Printed(L"%.02d/%.02d/%.04d", day, month, year);
    case 3:
        return Printed(L"%.02d/%.02d/%.04d", month, day, year);
    default:
        return Printed(L"%.02d.%.02d.%.04d", day, month, year);
    }
}

CString TrimmedRight(CString text)
{
    text.TrimRight();
    return text;
}

} // namespace

CString OperandText(OperandKind kind, OperandSide side, const COleDateTime& moment, int dateFormat)
{
    const CString time = Printed(L"%.02d:%.02d:%.02d", moment.GetHour(), moment.GetMinute(), moment.GetSecond());
    CString value;
    switch (kind) {
    case OperandKind::Date:
        value = DateText(moment, dateFormat);
        break;
    case OperandKind::Time:
        value = time;
        break;
    case OperandKind::DateAndTime:
        value = DateText(moment, dateFormat) + L" | " + time;
        break;
    }
    CString text;
    text += KindLetter(kind);
    text += SideMarker(side);
    return text + L"[" + value + L"]";
}

JoinedOperand JoinOperand(const CString& input, OperandKind kind, OperandSide side, const CString& operand)
{
    CString rest = input;
    if (side == OperandSide::Right) {
        CString left;
        left += KindLetter(kind);
        left += L"<[";
        if (rest.Find(left) < 0)
            return { JoinedOperand::NeedsLeftOfKind, CString() };
    }

    // The first operand of this side, of whatever kind, gives way to the new one.
    int start = -1;
    for (OperandKind any : { OperandKind::Date, OperandKind::Time, OperandKind::DateAndTime }) {
        CString head;
        head += KindLetter(any);
        head += SideMarker(side);
        head += L'[';
        const int at = rest.Find(head);
        if (at >= 0 && (start < 0 || at < start))
            start = at;
    }
    if (start >= 0) {
        const int end = rest.Find(L']', start);
        if (end < 0)
            return { JoinedOperand::Unclosed, CString() };
        rest = rest.Left(start) + rest.Mid(end + 1);
    }

    rest.Trim();
    CString joined;
    if (rest.IsEmpty()) {
        joined = operand;
    } else if (side == OperandSide::Right) {
        // An operator left at the end by the operand cut out goes: the right operand is subtracted.
        while (!rest.IsEmpty() && (rest[rest.GetLength() - 1] == L'+' || rest[rest.GetLength() - 1] == L'-'))
            rest = TrimmedRight(rest.Left(rest.GetLength() - 1));
        joined = rest.IsEmpty() ? operand : rest + L" - " + operand;
    } else if (rest[0] == L'+' || rest[0] == L'-') {
        joined = operand + L" " + rest;
    } else {
        joined = operand + L" + " + rest;
    }
    for (const auto& [from, to] : { std::pair { L"   ", L" " }, { L"  ", L" " }, { L"+ +", L"+" }, { L"+ -", L"-" },
             { L"- -", L"-" }, { L"- +", L"+" } })
        joined.Replace(from, to);
    return { JoinedOperand::Joined, joined };
}

CString FormatSpan(std::int64_t seconds, const CString& pattern)
{
    if (seconds == kInvalidSpan)
        return CString();
    const std::int64_t days = seconds / SecondsPerDay;
    const std::int64_t magnitude = std::llabs(seconds);
    const int hours = static_cast<int>(magnitude % SecondsPerDay / 3600);
    const int minutes = static_cast<int>(magnitude % 3600 / 60);
    const int secs = static_cast<int>(magnitude % 60);

    CString text;
    const int length = pattern.GetLength();
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = pattern[i];
        if (ch != L'%' || i + 1 >= length) {
            text += ch;
            continue;
        }
        wchar_t field = pattern[++i];
        const bool bare = field == L'#' && i + 1 < length;
        if (bare)
            field = pattern[++i];
        const wchar_t* format = bare ? L"%d" : L"%.02d";
        switch (field) {
        case L'D':
            if (bare) {
                text += field;
                break;
            }
            // A negative span shorter than a day has 0 whole days: its sign is written by hand.
            if (seconds >= 0)
                text += L"+";
            else if (days == 0)
                text += L"-";
            text += Printed(L"%lld", static_cast<long long>(days));
            break;
        case L'H':
            text += Printed(format, hours);
            break;
        case L'M':
            text += Printed(format, minutes);
            break;
        case L'S':
            text += Printed(format, secs);
            break;
        default:
            text += field;
            break;
        }
    }
    return text;
}

std::optional<SpanInUnit> ConvertSpan(std::int64_t seconds, int unit)
{
    if (seconds == kInvalidSpan)
        return std::nullopt;
    const double days = static_cast<double>(seconds / SecondsPerDay);
    const double hours = static_cast<double>(seconds % SecondsPerDay / 3600);
    const double minutes = static_cast<double>(seconds % 3600 / 60);
    const double secs = static_cast<double>(seconds % 60);
    switch (unit) {
    case 2:
        return SpanInUnit { days + (hours + minutes / 60 + secs / 3600) / 24, L"days" };
    case 3:
        return SpanInUnit { days * 24 + hours + minutes / 60 + secs / 3600, L"hours" };
    case 4:
        return SpanInUnit { (days * 24 + hours) * 60 + minutes + secs / 60, L"minutes" };
    case 5:
        return SpanInUnit { ((days * 24 + hours) * 60 + minutes) * 60 + secs, L"seconds" };
    default:
        return std::nullopt;
    }
}
