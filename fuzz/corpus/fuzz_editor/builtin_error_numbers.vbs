' The errors the built-in functions raise: Overflow out of a conversion's range, Invalid use of
' Null and invalid arguments of Mid/Left/Right, bounds of arrays, and the source they name.
On Error Resume Next
Sub Report(label)
    Host.Say label & ": " & Err.Number & " " & Err.Description & " [" & Err.Source & "]"
    Err.Clear
End Sub
x = CInt(32768) : Report "CInt(32768)"
x = CInt(-32769) : Report "CInt(-32769)"
x = CInt(32767.5) : Report "CInt(32767.5)"
x = CInt("40000") : Report "CInt(""40000"")"
x = CLng(2147483648) : Report "CLng(2147483648)"
x = CLng(-2147483648.6) : Report "CLng(-2147483648.6)"
x = CByte(256) : Report "CByte(256)"
x = CByte(-1) : Report "CByte(-1)"
x = CCur(1E+20) : Report "CCur(1E+20)"
x = CSng(1E+300) : Report "CSng(1E+300)"
x = CDbl("1e400") : Report "CDbl(""1e400"")"
x = CDate(1E+10) : Report "CDate(1E+10)"
x = Hex(1E+20) : Report "Hex(1E+20)"
x = CInt(Null) : Report "CInt(Null)"
x = CByte("x") : Report "CByte(""x"")"
x = CInt(32767) : Report "CInt(32767) " & x
x = Mid(Null, 1) : Report "Mid(Null, 1) is Null " & IsNull(x)
x = Mid("abc", Null) : Report "Mid(""abc"", Null)"
x = Mid("abc", 1, Null) : Report "Mid(""abc"", 1, Null)"
x = Mid("abc", 0) : Report "Mid(""abc"", 0)"
x = Mid("abc", , 2) : Report "Mid(""abc"", , 2)"
x = Mid("abc", 1, -1) : Report "Mid(""abc"", 1, -1)"
x = Left(Null, 2) : Report "Left(Null, 2) is Null " & IsNull(x)
x = Left("abc", Null) : Report "Left(""abc"", Null)"
x = Left("abc", ) : Report "Left(""abc"", )"
x = Left("abc", -1) : Report "Left(""abc"", -1)"
x = Right("abc", Null) : Report "Right(""abc"", Null)"
x = Right("abc", ) : Report "Right(""abc"", )"
x = Right("abc", -1) : Report "Right(""abc"", -1)"
x = Left("abc") : Report "Left(""abc"")"
Dim a(2), none()
x = LBound(a, 2) : Report "LBound(a, 2)"
x = UBound(a, 0) : Report "UBound(a, 0)"
x = UBound(5) : Report "UBound(5)"
x = LBound(Null) : Report "LBound(Null)"
x = UBound(none) : Report "UBound of Dim none()"
x = UBound(a, 1) : Report "UBound(a, 1) " & x
Set o = New RegExp
x = IsNumeric(o) : Report "IsNumeric(object) " & x
x = 1 / 0 : Report "1 / 0"
