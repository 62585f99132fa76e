' Dates and times.
d = DateSerial(2024, 2, 29)
MsgBox d & " " & Year(d) & " " & Month(d) & " " & Day(d) & " " & Weekday(d) & " " & WeekdayName(Weekday(d))
MsgBox DateSerial(2024, 13, 1) & " " & DateSerial(2024, 3, 0) & " " & DateSerial(99, 1, 1) & " " & DateSerial(5, 1, 1)
t = TimeSerial(14, 5, 9)
MsgBox t & " " & Hour(t) & " " & Minute(t) & " " & Second(t) & " " & TimeSerial(25, 0, 0)
MsgBox DateAdd("m", 1, #1/31/2024#) & " " & DateAdd("yyyy", -1, d) & " " & DateAdd("d", 1, d) & " " & DateAdd("h", 36, d)
MsgBox DateDiff("d", #1/1/2024#, #3/1/2024#) & " " & DateDiff("m", #1/31/2024#, #2/1/2024#) & " " & DateDiff("yyyy", #12/31/2023#, #1/1/2024#) & " " & DateDiff("h", #1/1/2024#, #1/2/2024 6:00#)
MsgBox DatePart("q", d) & " " & DatePart("y", d) & " " & DatePart("ww", #1/7/2024#) & " " & DatePart("w", d)
MsgBox MonthName(2) & " " & MonthName(12, True) & " " & WeekdayName(1, True) & " " & WeekdayName(1, False, vbMonday)
MsgBox FormatDateTime(#3/5/2024 13:07:08#, vbLongDate) & " | " & FormatDateTime(#3/5/2024 13:07:08#, vbShortDate) & " | " & FormatDateTime(#3/5/2024 13:07:08#, vbLongTime) & " | " & FormatDateTime(#3/5/2024 13:07:08#, vbShortTime)
MsgBox DateValue("March 5, 2024") & " " & TimeValue("1:02:03 PM") & " " & CDbl(#1/1/1900#)
MsgBox #12/30/1899# & "|" & CDate(0.5) & "|" & (#1/2/2024# - #1/1/2024#) & "|" & TypeName(#1/2/2024# - 1)
MsgBox (Now >= Date) & " " & (Timer >= 0) & " " & TypeName(Time)
' The range of dates: 1/1/100 to 12/31/9999, each with any time of its day.
MsgBox DateSerial(9999, 12, 31) & "|" & CDate(2958465.5) & "|" & CDate(-657434.5)
On Error Resume Next
x = DateSerial(10000, 1, 1)
MsgBox Err.Number
Err.Clear
x = CDate(2958466)
MsgBox Err.Number
Err.Clear
x = DateAdd("d", 1, #12/31/9999#)
MsgBox Err.Number
