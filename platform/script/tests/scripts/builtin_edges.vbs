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

Dim one(2), grid(1, 2), object
Set object = New RegExp

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

' IsNumeric never fails: an object is no number.
CheckRows Array( _
    "IsNumeric(object)", "Boolean False", "IsNumeric(Nothing)", "Boolean False", "IsNumeric(Null)", "Boolean False", _
    "IsNumeric(Empty)", "Boolean True", "IsNumeric("""")", "Boolean False", "IsNumeric("" 1 "")", "Boolean True")

MsgBox "builtin edges: " & passed & " passed, " & failed & " failed"
