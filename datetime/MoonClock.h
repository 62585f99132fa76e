#pragma once
// The moon clock of the Date & Time page: a digital clock (date and time digits) beside the moon
// drawn in its phase, and twelve lines of moon data that the page shows. It runs live (the system
// clock, redrawn whenever the page invalidates it) or shows a fixed moment that the page hands over.
// Every paint recomputes the picture and the lines from the moment; the astronomy is CMoonAstronomy's.

#include "datetime/MoonAstronomy.h"
#include "datecore/Clock.h"
#include "platform/base/Array.h"
#include "platform/base/Time.h"
#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Dc.h"

#include <array>
#include <ctime>
#include <optional>

class CMoonClock : public CStatic {
public:
    // The info lines, in the order the page and its moon answers read them.
    enum InfoLine {
        JulianDateLine,
        UniversalTimeLine,
        LocalTimeLine,
        AgeLine,
        PhaseLine,
        DistanceLine,
        SubtendsLine,
        LastNewMoonLine,
        FirstQuarterLine,
        FullMoonLine,
        LastQuarterLine,
        NextNewMoonLine,
        InfoLineCount
    };
    // The clock's digits: hours and minutes (large), seconds, then the date (small).
    static constexpr int DigitCount = 14;
    // A digit that has no value to show (a part of an invalid date) leaves the face blank.
    static constexpr BYTE BlankDigit = 0xFF;

    CMoonClock();
    ~CMoonClock() override;

    // Follows the system clock.
    void FollowSystemTime();
    // Shows a fixed moment: its Julian day (universal time) for the moon and the lines, and the date
    // whose digits the clock shows. The caller invalidates the control.
    void ShowMoment(double julianDay, const COleDateTime& date);
    BOOL IsFixedMode() const { return m_bFixedMode; }
    // Date digits in month-day-year order instead of day-month-year.
    void SetMonthFirst(BOOL monthFirst) { m_bMonthFirst = monthFirst; }

    // Lines 0..11 as the last paint filled them; empty before the first one. The array holds 20.
    const CStringArray& GetInfoLines() const { return m_InfoLines; }
    const std::array<BYTE, DigitCount>& GetDigits() const { return m_Digits; }

    // Recomputes the moment, paints the clock on `dc` at (0, 0) and fills the info lines.
    void Draw(CDC* dc);
    // Now, in universal or local time, with the weekday and the daylight flag of the current zone,
    // which it also keeps.
    void GetZoneTimes(std::tm& time, BOOL local);
    // Universal to local time after the zone's rules, when the system's conversion cannot do it.
    // The transitions' times of day are compared with the universal time as they stand. FALSE for
    // a moment before 1601, a rule that names no real day, or a local time before 1601.
    static BOOL ToLocalTime(const TIME_ZONE_INFORMATION& zone, const SYSTEMTIME& utc, SYSTEMTIME& local);

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    struct Reading;
    Reading ReadSystemClock();
    Reading ReadFixedMoment();
    void DrawFace(CDC* dc, double position, int utcMonth, int utcDay);
    void FillInfoLines(const Reading& reading, const std::optional<MoonState>& moon);
    const CString& MonthName(int month) const { return m_MonthNames[month - 1]; }
    void SetLine(InfoLine line, const wchar_t* format, ...);

    double m_dFixedJulianDay = 0.0;
    COleDateTime m_FixedDate;
    BYTE m_bFixedMode = FALSE;
    CStringArray m_InfoLines;
    CStringArray m_Labels;
    CStringArray m_MonthNames;
    TIME_ZONE_INFORMATION m_TimeZone {};
    std::array<BYTE, DigitCount> m_Digits {};
    BOOL m_bMonthFirst = FALSE;
};

// The Julian date the moon clock shows for a local moment of the page: from 1900 on converted to
// universal time with the zone rules in force at that moment (daylight saving time included),
// before 1900 left in local time.
double MoonJulianDayOfLocalMoment(const COleDateTime& moment);
