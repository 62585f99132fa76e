' Built-in functions check their arguments, keep the types they should, and the random
' sequence is the language's own.

' Evaluates an expression and gives its value's type and text, or "error N".
Function Outcome(expression)
    On Error Resume Next
    Dim r
    r = Eval(expression)
    If Err.Number <> 0 Then
        Outcome = "error " & Err.Number
    ElseIf IsNull(r) Then
        Outcome = "Null"
    Else
        Outcome = TypeName(r) & " " & r
    End If
End Function

d = #3/15/2024 2:30:00 PM#
Dim cases
cases = Array( _
    "Mid(""abcdef"", 0)", "error 5", _
    "Mid(""abcdef"", 2, -1)", "error 5", _
    "Mid(""abcdef"", 2, 3)", "String bcd", _
    "Mid(""abcdef"", 9)", "String ", _
    "Mid(""abcdef"", Null)", "error 94", _
    "Mid(Null, 2)", "Null", _
    "Left(""abc"", -1)", "error 5", _
    "Left(""abc"", Null)", "error 94", _
    "Left(""abc"", 5)", "String abc", _
    "Right(""abc"", -1)", "error 5", _
    "Right(""abc"", Null)", "error 94", _
    "Right(""abc"", 2)", "String bc", _
    "InStrRev(""abcb"", ""b"", 0)", "error 5", _
    "InStrRev(""abcb"", ""b"", -2)", "error 5", _
    "InStrRev(""abcb"", ""b"", -1)", "Long 4", _
    "InStrRev(""abcb"", ""b"", 3)", "Long 2", _
    "InStrRev(""abcb"", ""b"", Null)", "error 94", _
    "InStrRev(""abcb"", ""B"", -1, 1)", "Long 4", _
    "InStrRev(""abcb"", ""B"", -1, 7)", "error 5", _
    "Weekday(d, -1)", "error 5", _
    "Weekday(d, 8)", "error 5", _
    "Weekday(d)", "Integer 6", _
    "Weekday(d, 2)", "Integer 5", _
    "Weekday(Null)", "Null", _
    "FormatDateTime(d, 5)", "error 5", _
    "FormatDateTime(d, -1)", "error 5", _
    "FormatDateTime(d, 4)", "String 14:30", _
    "FormatNumber(1.5, -2)", "error 5", _
    "FormatNumber(""abc"")", "error 13", _
    "FormatNumber(1234.5, 1)", "String 1,234.5", _
    "Round(True)", "Boolean True", _
    "Round(CInt(7))", "Integer 7", _
    "Round(CLng(7))", "Long 7", _
    "Round(CByte(7))", "Byte 7", _
    "Round(2.5)", "Double 2", _
    "Round(2.567, 2)", "Double 2.57", _
    "Round(1.5, -1)", "error 5")
For i = 0 To UBound(cases) Step 2
    Check Outcome(cases(i)), cases(i + 1), cases(i)
Next

' The generator: a run starts from the same seed, Rnd(-1) restarts it, and Randomize n moves
' the state without undoing what came before.
Check CStr(Rnd), "0.7055475", "first Rnd of a run"
Check CStr(Rnd), "0.533424", "second Rnd of a run"
Check CStr(Rnd(0)), "0.533424", "Rnd(0) repeats"
Check CStr(Rnd(-1)), "0.224007", "Rnd(-1)"
Rnd -1
Randomize 10
Check CStr(Rnd), "0.1436949", "Rnd after Rnd(-1) and Randomize 10"
Check CStr(Rnd), "0.200305", "next Rnd"
Check TypeName(Rnd), "Single", "Rnd gives a Single"

' RegExp.Replace gives a String.
Set re = New RegExp
re.Pattern = "\d"
re.Global = True
Check TypeName(re.Replace("a1b2", "#")), "String", "Replace gives a String"
Check re.Replace("a1b2", "#"), "a#b#", "Replace result"
Check TypeName(re.Replace(12, "x")), "String", "Replace of a number gives a String"

MsgBox "builtin arguments: " & passed & " passed, " & failed & " failed"
