#include "datetime/MoonClock.h"

#include "datetime/MoonAstronomy.h"
#include "datecore/DateLocale.h"
#include "datecore/FloorDivision.h"
#include "platform/gdi/MemoryDC.h"
#include "res/MoonClock.h"

#include <cmath>
#include <cstdarg>
#include <optional>

namespace {

// The face: the disc of the moon (centre and radius within the moon picture, which lies at an
// offset in the face), the colour of the panel that the shadow paints with, and the digit places.
constexpr int DiscCentreX = 35;
constexpr int DiscCentreY = 28;
constexpr int DiscRadius = 27;
constexpr int PictureX = 140;
constexpr int PictureY = 4;
constexpr COLORREF PanelColour = RGB(179, 183, 139);
// Near a new moon the disc is all shadow.
constexpr double NewMoonMargin = 0.001;

constexpr SIZE LargeDigit { 24, 34 };
constexpr SIZE SmallDigit { 12, 17 };
constexpr POINT LargeDigitPlaces[] = { { 5, 33 }, { 32, 33 }, { 65, 33 }, { 92, 33 } };
constexpr POINT SmallDigitPlaces[] = { { 120, 50 }, { 134, 50 }, { 5, 5 },   { 19, 5 },  { 41, 5 },
                                       { 55, 5 },   { 77, 5 },   { 91, 5 },  { 105, 5 }, { 119, 5 } };

// On 20 July the face carries a red mark.
constexpr POINT JulyTwentiethMark { 41, 29 };

// Lunations are counted from the new moon of January 1923, lunation 1.
constexpr double FirstLunationNewMoon = 2423436.0;
constexpr long long SecondsPerDay = 86400;
// Seconds from 1 January 1601 (the start of file times) to 1 January 1970.
constexpr long long FileTimeEpochSeconds = 11644473600LL;
constexpr long long TicksPerSecond = 10'000'000;

const wchar_t* const Labels[] = { L"Julian date",   L"Universal time (UTC)", L"Local time",    L"Age of moon",
                                  L"Moon phase",    L"Moon's distance",      L"Moon subtends", L"Last new moon",
                                  L"First quarter", L"Full moon",            L"Last quarter",  L"Next new moon" };
constexpr int InfoLineCapacity = 20;

// A moment broken down into calendar fields (month 1..12).
struct ClockFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;  // 0 = Sunday
};

ClockFields FieldsOf(const std::tm& time)
{
    return { time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, time.tm_wday };
}

ClockFields FieldsOf(const SYSTEMTIME& time)
{
    return { time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wDayOfWeek };
}

// A Julian day as calendar fields. The moment is rounded to the second first, so that one just
// before midnight reads 00:00:00 of the next day rather than 24:00:00 of its own.
std::optional<ClockFields> SplitJulianDay(double jd)
{
    if (!CMoonAstronomy::IsSupportedJulianDay(jd))
        return std::nullopt;
    auto seconds = static_cast<long long>(std::floor((jd + 0.5) * SecondsPerDay + 0.5));
    long long dayNumber = FloorDiv(seconds, SecondsPerDay);
    long long secondOfDay = seconds - dayNumber * SecondsPerDay;
    // The Julian day of that date's noon.
    auto noon = static_cast<double>(dayNumber);
    auto date = CMoonAstronomy::CivilFromJulian(noon);
    if (!date)
        return std::nullopt;
    return ClockFields { date->year,
                         date->month,
                         date->day,
                         static_cast<int>(secondOfDay / 3600),
                         static_cast<int>(secondOfDay / 60 % 60),
                         static_cast<int>(secondOfDay % 60),
                         *CMoonAstronomy::WeekdayOfJulian(noon) };
}

// The digits of a field of `count` places, or blanks when the value lies outside [low, high].
void PutDigits(BYTE* digits, int count, int value, int low, int high)
{
    bool shown = value >= low && value <= high;
    for (int place = count - 1; place >= 0; --place, value /= 10)
        digits[place] = shown ? static_cast<BYTE>(value % 10) : CMoonClock::BlankDigit;
}

std::array<BYTE, CMoonClock::DigitCount> ClockDigits(const ClockFields& shown, bool monthFirst)
{
    std::array<BYTE, CMoonClock::DigitCount> digits {};
    PutDigits(&digits[0], 2, shown.hour, 0, 23);
    PutDigits(&digits[2], 2, shown.minute, 0, 59);
    PutDigits(&digits[4], 2, shown.second, 0, 59);
    PutDigits(&digits[monthFirst ? 8 : 6], 2, shown.day, 1, 31);
    PutDigits(&digits[monthFirst ? 6 : 8], 2, shown.month, 1, 12);
    PutDigits(&digits[10], 4, shown.year, 0, 9999);
    return digits;
}

// File times: 100-nanosecond ticks since 1 January 1601 (UTC).
std::optional<long long> FileTicksOf(const SYSTEMTIME& time)
{
    if (time.wYear < 1601)
        return std::nullopt;
    auto seconds = SystemTimeToUnixSeconds(time);
    if (!seconds)
        return std::nullopt;
    return (*seconds + FileTimeEpochSeconds) * TicksPerSecond + time.wMilliseconds * 10'000LL;
}

SYSTEMTIME SystemTimeOfTicks(long long ticks)
{
    return UnixSecondsToSystemTime(ticks / TicksPerSecond - FileTimeEpochSeconds,
                                   static_cast<int>(ticks % TicksPerSecond / 10'000));
}

// A zone's transition in `year` as a file time. A recurring rule (year 0) names the wDay-th
// weekday wDayOfWeek of its month, 5 meaning the last; a rule with a year is that very date.
std::optional<long long> TransitionTicks(const SYSTEMTIME& rule, int year)
{
    if (rule.wMonth < 1 || rule.wMonth > 12)
        return std::nullopt;
    SYSTEMTIME transition = rule;
    if (rule.wYear == 0) {
        if (rule.wDayOfWeek > 6)
            return std::nullopt;
        double jd = CMoonAstronomy::JulianFromCivil(year, rule.wMonth - 1, 1, 12, 0, 0);
        while (CMoonAstronomy::WeekdayOfJulian(jd) != rule.wDayOfWeek)
            jd += 1;
        for (int occurrence = 1; occurrence < rule.wDay && occurrence < 5; ++occurrence) {
            if (CMoonAstronomy::CivilFromJulian(jd + 7)->month != rule.wMonth)
                break;
            jd += 7;
        }
        transition.wYear = static_cast<WORD>(year);
        transition.wDay = static_cast<WORD>(CMoonAstronomy::CivilFromJulian(jd)->day);
    }
    return FileTicksOf(transition);
}

} // namespace

// Moments before this year have no zone: their local time is their universal time.
constexpr int FirstZonedYear = 1900;

// What one paint shows: the moment for the moon and the lines, its universal and local times,
// and the fields whose digits the clock shows.
struct CMoonClock::Reading {
    double julianDay = 0;
    std::optional<ClockFields> utc;
    std::optional<ClockFields> local;
    ClockFields shown;
};

BEGIN_MESSAGE_MAP(CMoonClock, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

CMoonClock::CMoonClock()
{
    m_InfoLines.SetSize(InfoLineCapacity);
    for (const wchar_t* label : Labels)
        m_Labels.Add(label);
    for (const CString& name : CurrentDateLocale().monthNames)
        m_MonthNames.Add(name);
}

CMoonClock::~CMoonClock() = default;

void CMoonClock::FollowSystemTime()
{
    m_bFixedMode = FALSE;
}

void CMoonClock::ShowMoment(double julianDay, const COleDateTime& date)
{
    m_dFixedJulianDay = julianDay;
    m_FixedDate = date;
    m_bFixedMode = TRUE;
}

void CMoonClock::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

void CMoonClock::GetZoneTimes(std::tm& time, BOOL local)
{
    SYSTEMTIME now;
    if (local)
        GetLocalTime(&now);
    else
        GetSystemTime(&now);
    time = std::tm {};
    time.tm_sec = now.wSecond;
    time.tm_min = now.wMinute;
    time.tm_hour = now.wHour;
    time.tm_mday = now.wDay;
    time.tm_mon = now.wMonth - 1;
    time.tm_year = now.wYear - 1900;
    time.tm_wday = now.wDayOfWeek;
    time.tm_isdst = GetTimeZoneInformation(&m_TimeZone) == TIME_ZONE_ID_DAYLIGHT;
}

CMoonClock::Reading CMoonClock::ReadSystemClock()
{
    std::tm utc, local;
    GetZoneTimes(utc, FALSE);
    GetZoneTimes(local, TRUE);
    Reading reading;
    reading.julianDay = CMoonAstronomy::JulianFromTm(utc);
    reading.utc = FieldsOf(utc);
    reading.local = FieldsOf(local);
    reading.shown = *reading.local;
    return reading;
}

CMoonClock::Reading CMoonClock::ReadFixedMoment()
{
    Reading reading;
    reading.julianDay = m_dFixedJulianDay;
    reading.utc = SplitJulianDay(m_dFixedJulianDay);
    // The zone in force now, not the one of the last live paint (there may have been none).
    GetTimeZoneInformation(&m_TimeZone);
    if (reading.utc && reading.utc->year >= 0 && reading.utc->year <= 0xFFFF) {
        const ClockFields& utc = *reading.utc;
        SYSTEMTIME universal { static_cast<WORD>(utc.year),   static_cast<WORD>(utc.month),
                               static_cast<WORD>(utc.weekday),
                               static_cast<WORD>(utc.day),    static_cast<WORD>(utc.hour),
                               static_cast<WORD>(utc.minute), static_cast<WORD>(utc.second), 0 };
        // The page hands over moments from 1900 on converted with the rules of their own date, and
        // earlier ones as they were typed; the local line takes them back the same way.
        SYSTEMTIME local = universal;
        if (utc.year < FirstZonedYear || SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)
            || ToLocalTime(m_TimeZone, universal, local))
            reading.local = FieldsOf(local);
    }
    // Parts of an invalid date are -1, which the digits leave blank.
    reading.shown = { m_FixedDate.GetYear(), m_FixedDate.GetMonth(),  m_FixedDate.GetDay(),
                      m_FixedDate.GetHour(), m_FixedDate.GetMinute(), m_FixedDate.GetSecond() };
    return reading;
}

void CMoonClock::Draw(CDC* dc)
{
    Reading reading = m_bFixedMode ? ReadFixedMoment() : ReadSystemClock();
    m_Digits = ClockDigits(reading.shown, m_bMonthFirst);
    auto moon = CMoonAstronomy::ComputePhase(reading.julianDay);
    // A moment without a moon (not a finite day) shows the disc dark.
    DrawFace(dc, moon ? moon->position : 0.0, reading.utc ? reading.utc->month : 0, reading.utc ? reading.utc->day : 0);
    FillInfoLines(reading, moon);
}

void CMoonClock::DrawFace(CDC* dc, double position, int utcMonth, int utcDay)
{
    CBitmap face, largeDigits, smallDigits;
    if (!face.Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_MOON_CLOCK_FACE)))
        || !largeDigits.Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_MOON_CLOCK_LARGE_DIGITS)))
        || !smallDigits.Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_MOON_CLOCK_SMALL_DIGITS))))
        return;
    BITMAP faceSize {};
    face.GetBitmap(&faceSize);

    // The control takes the face's size; only a change moves it, so a paint never asks for another.
    CRect window;
    GetWindowRect(&window);
    if (window.Width() != faceSize.bmWidth || window.Height() != faceSize.bmHeight)
        SetWindowPos(nullptr, 0, 0, faceSize.bmWidth, faceSize.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);

    fln::gdi::MemoryDC faceMemory(*dc, face), largeDc(*dc, largeDigits), smallDc(*dc, smallDigits);
    CDC& faceDc = *CDC::FromHandle(faceMemory);

    if (utcMonth == 7 && utcDay == 20)
        faceDc.SetPixel(JulyTwentiethMark.x, JulyTwentiethMark.y, RGB(255, 0, 0));

    // The shadow: each row of the disc is painted in the panel's colour outside its lit part, from
    // the disc's left edge and up to the face's inner right edge. Waxing, the dark side is the left.
    CPen shadow(PS_SOLID, 1, PanelColour);
    CPen* oldPen = faceDc.SelectObject(&shadow);
    bool dark = position < NewMoonMargin || position > 1 - NewMoonMargin;
    double xscale = std::cos(6.28318530718 * position);
    int left = PictureX + DiscCentreX - DiscRadius;
    int right = faceSize.bmWidth - 2;
    for (int i = 0; i < DiscRadius; ++i) {
        double cp = DiscRadius * std::cos(std::asin(static_cast<double>(i) / DiscRadius));
        int litFrom, litTo;
        if (dark) {
            litFrom = litTo = static_cast<int>(DiscCentreX + cp);
        } else if (position < 0.5) {
            litFrom = static_cast<int>(DiscCentreX + xscale * cp);
            litTo = static_cast<int>(DiscCentreX + cp);
        } else {
            litFrom = static_cast<int>(DiscCentreX - cp);
            litTo = static_cast<int>(DiscCentreX - xscale * cp);
        }
        for (int y : { PictureY + DiscCentreY + i, PictureY + DiscCentreY - i }) {
            faceDc.MoveTo(left, y);
            faceDc.LineTo(PictureX + litFrom, y);
            faceDc.MoveTo(PictureX + litTo, y);
            faceDc.LineTo(right, y);
            if (i == 0)
                break;
        }
    }
    faceDc.SelectObject(oldPen);

    for (int index = 0; index < DigitCount; ++index) {
        BYTE digit = m_Digits[index];
        if (digit == BlankDigit)
            continue;
        if (index < 4)
            faceDc.BitBlt(LargeDigitPlaces[index].x, LargeDigitPlaces[index].y, LargeDigit.cx, LargeDigit.cy, CDC::FromHandle(largeDc),
                          LargeDigit.cx * digit, 0, SRCCOPY);
        else
            faceDc.BitBlt(SmallDigitPlaces[index - 4].x, SmallDigitPlaces[index - 4].y, SmallDigit.cx, SmallDigit.cy,
                          CDC::FromHandle(smallDc), SmallDigit.cx * digit, 0, SRCCOPY);
    }

    dc->BitBlt(0, 0, faceSize.bmWidth, faceSize.bmHeight, &faceDc, 0, 0, SRCCOPY);
}

BOOL CMoonClock::ToLocalTime(const TIME_ZONE_INFORMATION& zone, const SYSTEMTIME& utc, SYSTEMTIME& local)
{
    auto moment = FileTicksOf(utc);
    if (!moment)
        return FALSE;
    long long bias = zone.Bias;
    if (zone.DaylightDate.wMonth != 0 && zone.StandardDate.wMonth != 0) {
        auto daylightStart = TransitionTicks(zone.DaylightDate, utc.wYear);
        auto standardStart = TransitionTicks(zone.StandardDate, utc.wYear);
        if (!daylightStart || !standardStart)
            return FALSE;
        long long t = *moment, d = *daylightStart, s = *standardStart;
        bool daylight = d <= s ? (d < t && t <= s) : (t > d || t <= s);
        bias += daylight ? zone.DaylightBias : zone.StandardBias;
    }
    long long localTicks = *moment - bias * 60 * TicksPerSecond;
    if (localTicks < 0)
        return FALSE;
    local = SystemTimeOfTicks(localTicks);
    return TRUE;
}

void CMoonClock::SetLine(InfoLine line, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    m_InfoLines.SetAt(line, text);
}

void CMoonClock::FillInfoLines(const Reading& reading, const std::optional<MoonState>& moon)
{
    for (int line = 0; line < InfoLineCount; ++line)
        m_InfoLines.SetAt(line, CString());
    if (!reading.utc || !moon)
        return;

    auto label = [this](InfoLine line) { return static_cast<const wchar_t*>(m_Labels[line]); };
    const double jd = reading.julianDay;
    const ClockFields& utc = *reading.utc;
    SetLine(JulianDateLine, L"%s: %.6lf", label(JulianDateLine), jd);
    SetLine(UniversalTimeLine, L"%s: %.02d:%.02d:%.02d  %.02d. %s %.04d", label(UniversalTimeLine), utc.hour, utc.minute,
            utc.second, utc.day, static_cast<const wchar_t*>(MonthName(utc.month)), utc.year);
    if (reading.local) {
        const ClockFields& local = *reading.local;
        SetLine(LocalTimeLine, L"%s: %.02d:%.02d:%.02d  %.02d. %s.% 04d", label(LocalTimeLine), local.hour, local.minute,
                local.second, local.day, static_cast<const wchar_t*>(MonthName(local.month)), local.year);
    } else {
        SetLine(LocalTimeLine, L"Data Error 4");
    }

    double age = moon->age;
    double dayFraction = age - std::floor(age);
    SetLine(AgeLine, L"%s: %d day(s), %d hour(s), %d minute(s)", label(AgeLine), static_cast<int>(age),
            static_cast<int>(24 * dayFraction), static_cast<int>(1440 * dayFraction) % 60);
    SetLine(PhaseLine, L"%s: %d %%", label(PhaseLine), static_cast<int>(moon->illuminated * 100));
    SetLine(DistanceLine, L"%s: %d km", label(DistanceLine), static_cast<int>(moon->distance));
    SetLine(SubtendsLine, L"%s: %.6lf degrees", label(SubtendsLine), moon->angularDiameter);

    auto phases = CMoonAstronomy::FindPhases(jd + 0.5);
    if (!phases)
        return;
    int lunation = static_cast<int>(std::floor((phases->lastNewMoon + 7 - FirstLunationNewMoon) / CMoonAstronomy::SynodicMonth)) + 1;
    auto setPhaseLine = [&](InfoLine line, double when, std::optional<int> lunationNumber) {
        auto at = SplitJulianDay(when);
        if (!at)
            return;
        const wchar_t* month = MonthName(at->month);
        if (lunationNumber)
            SetLine(line, L"%s: %.02d:%.02d UTC, %.02d %s %.04d, Lunation: %.04d", label(line), at->hour, at->minute, at->day,
                    month, at->year, *lunationNumber);
        else
            SetLine(line, L"%s: %.02d:%.02d UTC, %.02d %s %.04d", label(line), at->hour, at->minute, at->day, month, at->year);
    };
    setPhaseLine(LastNewMoonLine, phases->lastNewMoon, lunation);
    setPhaseLine(FirstQuarterLine, phases->firstQuarter, std::nullopt);
    setPhaseLine(FullMoonLine, phases->fullMoon, std::nullopt);
    setPhaseLine(LastQuarterLine, phases->lastQuarter, std::nullopt);
    setPhaseLine(NextNewMoonLine, phases->nextNewMoon, lunation + 1);
}

double MoonJulianDayOfLocalMoment(const COleDateTime& moment)
{
    const int year = moment.GetYear(), month = moment.GetMonth(), day = moment.GetDay();
    const int hour = moment.GetHour(), minute = moment.GetMinute(), second = moment.GetSecond();
    const double local = CMoonAstronomy::JulianFromCivil(year, month - 1, day, hour, minute, second);
    if (year < FirstZonedYear)
        return local;
    const SYSTEMTIME localTime { static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
        static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0 };
    SYSTEMTIME utc {};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc))
        return local;
    return CMoonAstronomy::JulianFromCivil(utc.wYear, utc.wMonth - 1, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond);
}
