' The named constants of the language, by family, with their values and types.
Sub Show(label, v)
    Host.Say label & ": " & v & " " & TypeName(v)
End Sub
Show "vbMsgBoxHelpButton", vbMsgBoxHelpButton
Show "vbMsgBoxSetForeground", vbMsgBoxSetForeground
Show "vbMsgBoxRight", vbMsgBoxRight
Show "vbMsgBoxRtlReading", vbMsgBoxRtlReading
Host.Say "buttons: " & vbOKOnly & vbOKCancel & vbAbortRetryIgnore & vbYesNoCancel & vbYesNo & vbRetryCancel
Host.Say "icons: " & vbCritical & " " & vbQuestion & " " & vbExclamation & " " & vbInformation
Host.Say "default buttons: " & vbDefaultButton1 & " " & vbDefaultButton2 & " " & vbDefaultButton3 & " " & vbDefaultButton4
Host.Say "modality: " & vbApplicationModal & " " & vbSystemModal
Host.Say "answers: " & vbOK & vbCancel & vbAbort & vbRetry & vbIgnore & vbYes & vbNo
Host.Say "VarType: " & vbEmpty & " " & vbNull & " " & vbInteger & " " & vbLong & " " & vbSingle & " " & vbDouble & " " & vbCurrency & " " & vbDate & " " & vbString & " " & vbObject & " " & vbError & " " & vbBoolean & " " & vbVariant & " " & vbDataObject & " " & vbDecimal & " " & vbByte & " " & vbArray
Host.Say "tristate: " & vbUseDefault & " " & vbTrue & " " & vbFalse
Host.Say "comparison: " & vbBinaryCompare & " " & vbTextCompare & " " & vbDatabaseCompare
Host.Say "days: " & vbUseSystemDayOfWeek & vbSunday & vbMonday & vbTuesday & vbWednesday & vbThursday & vbFriday & vbSaturday
Host.Say "first week: " & vbUseSystem & vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek
Host.Say "date formats: " & vbGeneralDate & vbLongDate & vbShortDate & vbLongTime & vbShortTime
Host.Say "colours: " & vbBlack & " " & vbRed & " " & vbGreen & " " & vbYellow & " " & vbBlue & " " & vbMagenta & " " & vbCyan & " " & vbWhite
Host.Say "strings: " & AscW(vbCr) & " " & AscW(vbLf) & " " & Len(vbCrLf) & " " & Len(vbNewLine) & " " & AscW(vbTab) & " " & AscW(vbVerticalTab) & " " & AscW(vbFormFeed) & " " & AscW(vbNullChar) & " " & Len(vbNullString)
Show "vbObjectError", vbObjectError
Host.Say "MsgBox with the new styles: " & MsgBox("styled", vbOKCancel + vbMsgBoxHelpButton + vbMsgBoxSetForeground + vbMsgBoxRight + vbMsgBoxRtlReading)
On Error Resume Next
vbMsgBoxRight = 1
Host.Say "assigning a constant: " & Err.Number
