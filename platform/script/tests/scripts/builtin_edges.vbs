' The library at the edges of its arguments: each row is an expression and what it gives, as
' "<TypeName> <value>" or "error <number> <description>".
Function Outcome(expression)
    On Error Resume Next
    Dim r
    r = Eval(expression)
    If Err.Number <> 0 Then
        Outcome = "error " & Err.Number & " " & Err.Description
    ElseIf IsArray(r) Then
        Outcome = "array " & UBound(r) & " " & Join(r, "|")
    Else
        Outcome = TypeName(r) & " " & r
    End If
End Function

Sub CheckRows(rows)
    Dim i
    For i = 0 To UBound(rows) Step 2
        Check Outcome(rows(i)), rows(i + 1), rows(i)
    Next
End Sub

Dim one(2), grid(1, 2), object, withDefault, plain
Set object = New RegExp
Class NumberByDefault
    Public Default Property Get Value
        Value = 42
    End Property
End Class
Class NoDefault
End Class
Set withDefault = New NumberByDefault
Set plain = New NoDefault

' Conversions: the last value in range after rounding half to even, the first past it, text that is
' no number, Null and Empty.
CheckRows Array( _
    "CBool(""abc"")", "error 13 Type mismatch", "CBool("""")", "error 13 Type mismatch", _
    "CBool(""0"")", "Boolean False", "CBool(Null)", "error 94 Invalid use of Null", "CBool(Empty)", "Boolean False", _
    "CByte(255.49)", "Byte 255", "CByte(254.5)", "Byte 254", "CByte(255.5)", "error 6 Overflow", _
    "CByte(-0.5)", "Byte 0", "CByte(-0.51)", "error 6 Overflow", "CByte(""256"")", "error 6 Overflow", _
    "CByte("""")", "error 13 Type mismatch", "CByte(Empty)", "Byte 0", _
    "CInt(32766.5)", "Integer 32766", "CInt(32767.5)", "error 6 Overflow", _
    "CInt(-32768.5)", "Integer -32768", "CInt(-32768.51)", "error 6 Overflow", _
    "CInt(1.5)", "Integer 2", "CInt(2.5)", "Integer 2", "CInt(-2.5)", "Integer -2", _
    "CInt("" 12 "")", "Integer 12", "CInt("""")", "error 13 Type mismatch", "CInt(Empty)", "Integer 0", _
    "CLng(2147483646.5)", "Long 2147483646", "CLng(2147483647.5)", "error 6 Overflow", _
    "CLng(-2147483648.5)", "Long -2147483648", "CLng(""abc"")", "error 13 Type mismatch", _
    "CLng(Null)", "error 94 Invalid use of Null", "CLng(Empty)", "Long 0", _
    "CCur(922337203685477)", "Currency 922337203685477", "CCur(922337203685477.5)", "Currency 922337203685477.5", _
    "CCur(922337203685478)", "error 6 Overflow", "CCur(-922337203685477.5)", "Currency -922337203685477.5", _
    "CCur(-922337203685478)", "error 6 Overflow", "CCur(""922337203685477"")", "Currency 922337203685477", _
    "CCur(1) * 922337203685477", "Currency 922337203685477", "CCur(0.03125)", "Currency 0.0312", _
    "CCur(0.09375)", "Currency 0.0938", "CCur(Null)", "error 94 Invalid use of Null", "CCur(Empty)", "Currency 0", _
    "CSng(3.4E+38)", "Single 3.4E+38", "CSng(3.5E+38)", "error 6 Overflow", "CSng(-3.5E+38)", "error 6 Overflow", _
    "CSng(1E-50)", "Single 0", "CSng(""x"")", "error 13 Type mismatch", "CSng(Null)", "error 94 Invalid use of Null", _
    "CDbl(""1.7e308"")", "Double 1.7E+308", "CDbl(""1.8e308"")", "error 6 Overflow", _
    "CDbl(""x"")", "error 13 Type mismatch", "CDbl(Empty)", "Double 0", _
    "CDate(2958465)", "Date 12/31/9999", "CDate(2958466)", "error 6 Overflow", _
    "CDate(-657434)", "Date 1/1/100", "CDate(-657435)", "error 6 Overflow", _
    "CDate(""abc"")", "error 13 Type mismatch", "CDate("""")", "error 13 Type mismatch", _
    "CDate(Null)", "error 94 Invalid use of Null", "CDate(Empty)", "Date 12:00:00 AM", _
    "CInt()", "error 450 Wrong number of arguments or invalid property assignment: 'CInt'", _
    "CDate(1, 2)", "error 450 Wrong number of arguments or invalid property assignment: 'CDate'")

' Texts that are no numbers, the Boolean words among them, convert to no number; the words convert
' to a Boolean only.
Dim conversion, word
For Each conversion In Array("CByte", "CCur", "CDate", "CDbl", "CInt", "CLng", "CSng")
    For Each word In Array("""""", """TRUE""", """FALSE""", """#TRUE#""", """ #false# """)
        Check Outcome(conversion & "(" & word & ")"), "error 13 Type mismatch", conversion & "(" & word & ")"
    Next
Next
CheckRows Array( _
    "CBool(""TRUE"")", "Boolean True", "CBool("" #FALSE# "")", "Boolean False", "CBool(""#TRUE#"")", "Boolean True", _
    """True"" + 1", "error 13 Type mismatch", "CInt(""&hFFFF"")", "Integer -1")

' Text functions: starts and lengths of zero, below zero and past the text, Null in each place.
CheckRows Array( _
    "Mid(""abc"", -1)", "error 5 Invalid procedure call or argument", "Mid(""abc"", Empty)", "error 5 Invalid procedure call or argument", _
    "Mid(""abc"", 4)", "String ", "Mid(""abc"", 5, 1)", "String ", "Mid(""abc"", 1, 0)", "String ", _
    "Mid(""abc"", 2, 100)", "String bc", "Mid(""abcdef"", 1.5, 2)", "String bc", "Mid(""abc"", 2.5)", "String bc", _
    "Left(""abc"", 0)", "String ", "Left(""abc"", 10)", "String abc", "Left(""abc"", 2.5)", "String ab", _
    "Left(""abc"", ""x"")", "error 13 Type mismatch", "Left(""abc"", 2147483648)", "error 6 Overflow", _
    "Right(""abc"", 0)", "String ", "Right(""abc"", 10)", "String abc", "Right(Null, 1)", "Null ", _
    "Right(""abc"", 2.5)", "String bc", _
    "InStr(0, ""abc"", ""b"")", "error 5 Invalid procedure call or argument", _
    "InStr(-1, ""abc"", ""b"")", "error 5 Invalid procedure call or argument", _
    "InStr(4, ""abc"", ""b"")", "Long 0", "InStr(3, ""abc"", """")", "Long 3", "InStr(4, ""abc"", """")", "Long 0", _
    "InStr("""", """")", "Long 0", "InStr(""abc"", """")", "Long 1", _
    "InStr(Null, ""a"")", "Null ", "InStr(""abc"", Null)", "Null ", "InStr(1, Null, ""b"")", "Null ", _
    "InStr(Null, ""abc"", ""b"")", "error 94 Invalid use of Null", _
    "InStr(1, ""abc"", ""b"", -1)", "error 5 Invalid procedure call or argument", _
    "InStrRev(""abcb"", ""b"", 0)", "error 5 Invalid procedure call or argument", _
    "InStrRev(""abcb"", ""b"", -2)", "error 5 Invalid procedure call or argument", _
    "InStrRev(""abcb"", ""b"", -1)", "Long 4", "InStrRev(""abcb"", ""b"", 3)", "Long 2", _
    "InStrRev(""abcb"", ""b"", 10)", "Long 0", "InStrRev(""abc"", """", 2)", "Long 2", "InStrRev("""", """")", "Long 0", _
    "InStrRev(Null, ""a"")", "Null ", "InStrRev(""abc"", Null)", "Null ", _
    "InStrRev(""abc"", ""b"", Null)", "error 94 Invalid use of Null", _
    "Split(""a,b"", "","", 0)", "array -1 ", "Split(""a,b"", "","", -2)", "error 5 Invalid procedure call or argument", _
    "Split("""", "","")", "array -1 ", "Split(""a,b"", """")", "array 0 a,b", "Split(""a,b,c"", "","", 2)", "array 1 a|b,c", _
    "Split(""a,b,c"", "","", 5)", "array 2 a|b|c", "Split(Null)", "error 94 Invalid use of Null", _
    "Split(""a,b"", "","", Null)", "error 94 Invalid use of Null", _
    "Replace(""abc"", ""b"", ""x"", 0)", "error 5 Invalid procedure call or argument", _
    "Replace(""abcb"", ""b"", ""x"", 1, -2)", "error 5 Invalid procedure call or argument", _
    "Replace(""abc"", ""b"", ""x"", 4)", "String ", "Replace(""abcb"", ""b"", ""x"", 2)", "String xcx", _
    "Replace(""abc"", ""b"", ""x"", 1, 0)", "String abc", "Replace(""abcb"", ""b"", ""x"", 1, 1)", "String axcb", _
    "Replace(Null, ""a"", ""b"")", "error 94 Invalid use of Null", "Replace(""abc"", Null, ""b"")", "error 94 Invalid use of Null", _
    "Replace(""abc"", ""a"", Null)", "error 94 Invalid use of Null", "Replace(""abc"", ""a"", ""b"", 1, Null)", "error 94 Invalid use of Null", _
    "Space(-1)", "error 5 Invalid procedure call or argument", "Space(0)", "String ", _
    "Space(Null)", "error 94 Invalid use of Null", _
    "String(-1, ""a"")", "error 5 Invalid procedure call or argument", "String(0, ""a"")", "String ", _
    "String(3, """")", "error 5 Invalid procedure call or argument", "String(3, Null)", "Null ", _
    "String(Null, ""a"")", "Null ", "String(2, 321)", "String AA", "String(2.5, ""a"")", "String aa")

' Array bounds of what is no array, and of dimensions the array does not have.
CheckRows Array( _
    "UBound(5)", "error 13 Type mismatch", "UBound(Null)", "error 13 Type mismatch", _
    "UBound(Empty)", "error 13 Type mismatch", "UBound(""abc"")", "error 13 Type mismatch", _
    "LBound(object)", "error 13 Type mismatch", _
    "UBound(one, 0)", "error 9 Subscript out of range", "UBound(one, 2)", "error 9 Subscript out of range", _
    "UBound(one, -1)", "error 9 Subscript out of range", "UBound(one, 1.6)", "error 9 Subscript out of range", _
    "UBound(one, ""x"")", "error 13 Type mismatch", "UBound(one, Null)", "error 94 Invalid use of Null", _
    "UBound(grid, 2)", "Long 2", "LBound(grid, 2)", "Long 0", "UBound(grid, 3)", "error 9 Subscript out of range", _
    "LBound(grid, 0)", "error 9 Subscript out of range", "UBound(Array())", "Long -1", "LBound(Array())", "Long 0")

' Mathematics and number text: Abs, Int, Fix, Round, Hex and Oct pass Null through; the functions
' of a number take no Null (94); a Single overflows past its range.
CheckRows Array( _
    "Abs(Null)", "Null ", _
    "Abs(Empty)", "Integer 0", _
    "Abs(True)", "Integer 1", _
    "Abs(""-2.5"")", "Double 2.5", _
    "Abs(CInt(-32768))", "Long 32768", _
    "Abs(""x"")", "error 13 Type mismatch", _
    "Fix(Null)", "Null ", _
    "Fix(""2.5"")", "Double 2", _
    "Int(CCur(-1.5))", "Currency -2", _
    "Int(CSng(-1.5))", "Single -2", _
    "Int(""x"")", "error 13 Type mismatch", _
    "Atn(Null)", "error 94 Invalid use of Null", _
    "Atn(Empty)", "Double 0", _
    "Atn(""x"")", "error 13 Type mismatch", _
    "Cos(Null)", "error 94 Invalid use of Null", _
    "Sin(Null)", "error 94 Invalid use of Null", _
    "Tan(Null)", "error 94 Invalid use of Null", _
    "Exp(Null)", "error 94 Invalid use of Null", _
    "Exp(710)", "error 6 Overflow", _
    "Log(Null)", "error 94 Invalid use of Null", _
    "Log(Empty)", "error 5 Invalid procedure call or argument", _
    "Log(0)", "error 5 Invalid procedure call or argument", _
    "Sqr(Null)", "error 94 Invalid use of Null", _
    "Sqr(""4"")", "Double 2", _
    "Sqr(-1)", "error 5 Invalid procedure call or argument", _
    "Sgn(Null)", "error 94 Invalid use of Null", _
    "Sgn(Empty)", "Integer 0", _
    "Sgn(""-3"")", "Integer -1", _
    "Sgn(""x"")", "error 13 Type mismatch", _
    "Round(Null)", "Null ", _
    "Round(2.5, Null)", "error 94 Invalid use of Null", _
    "Round(""x"")", "error 13 Type mismatch", _
    "Round(1.5, 2147483648)", "error 6 Overflow", _
    "Rnd(Null)", "error 94 Invalid use of Null", _
    "Rnd(""x"")", "error 13 Type mismatch", _
    "Rnd(-1)", "Single 0.224007", _
    "Rnd(-1E+40)", "error 6 Overflow", _
    "Rnd(1E+40)", "error 6 Overflow", _
    "Hex(Null)", "Null ", _
    "Hex(Empty)", "String 0", _
    "Hex(-1)", "String FFFF", _
    "Hex(-32769)", "String FFFF7FFF", _
    "Hex(2147483647.5)", "error 6 Overflow", _
    "Hex(""x"")", "error 13 Type mismatch", _
    "Oct(Null)", "Null ", _
    "Oct(-1)", "String 177777", _
    "Sqr()", "error 450 Wrong number of arguments or invalid property assignment: 'Sqr'", _
    "Rnd(1, 2)", "error 450 Wrong number of arguments or invalid property assignment: 'Rnd'")

' Characters and texts: Null passes through only where the function says so; ChrW takes one UTF-16
' code unit, signed or not.
CheckRows Array( _
    "Asc(Null)", "error 94 Invalid use of Null", _
    "Asc(Empty)", "error 5 Invalid procedure call or argument", _
    "Asc(123)", "Integer 49", _
    "AscB(Null)", "error 94 Invalid use of Null", _
    "AscW(Null)", "error 94 Invalid use of Null", _
    "AscW("""")", "error 5 Invalid procedure call or argument", _
    "Chr(Null)", "error 94 Invalid use of Null", _
    "Chr(-1)", "error 5 Invalid procedure call or argument", _
    "Chr(""x"")", "error 13 Type mismatch", _
    "Chr(65.5)", "String B", _
    "ChrB(Null)", "error 94 Invalid use of Null", _
    "ChrW(Null)", "error 94 Invalid use of Null", _
    "ChrW(-32769)", "error 5 Invalid procedure call or argument", _
    "ChrW(65536)", "error 5 Invalid procedure call or argument", _
    "AscW(ChrW(65535))", "Integer -1", _
    "ChrW(-1) = ChrW(65535)", "Boolean True", _
    "Len(Null)", "Null ", _
    "Len(Empty)", "Long 0", _
    "Len(123)", "Long 3", _
    "LCase(Null)", "Null ", _
    "UCase(Null)", "Null ", _
    "UCase(Empty)", "String ", _
    "LTrim(Null)", "Null ", _
    "RTrim(Null)", "Null ", _
    "Trim(Null)", "Null ", _
    "StrComp(Null, ""a"")", "Null ", _
    "StrComp(""a"", Null)", "Null ", _
    "StrComp(""a"", ""b"", Null)", "error 94 Invalid use of Null", _
    "StrComp(""a"", ""A"", 1)", "Integer 0", _
    "StrReverse(Null)", "error 94 Invalid use of Null", _
    "StrReverse(123)", "String 321", _
    "Escape(Null)", "Null ", _
    "Unescape(Null)", "Null ", _
    "Join(Null)", "error 13 Type mismatch", _
    "Join(Array(""a"", ""b""), Null)", "error 94 Invalid use of Null", _
    "Join(Array(1, 2))", "String 1 2", _
    "Filter(Null, ""a"")", "error 13 Type mismatch", _
    "Filter(Array(""a""), Null)", "error 94 Invalid use of Null", _
    "Filter(Array(""a""), ""a"", Null)", "error 94 Invalid use of Null", _
    "Split(""a"", Null)", "error 94 Invalid use of Null", _
    "InStr(1, ""abc"", ""b"", Null)", "error 94 Invalid use of Null", _
    "InStr(""abc"", ""b"", 1)", "error 13 Type mismatch", _
    "Space(2147483648)", "error 6 Overflow", _
    "Space(2.5)", "String   ", _
    "String(Empty, ""a"")", "String ", _
    "Mid(""abc"", 2, Empty)", "String ", _
    "Replace(""abc"", ""b"", ""x"", Empty)", "error 5 Invalid procedure call or argument", _
    "CStr(Empty)", "String ", _
    "CStr(Null)", "error 94 Invalid use of Null", _
    "CStr(Array(1))", "error 13 Type mismatch", _
    "LCase()", "error 450 Wrong number of arguments or invalid property assignment: 'LCase'", _
    "Len(""a"", ""b"")", "error 450 Wrong number of arguments or invalid property assignment: 'Len'")

' Dates: the parts of a date pass Null through; DateSerial and TimeSerial take Integers, and a part
' past its range carries into the next.
CheckRows Array( _
    "TypeName(Date) & TypeName(Now) & TypeName(Time) & TypeName(Timer)", "String DateDateDateSingle", _
    "Day(Null)", "Null ", _
    "Month(Null)", "Null ", _
    "Year(Null)", "Null ", _
    "Hour(Null)", "Null ", _
    "Minute(Null)", "Null ", _
    "Second(Null)", "Null ", _
    "Day(Empty)", "Integer 30", _
    "Day(""x"")", "error 13 Type mismatch", _
    "Weekday(#1/1/2000#, Null)", "error 94 Invalid use of Null", _
    "DateValue(Null)", "Null ", _
    "DateValue(""x"")", "error 13 Type mismatch", _
    "TimeValue(Null)", "Null ", _
    "TimeValue(""x"")", "error 13 Type mismatch", _
    "DateAdd(""d"", 1, Null)", "Null ", _
    "DateAdd(Null, 1, #1/1/2000#)", "error 94 Invalid use of Null", _
    "DateAdd(""d"", Null, #1/1/2000#)", "error 94 Invalid use of Null", _
    "DateAdd(""x"", 1, #1/1/2000#)", "error 5 Invalid procedure call or argument", _
    "DateAdd(""d"", 1, ""x"")", "error 13 Type mismatch", _
    "DateAdd(""yyyy"", 10000, #1/1/2000#)", "error 5 Invalid procedure call or argument", _
    "DateDiff(""d"", Null, #1/1/2000#)", "Null ", _
    "DateDiff(""d"", #1/1/2000#, Null)", "Null ", _
    "DateDiff(Null, #1/1/2000#, #1/1/2000#)", "error 94 Invalid use of Null", _
    "DateDiff(""x"", #1/1/2000#, #1/1/2000#)", "error 5 Invalid procedure call or argument", _
    "DateDiff(""d"", #1/1/2000#, #1/2/2000#, Null)", "error 94 Invalid use of Null", _
    "DatePart(""d"", Null)", "Null ", _
    "DatePart(Null, #1/1/2000#)", "error 94 Invalid use of Null", _
    "DatePart(""x"", #1/1/2000#)", "error 5 Invalid procedure call or argument", _
    "FormatDateTime(Null)", "error 94 Invalid use of Null", _
    "FormatDateTime(#1/1/2000#, Null)", "error 94 Invalid use of Null", _
    "FormatDateTime(""x"")", "error 13 Type mismatch", _
    "MonthName(Null)", "error 94 Invalid use of Null", _
    "MonthName(1, Null)", "error 94 Invalid use of Null", _
    "MonthName(0)", "error 5 Invalid procedure call or argument", _
    "MonthName(13)", "error 5 Invalid procedure call or argument", _
    "MonthName(Empty)", "error 5 Invalid procedure call or argument", _
    "MonthName(""x"")", "error 13 Type mismatch", _
    "MonthName(12.5)", "String December", _
    "MonthName(1E+10)", "error 6 Overflow", _
    "WeekdayName(Null)", "error 94 Invalid use of Null", _
    "WeekdayName(1, Null)", "error 94 Invalid use of Null", _
    "WeekdayName(1, False, Null)", "error 94 Invalid use of Null", _
    "WeekdayName(0)", "error 5 Invalid procedure call or argument", _
    "WeekdayName(1, False, 8)", "error 5 Invalid procedure call or argument", _
    "DateSerial(Null, 1, 1)", "error 94 Invalid use of Null", _
    "DateSerial(2000, Null, 1)", "error 94 Invalid use of Null", _
    "DateSerial(Empty, Empty, Empty)", "Date 11/30/1999", _
    "DateSerial(""2000"", ""1"", ""1"")", "Date 1/1/2000", _
    "DateSerial(2000, 1.5, 2.5)", "Date 2/2/2000", _
    "DateSerial(2000, 13, 1)", "Date 1/1/2001", _
    "DateSerial(2000, 1, 32767)", "Date 9/16/2089", _
    "DateSerial(2000, 1, 32768)", "error 6 Overflow", _
    "DateSerial(2000, -32769, 1)", "error 6 Overflow", _
    "DateSerial(40000, 1, 1)", "error 6 Overflow", _
    "DateSerial(10000, 1, 1)", "error 5 Invalid procedure call or argument", _
    "DateSerial(-10, 1, 1)", "error 5 Invalid procedure call or argument", _
    "TimeSerial(Null, 0, 0)", "error 94 Invalid use of Null", _
    "TimeSerial(0, 0, Null)", "error 94 Invalid use of Null", _
    "TimeSerial(Empty, Empty, Empty)", "Date 12:00:00 AM", _
    "TimeSerial(0, 0, 32767)", "Date 9:06:07 AM", _
    "TimeSerial(0, 0, 32768)", "error 6 Overflow", _
    "TimeSerial(32768, 0, 0)", "error 6 Overflow", _
    "TimeSerial(25, 0, 0)", "Date 12/31/1899 1:00:00 AM", _
    "TimeSerial(32767, 0, 0)", "Date 9/26/1903 7:00:00 AM", _
    "DateSerial(2000, 1)", "error 450 Wrong number of arguments or invalid property assignment: 'DateSerial'")

' Types, formats, colours and objects.
CheckRows Array( _
    "IsArray(Null)", "Boolean False", _
    "IsDate(Null)", "Boolean False", _
    "IsDate(Empty)", "Boolean False", _
    "IsDate(1)", "Boolean False", _
    "IsEmpty(Null)", "Boolean False", _
    "IsNull(Empty)", "Boolean False", _
    "IsObject(Nothing)", "Boolean True", _
    "TypeName(Null) & TypeName(Empty) & TypeName(Nothing)", "String NullEmptyNothing", _
    "VarType(Null)", "Integer 1", _
    "VarType(Array())", "Integer 8204", _
    "VarType(Nothing)", "Integer 9", _
    "FormatNumber(Empty)", "String 0.00", _
    "FormatNumber(""x"")", "error 13 Type mismatch", _
    "FormatNumber(1, Null)", "error 94 Invalid use of Null", _
    "FormatPercent(Null)", "error 94 Invalid use of Null", _
    "FormatCurrency(Null)", "error 94 Invalid use of Null", _
    "FormatCurrency(""x"")", "error 13 Type mismatch", _
    "CreateObject(Null)", "error 94 Invalid use of Null", _
    "Eval(Null)", "error 94 Invalid use of Null", _
    "RGB(Null, 0, 0)", "error 94 Invalid use of Null", _
    "RGB(256, 0, 0)", "Long 255", _
    "RGB(-1, 0, 0)", "error 5 Invalid procedure call or argument", _
    "RGB(""x"", 0, 0)", "error 13 Type mismatch", _
    "RGB(1, 2)", "error 450 Wrong number of arguments or invalid property assignment: 'RGB'", _
    "ScriptEngine(1)", "error 450 Wrong number of arguments or invalid property assignment: 'ScriptEngine'", _
    "CInt(withDefault)", "Integer 42", _
    "CInt(plain)", "error 438 Object doesn't support this property or method")

' The types of literals: hexadecimal and octal numbers are Integers up to 16 bits unless written
' with &, then Longs; decimal ones take the smallest of Integer, Long and Double.
CheckRows Array( _
    "TypeName(&h10&) & "" "" & &h10&", "String Long 16", _
    "TypeName(&hFFFF) & "" "" & &hFFFF", "String Integer -1", _
    "TypeName(&hFFFF&) & "" "" & &hFFFF&", "String Long 65535", _
    "TypeName(&h8000) & "" "" & &h8000", "String Integer -32768", _
    "TypeName(&h10000) & "" "" & &h10000", "String Long 65536", _
    "TypeName(&hFFFFFFFF) & "" "" & &hFFFFFFFF", "String Long -1", _
    "TypeName(&o177777) & "" "" & &o177777", "String Integer -1", _
    "TypeName(&17) & "" "" & &17", "String Integer 15", _
    "TypeName(32767) & "" "" & TypeName(32768) & "" "" & TypeName(2147483648)", "String Integer Long Double", _
    "TypeName(1E2) & "" "" & TypeName(.5)", "String Double Double", _
    "-&h8000", "Long 32768", _
    "&h100000000", "error 1031 Invalid number")

' Arguments left out: an optional one takes its default, one the function needs is invalid.
CheckRows Array( _
    "Replace(""abcb"", ""b"", ""x"", , 1)", "String axcb", "WeekdayName(1, , 2)", "String Monday", _
    "InStrRev(""abcb"", ""b"", , 1)", "Long 4", "Split(""a b"", , 1)", "array 0 a b", "MonthName(1, )", "String January", _
    "String(, ""a"")", "error 5 Invalid procedure call or argument", "String(2, )", "error 5 Invalid procedure call or argument", _
    "RGB(1, , 3)", "error 5 Invalid procedure call or argument", "DateSerial(2000, , 1)", "error 5 Invalid procedure call or argument", _
    "TimeSerial(, 1, 1)", "error 5 Invalid procedure call or argument", "DateAdd(""d"", , #1/1/2000#)", "error 5 Invalid procedure call or argument", _
    "DateDiff(""d"", , #1/1/2000#)", "error 5 Invalid procedure call or argument", "DatePart(""d"", )", "error 5 Invalid procedure call or argument", _
    "MonthName(, True)", "error 5 Invalid procedure call or argument", "Weekday(, 1)", "error 5 Invalid procedure call or argument", _
    "Year(, )", "error 450 Wrong number of arguments or invalid property assignment: 'Year'")

' IsNumeric never fails: an object is judged by its default value, one without any is no number.
CheckRows Array( _
    "IsNumeric(withDefault)", "Boolean True", "IsNumeric(plain)", "Boolean False", _
    "IsNumeric(object)", "Boolean False", "IsNumeric(Nothing)", "Boolean False", "IsNumeric(Null)", "Boolean False", _
    "IsNumeric(Empty)", "Boolean True", "IsNumeric("""")", "Boolean False", "IsNumeric("" 1 "")", "Boolean True")

MsgBox "builtin edges: " & passed & " passed, " & failed & " failed"
